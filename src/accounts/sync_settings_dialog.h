#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tardigo {

class CalendarPicker;

/// File > Sync Settings…: the folder a list keeps in step with, a vdir that holds one .ics file per
/// to-do, or a to-do calendar of one of the user's accounts (made, named after the list, when the
/// user chooses a new one). No folder stops the syncing. A folder that cannot serve is refused with
/// the reason; a list bound to another store on this computer is rebound only once the user agrees.
class SyncSettingsDialog : public QDialog {
    Q_OBJECT
public:
    /// `bound` is where the list syncs on this computer now; empty when nowhere.
    SyncSettingsDialog(const QString& listName, const QString& folder, QWidget* parent,
                       const QString& bound = {});

    /// The folder chosen, as a whole path, or the calendar's address; empty for none.
    QString folder() const;
    /// The account of the calendar chosen; empty for a folder.
    QString account() const;
    /// Why the folder cannot be a sync folder, as a sentence naming it and saying what to do; empty
    /// when it can, and for no folder.
    static QString folderProblem(const QString& folder);

    void accept() override;

private:
    void chooseFolder();
    void showMode();
    void acceptCalendar();
    void showProblem(const QString& problem);

    QString _listName;
    QString _bound;
    QRadioButton* _toFolder = nullptr;
    QRadioButton* _toCalendar = nullptr;
    QWidget* _folderRow = nullptr;
    CalendarPicker* _picker = nullptr;
    QPushButton* _ok = nullptr;
    QString _calendar; // the address of the calendar chosen, once made
    bool _listed = false;
    QLineEdit* _field = nullptr;
    QLabel* _problem = nullptr;
};

} // namespace tardigo
