#pragma once

#include <QWidget>

class QCheckBox;

namespace tardigo {

struct SettingsFlag;

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
    /// A check box named after the preference's key, showing and setting it.
    QCheckBox* addOption(const QString& title, const QString& key, const SettingsFlag& option);
};

} // namespace tardigo
