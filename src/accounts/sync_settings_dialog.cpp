#include "accounts/sync_settings_dialog.h"

#include "accounts/calendar_picker.h"
#include "dialogs/dialog_service.h"
#include "sync/sync_store.h"
#include "widgets/clear_button.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tardigo {

namespace {

/// The path as typed, with "~" for the home folder.
QString wholePath(const QString& typed) {
    const QString path = typed.trimmed();
    if (path == u'~' || path.startsWith(QStringLiteral("~/")))
        return QDir::cleanPath(QDir::homePath() + path.mid(1));
    return path.isEmpty() ? path : QDir::cleanPath(path);
}

} // namespace

SyncSettingsDialog::SyncSettingsDialog(const QString& listName, const QString& folder, QWidget* parent,
                                       const QString& bound)
    : QDialog(parent), _listName(listName), _bound(bound) {
    setObjectName(QStringLiteral("syncSettings"));
    setWindowTitle(tr("Sync Settings"));
    setAccessibleName(tr("Sync settings of %1").arg(listName));

    auto* intro = new QLabel(
        tr("“%1” is kept in step with a folder of .ics files, one for each to-do, or with a calendar of "
           "one of your accounts: after each reminder check and each save that changed it, at most once "
           "a minute. Leave the folder empty to stop syncing.")
            .arg(listName),
        this);
    intro->setWordWrap(true);

    const bool calendar = isServerLocation(folder);
    _toFolder = new QRadioButton(tr("Sync with a f&older"), this);
    _toFolder->setObjectName(QStringLiteral("syncToFolder"));
    _toCalendar = new QRadioButton(tr("Sync with a calendar of an acco&unt"), this);
    _toCalendar->setObjectName(QStringLiteral("syncToCalendar"));
    (calendar ? _toCalendar : _toFolder)->setChecked(true);
    connect(_toFolder, &QRadioButton::toggled, this, &SyncSettingsDialog::showMode);

    _field = new QLineEdit(calendar ? QString() : QDir::toNativeSeparators(folder), this);
    _field->setObjectName(QStringLiteral("syncFolderField"));
    _field->setAccessibleName(tr("Sync folder"));
    _field->setPlaceholderText(tr("No folder: the list does not sync"));
    showClearButton(*_field);
    auto* choose = new QPushButton(tr("&Choose…"), this);
    choose->setObjectName(QStringLiteral("chooseSyncFolder"));
    choose->setAccessibleName(tr("Choose the sync folder"));
    connect(choose, &QPushButton::clicked, this, &SyncSettingsDialog::chooseFolder);
    auto* row = new QHBoxLayout;
    row->addWidget(_field, 1);
    row->addWidget(choose);
    _folderRow = new QWidget(this);
    auto* form = new QFormLayout(_folderRow);
    form->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(tr("Sync &folder:"), _folderRow);
    label->setBuddy(_field);
    form->addRow(label, row);
    // A new calendar is named as the list is, without its file's extension.
    const QFileInfo listFile(listName);
    _picker = new CalendarPicker(listFile.suffix() == QLatin1String("todo") ? listFile.completeBaseName()
                                                                            : listName,
                                 calendar ? folder : QString(), this);

    _problem = new QLabel(this);
    _problem->setObjectName(QStringLiteral("syncFolderProblem"));
    _problem->setAccessibleName(tr("Sync folder problem"));
    _problem->setWordWrap(true);
    _problem->setTextFormat(Qt::PlainText);
    _problem->hide();
    connect(_field, &QLineEdit::textEdited, _problem, &QLabel::hide);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    _ok = buttons->button(QDialogButtonBox::Ok);
    connect(_picker, &CalendarPicker::readyChanged, this, &SyncSettingsDialog::showMode);
    connect(buttons, &QDialogButtonBox::accepted, this, &SyncSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SyncSettingsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(_toFolder);
    layout->addWidget(_folderRow);
    layout->addWidget(_toCalendar);
    layout->addWidget(_picker);
    layout->addWidget(_problem);
    layout->addWidget(buttons);
    setMinimumWidth(520);
    showMode();
    _field->setFocus();
}

void SyncSettingsDialog::showMode() {
    const bool calendar = _toCalendar->isChecked();
    _folderRow->setEnabled(!calendar);
    _picker->setEnabled(calendar);
    _ok->setEnabled(!calendar || _picker->isReady());
    // The account's server is asked only once the user turns to its calendars.
    if (calendar && !_listed) {
        _listed = true;
        _picker->listCalendars();
    }
}

QString SyncSettingsDialog::folder() const {
    return _toCalendar->isChecked() ? _calendar : wholePath(_field->text());
}

QString SyncSettingsDialog::account() const {
    return _toCalendar->isChecked() ? _picker->account() : QString();
}

QString SyncSettingsDialog::folderProblem(const QString& folder) {
    if (folder.isEmpty())
        return {};
    const QString shown = QDir::toNativeSeparators(folder);
    if (QDir::isRelativePath(folder))
        return tr("“%1” is not a whole path. Give the folder from the top, starting with / or ~/, or "
                  "choose it.")
            .arg(shown);
    const QFileInfo info(folder);
    if (!info.exists())
        return tr("The folder “%1” does not exist. Create it, or let vdirsyncer create it with “vdirsyncer "
                  "discover”, then choose it here.")
            .arg(shown);
    if (!info.isDir())
        return tr("“%1” is a file, not a folder. Choose the folder that holds the .ics files.").arg(shown);
    if (!info.isReadable() || !info.isWritable())
        return tr("You may not read and write the folder “%1”. Choose a folder of your own, or ask its "
                  "owner to let you write to it.")
            .arg(shown);
    return {};
}

void SyncSettingsDialog::accept() {
    if (_toCalendar->isChecked()) {
        acceptCalendar();
        return;
    }
    if (const QString problem = folderProblem(folder()); !problem.isEmpty()) {
        showProblem(problem);
        _field->setFocus();
        _field->selectAll();
        return;
    }
    QDialog::accept();
}

void SyncSettingsDialog::acceptCalendar() {
    if (!_picker->isReady())
        return;
    const std::optional<CalendarInfo> chosen = _picker->calendar();
    if (!_bound.isEmpty() && (!chosen || chosen->url.toString() != _bound)) {
        const QString target = chosen ? chosen->displayName : _picker->newCalendarName();
        if (DialogService::question(
                this, QMessageBox::Question, tr("Sync Elsewhere"),
                tr("“%1” syncs with %2 on this computer.").arg(_listName, QDir::toNativeSeparators(_bound)),
                tr("Sync it with the calendar “%1” of “%2” instead? What is there now "
                   "stays where it is; the list and the calendar are merged.")
                    .arg(target, _picker->account()),
                QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel,
                {{QMessageBox::Yes, tr("Sync &Elsewhere")}}) != QMessageBox::Yes)
            return;
    }
    _ok->setEnabled(false);
    _picker->makeChosen([this](const QUrl& calendar, const QString& error) {
        _ok->setEnabled(true);
        if (!error.isEmpty()) {
            showProblem(error);
            return;
        }
        _calendar = calendar.toString();
        QDialog::accept();
    });
}

void SyncSettingsDialog::showProblem(const QString& problem) {
    _problem->setText(problem);
    _problem->show();
}

void SyncSettingsDialog::chooseFolder() {
    const QString start = folder().isEmpty() ? QDir::homePath() : folder();
    const QString chosen = DialogService::folderName(this, tr("Choose Sync Folder"), start);
    if (chosen.isEmpty())
        return;
    _field->setText(QDir::toNativeSeparators(chosen));
    _problem->hide();
}

} // namespace tardigo
