#pragma once

#include <QWidget>

class QCheckBox;

namespace tardigo {

/// The print dialog's tab of the list's own options: check boxes, icons and notes. A change is
/// stored in the preferences at once, so the printout made when the dialog closes follows it.
class PrintController : public QWidget {
    Q_OBJECT
public:
    /// Each check box shows its stored option.
    explicit PrintController(QWidget* parent = nullptr);

    QCheckBox* checkboxButton = nullptr;
    QCheckBox* iconsButton = nullptr;
    QCheckBox* notesButton = nullptr;

private:
    QCheckBox* addOption(const QString& title, const QString& prefKey);
    void printOptionsAction(const QCheckBox& sender, const QString& prefKey);
};

} // namespace tardigo
