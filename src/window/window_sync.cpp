#include "window/window_sync.h"

#include "document/tardigo_document.h"
#include "minder/tw_alert_array.h"
#include "model/clock.h"
#include "model/keys.h"
#include "sync/list_sync.h"
#include "window/document_main_window.h"
#include "window/file_error_sheets.h"
#include "window/sync_settings_dialog.h"
#include "window/window_log.h"

#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>
#include <vector>

namespace tardigo {

namespace {

/// Syncs run one after another in the whole application, off the interface thread. The pool waits
/// for a sync in progress when the application ends.
class SyncThread : public QThreadPool {
public:
    SyncThread() { setMaxThreadCount(1); }
};

QThreadPool& syncThread() {
    static SyncThread thread;
    return thread;
}

} // namespace

WindowSync::WindowSync(DocumentMainWindow& window, Timers& timers)
    : QObject(&window), _window(window), _schedule([this] { return start(); }, timers) {
    _statusLabel = new QLabel(&window);
    _statusLabel->setObjectName(QStringLiteral("syncStatus"));
    _statusLabel->setAccessibleName(tr("Last sync"));
    _statusLabel->setTextFormat(Qt::PlainText);
    _statusLabel->setContentsMargins(0, 0, 12, 0); // apart from the count beside it
    _statusLabel->hide();
    TardigoDocument& document = window.document();
    connect(&document, &TardigoDocument::changeCounted, this, [this] { _schedule.listChanged(); });
    connect(&document, &TardigoDocument::saved, this, [this] { _schedule.listSaved(); });
    connect(&_running, &QFutureWatcher<SyncReport>::finished, this, &WindowSync::finished);
}

WindowSync::~WindowSync() = default;

QString WindowSync::folder() const {
    return syncFolderOf(*_window.document().data());
}

void WindowSync::showSettings() {
    auto* dialog = new SyncSettingsDialog(_window.document().displayName(), folder(), &_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { setFolder(dialog->folder()); });
    dialog->open();
}

void WindowSync::setFolder(const QString& chosen) {
    TardigoDocument& document = _window.document();
    if (chosen != folder()) {
        Dict& root = *document.data();
        if (chosen.isEmpty())
            root.remove(key::syncFolder);
        else
            root.set(key::syncFolder, chosen);
        document.updateChangeCount(TardigoDocument::ChangeDone);
    }
    if (chosen.isEmpty())
        showStatus();
    else
        syncNow();
}

void WindowSync::syncNow() {
    if (folder().isEmpty()) {
        showSettings();
        return;
    }
    _window.finishAllEditing();
    const TardigoDocument& document = _window.document();
    _userAsked = true;
    // The sync works on the file, so the window's changes go there first; their save may start the
    // sync itself, as the user's.
    if ((document.isDocumentEdited() || document.fileName().isEmpty()) && !_window.save()) {
        _userAsked = false;
        return;
    }
    if (_userAsked)
        _schedule.syncNow();
    if (!_schedule.isSyncing() && !_schedule.isWaiting())
        _userAsked = false;
}

bool WindowSync::start() {
    const TardigoDocument& document = _window.document();
    const QString list = document.fileName();
    const QString folder = this->folder();
    // Unsaved changes are the window's alone: their save asks for a sync again.
    if (folder.isEmpty() || list.isEmpty() || document.isDocumentEdited() || document.isClosed())
        return false;
    _runningUserAsked = std::exchange(_userAsked, false);
    _runningFolder = folder;
    _running.setFuture(QtConcurrent::run(&syncThread(), [list, folder] { return syncList(list, folder); }));
    _statusLabel->setText(tr("Syncing…"));
    _statusLabel->setToolTip(QDir::toNativeSeparators(folder));
    _statusLabel->show();
    return true;
}

void WindowSync::finished() {
    const SyncReport report = _running.result();
    TardigoDocument& document = _window.document();
    if (document.isClosed())
        return;
    if (report.listChanged && document.changedOnDisk()) {
        // What came from the folder shows at once when nothing of the user's is at stake; otherwise
        // the window asks about the change on disk, as for any other program's.
        _window.finishAllEditing();
        if (!document.isDocumentEdited())
            _window.reloadFromDisk();
    }
    if (report.ok())
        _lastSynced = report.finished;
    tell(report, _runningUserAsked);
    _schedule.syncFinished(report.ok());
    showStatus();
    emit syncEnded();
}

void WindowSync::tell(const SyncReport& report, bool userAsked) {
    const QString list = _window.document().fileName();
    std::vector<AlertSheet> sheets;
    if (!report.ok()) {
        qCInfo(lcWindow).noquote() << "sync of" << list << "failed:" << report.error;
        if (userAsked || report.error != _lastError)
            sheets.push_back(syncFailureSheet(list, _runningFolder, report.error));
    }
    _lastError = report.error;
    if (!report.conflicts.isEmpty())
        sheets.push_back(syncConflictSheet(list, report.conflicts));
    if (!report.keptRules.isEmpty())
        sheets.push_back(syncKeptRulesSheet(list, report.keptRules));
    if (!report.problems.isEmpty() && (userAsked || report.problems != _lastProblems))
        sheets.push_back(syncPassedOverSheet(_runningFolder, report.problems));
    _lastProblems = report.problems;
    if (TWAlertArray* alerts = _window.document().alertArray())
        for (const AlertSheet& sheet : sheets)
            alerts->addAlert(sheet);
}

void WindowSync::showStatus() {
    const QString folder = QDir::toNativeSeparators(this->folder());
    if (folder.isEmpty() || (!_lastSynced.isValid() && _lastError.isEmpty())) {
        _statusLabel->hide();
        return;
    }
    const QLocale locale;
    const QString when = _lastSynced.date() == Clock::now().date()
                             ? locale.toString(_lastSynced.time(), QLocale::ShortFormat)
                             : locale.toString(_lastSynced, QLocale::ShortFormat);
    if (!_lastError.isEmpty()) {
        _statusLabel->setText(tr("Sync failed"));
        _statusLabel->setToolTip(_lastError);
    } else {
        _statusLabel->setText(tr("Synced %1").arg(when));
        _statusLabel->setToolTip(
            tr("Last synced with %1 at %2").arg(folder, locale.toString(_lastSynced, QLocale::LongFormat)));
    }
    _statusLabel->show();
}

} // namespace tardigo
