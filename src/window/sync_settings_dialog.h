#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace tardigo {

/// File > Sync Settings…: the folder a list keeps in step with, a vdir that holds one .ics file per
/// to-do. No folder stops the syncing. A folder that cannot serve is refused with the reason.
class SyncSettingsDialog : public QDialog {
    Q_OBJECT
public:
    SyncSettingsDialog(const QString& listName, const QString& folder, QWidget* parent);

    /// The folder chosen, as a whole path; empty for none.
    QString folder() const;
    /// Why the folder cannot be a sync folder, as a sentence naming it and saying what to do; empty
    /// when it can, and for no folder.
    static QString folderProblem(const QString& folder);

    void accept() override;

private:
    void chooseFolder();

    QLineEdit* _field = nullptr;
    QLabel* _problem = nullptr;
};

} // namespace tardigo
