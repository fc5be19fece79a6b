#include "window/sync_settings_dialog.h"

#include "dialogs/dialog_service.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

SyncSettingsDialog::SyncSettingsDialog(const QString& listName, const QString& folder, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("syncSettings"));
    setWindowTitle(tr("Sync Settings"));
    setAccessibleName(tr("Sync settings of %1").arg(listName));

    auto* intro = new QLabel(
        tr("“%1” is kept in step with a folder of .ics files, one for each to-do: after each reminder "
           "check and each save that changed it, at most once a minute. Point vdirsyncer at the same "
           "folder to reach a calendar server. Leave the folder empty to stop syncing.")
            .arg(listName),
        this);
    intro->setWordWrap(true);

    _field = new QLineEdit(QDir::toNativeSeparators(folder), this);
    _field->setObjectName(QStringLiteral("syncFolderField"));
    _field->setAccessibleName(tr("Sync folder"));
    _field->setPlaceholderText(tr("No folder: the list does not sync"));
    _field->setClearButtonEnabled(true);
    auto* choose = new QPushButton(tr("&Choose…"), this);
    choose->setObjectName(QStringLiteral("chooseSyncFolder"));
    choose->setAccessibleName(tr("Choose the sync folder"));
    connect(choose, &QPushButton::clicked, this, &SyncSettingsDialog::chooseFolder);
    auto* row = new QHBoxLayout;
    row->addWidget(_field, 1);
    row->addWidget(choose);
    auto* form = new QFormLayout;
    auto* label = new QLabel(tr("Sync &folder:"), this);
    label->setBuddy(_field);
    form->addRow(label, row);

    _problem = new QLabel(this);
    _problem->setObjectName(QStringLiteral("syncFolderProblem"));
    _problem->setAccessibleName(tr("Sync folder problem"));
    _problem->setWordWrap(true);
    _problem->setTextFormat(Qt::PlainText);
    _problem->hide();
    connect(_field, &QLineEdit::textEdited, _problem, &QLabel::hide);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SyncSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SyncSettingsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(_problem);
    layout->addWidget(buttons);
    setMinimumWidth(520);
    _field->setFocus();
}

QString SyncSettingsDialog::folder() const {
    return wholePath(_field->text());
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
    if (const QString problem = folderProblem(folder()); !problem.isEmpty()) {
        _problem->setText(problem);
        _problem->show();
        _field->setFocus();
        _field->selectAll();
        return;
    }
    QDialog::accept();
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
