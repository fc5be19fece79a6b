#include "accounts/window_sync.h"

#include "accounts/password_question.h"
#include "accounts/sync_settings_dialog.h"
#include "accounts/sync_status.h"
#include "accounts/synced_window.h"
#include "alerts/alert_queue.h"
#include "caldav/account_passwords.h"
#include "caldav/bound_calendar_sync.h"
#include "dialogs/file_error_messages.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/clock.h"
#include "model/keys.h"
#include "platform/settings.h"
#include "sync/list_sync.h"
#include "sync/removal_restore.h"
#include "sync/sync_bindings.h"
#include "sync/sync_cancel.h"
#include "sync/sync_state.h"
#include "sync/sync_store.h"
#include "widgets/gui_log.h"

#include <QDialog>
#include <QDir>
#include <QLocale>
#include <QPointer>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
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

WindowSync::WindowSync(SyncedWindow& window, Timers& timers)
    : QObject(&window.widget()), _window(window), _schedule([this] { return start(); }, timers) {
    _status = new SyncStatus(&window.widget());
    connect(_status, &SyncStatus::cancelRequested, this, &WindowSync::cancel);
    TardigoDocument& document = window.document();
    connect(&document, &TardigoDocument::changeCounted, this, [this] { _schedule.listChanged(); });
    connect(&document, &TardigoDocument::saved, this, [this] { _schedule.listSaved(); });
    connect(&_running, &QFutureWatcher<SyncReport>::finished, this, &WindowSync::finished);
    setTimer();
}

WindowSync::~WindowSync() {
    // A sync still running stops soon; the pool waits for it as the application ends.
    if (_cancel)
        _cancel->cancel();
}

QWidget* WindowSync::statusWidget() const {
    return _status;
}

void WindowSync::minderRan() {
    if (!_schedule.interval())
        _schedule.minderRan();
}

void WindowSync::setTimer() {
    if (!isServerLocation(folder())) {
        _schedule.setInterval(std::nullopt);
        return;
    }
    const qint64 minutes = Settings::instance().minderIntervalMinutes();
    _schedule.setInterval(std::chrono::minutes(std::max<qint64>(1, minutes)));
}

bool WindowSync::isAsking() const {
    // Messages, questions and dialogs on the window alike.
    const QList<QDialog*> dialogs = _window.widget().findChildren<QDialog*>();
    return std::any_of(dialogs.cbegin(), dialogs.cend(),
                       [](const QDialog* dialog) { return dialog->isVisible(); });
}

void WindowSync::cancel() {
    if (!_cancel || _cancel->isCancelled())
        return;
    _cancel->cancel();
    _status->showSyncing(tr("Cancelling…"), QDir::toNativeSeparators(_runningFolder));
}

QString WindowSync::folder() const {
    return syncFolderOf(*_window.document().data());
}

void WindowSync::showSettings() {
    const TardigoDocument& document = _window.document();
    const QString bound =
        document.fileName().isEmpty()
            ? QString()
            : SyncBindings(SyncState::defaultFolder()).locationOf(document.fileName(), *document.data());
    auto* dialog = new SyncSettingsDialog(document.displayName(), folder(), &_window.widget(), bound);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (!dialog->account().isEmpty())
            _chosenAccounts.insert(dialog->folder(), dialog->account());
        setFolder(dialog->folder());
    });
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
        document.countChange(TardigoDocument::ChangeKind::Done);
    }
    // Naming the folder here binds the list to it.
    if (!chosen.isEmpty())
        _boundHere.insert(chosen);
    setTimer();
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
    if (!_userAsked && (_stopped || isAsking()))
        return false;
    const bool calendar = isServerLocation(folder);
    if (calendar ? !mayUseCalendar(folder, _userAsked) : !mayUse(folder, _userAsked)) {
        _userAsked = false;
        return false;
    }
    _runningUserAsked = std::exchange(_userAsked, false);
    if (_runningUserAsked)
        _stopped = false;
    _runningFolder = folder;
    _passwordMissing = false;
    _cancel = std::make_shared<SyncCancel>();
    SyncOptions options;
    options.bind = _boundHere.contains(folder);
    options.account = _chosenAccounts.value(folder);
    options.allowRemovals = std::exchange(_allowRemovals, false);
    options.cancel = _cancel;
    _listBefore = document.data();
    if (calendar)
        startCalendarSync(list, folder, options);
    else
        _running.setFuture(QtConcurrent::run(
            &syncThread(), [list, folder, options] { return syncList(list, folder, options); }));
    _status->showSyncing(calendar ? tr("Syncing with the server…") : tr("Syncing…"),
                         QDir::toNativeSeparators(folder));
    return true;
}

bool WindowSync::mayUse(const QString& folder, bool userAsked) {
    const QString list = _window.document().fileName();
    if (_boundHere.contains(folder) || SyncBindings(SyncState::defaultFolder()).isBound(list, folder))
        return true;
    // Automatic syncs ask once; Sync Now asks again.
    if (userAsked || folder != _declinedFolder)
        askToBind(folder);
    return false;
}

void WindowSync::startCalendarSync(const QString& list, const QString& calendar, const SyncOptions& options) {
    QString name = options.bind ? options.account : QString();
    if (name.isEmpty())
        if (const std::optional<SyncBinding> binding =
                SyncBindings(SyncState::defaultFolder()).bindingOf(list))
            name = binding->account;
    QString error;
    // Without the account, the sync stops before the server and says why.
    const std::optional<Account> account = AccountStore().find(name, &error);
    _runningAccount = account.value_or(Account());
    _runningAccount.name = name;
    _runningTypedPassword = account && _typedPassword && _typedPasswordFor == account->keyringEntry();
    const auto run = [this, list, calendar, options](const Account& readFor, Keyring::Answer kept) {
        _running.setFuture(QtConcurrent::run(
            &syncThread(), [list, calendar, options, password = passwordFrom(readFor, std::move(kept))] {
                return syncBoundCalendar(list, calendar, options, password);
            }));
    };
    if (!account) {
        run(_runningAccount, {Keyring::Outcome::Failed, {}, error});
        return;
    }
    if (_runningTypedPassword) {
        run(*account, {Keyring::Outcome::Done, *_typedPassword, {}});
        return;
    }
    // The keyring is asked on this thread, as it answers here; the sync waits for the server on the
    // sync thread. Without a password it stops before the server, and the user is asked for one.
    QPointer<WindowSync> self(this);
    AccountPasswords().read(*account, [self, run, account = *account](Keyring::Answer kept) {
        if (!self)
            return;
        self->_passwordMissing = kept.outcome == Keyring::Outcome::NotFound;
        run(account, std::move(kept));
    });
}

void WindowSync::askForPassword(const QString& account, PasswordQuestion::Reason reason) {
    if (_passwordQuestion)
        return;
    QString error;
    const std::optional<Account> known = AccountStore().find(account, &error);
    const QString server = known ? serverName(known->url) : _runningFolder;
    auto* question =
        new PasswordQuestion(&_window.widget(), reason, account, server, known ? known->user : QString());
    question->setAttribute(Qt::WA_DeleteOnClose);
    _passwordQuestion = question;
    const KeyringEntry entry = known ? known->keyringEntry() : KeyringEntry();
    connect(question, &QDialog::finished, this, [this, question, entry](int result) {
        _passwordQuestion.clear();
        if (result != QDialog::Accepted) {
            _stopped = true;
            showStatus();
            return;
        }
        _typedPassword = question->password();
        _typedPasswordFor = entry;
        syncNow();
    });
    question->open();
}

void WindowSync::keepPassword(const Account& of, const QString& password) {
    QPointer<WindowSync> self(this);
    const QString account = of.name;
    AccountPasswords().keep(of, password, [self, account, password](const Keyring::Answer& answer) {
        if (!self)
            return;
        if (answer.ok()) {
            if (self->_typedPassword == password)
                self->_typedPassword.reset();
            return;
        }
        qCWarning(lcWindow).noquote()
            << "the keyring did not keep the password of" << account << ":" << answer.reason;
        if (AlertQueue* alerts = self->_window.document().alertQueue()) {
            Message failure;
            failure.title = tr("The keyring did not keep the password of “%1”.").arg(account);
            failure.text = tr("The list synced with it, and this window keeps using it until it closes; "
                              "after that Tardigo asks for it again.");
            failure.details = answer.reason;
            alerts->addAlert(failure);
        }
    });
}

bool WindowSync::mayUseCalendar(const QString& calendar, bool userAsked) {
    const QString list = _window.document().fileName();
    if (_chosenAccounts.contains(calendar) && _boundHere.contains(calendar))
        return true;
    const std::optional<SyncBinding> binding = SyncBindings(SyncState::defaultFolder()).bindingOf(list);
    if (binding && binding->location == calendar && !binding->account.isEmpty())
        return true;
    // A calendar is reached through an account: the user chooses it in the settings.
    if (userAsked)
        showSettings();
    return false;
}

void WindowSync::askToBind(const QString& folder) {
    AlertQueue* alerts = _window.document().alertQueue();
    if (_askingToBind || !alerts)
        return;
    _askingToBind = true;
    _declinedFolder = folder; // until the user agrees
    QPointer<WindowSync> self(this);
    alerts->addAlert(syncBindQuestion(_window.document().fileName(), folder),
                     [self, folder](MessageAnswer answer) {
                         if (!self)
                             return;
                         self->_askingToBind = false;
                         if (answer.role != MessageRole::Accept)
                             return;
                         self->_boundHere.insert(folder);
                         self->_declinedFolder.clear();
                         self->syncNow();
                     });
}

void WindowSync::askToRemove(const SyncReport& report) {
    AlertQueue* alerts = _window.document().alertQueue();
    if (!alerts)
        return;
    QPointer<WindowSync> self(this);
    alerts->addAlert(syncRemovalQuestion(_window.document().fileName(), _runningFolder, report.heldRemovals,
                                         report.lostFiles, report.syncedFiles),
                     [self](MessageAnswer answer) {
                         if (!self || answer.role != MessageRole::Accept)
                             return;
                         self->_allowRemovals = true;
                         self->syncNow();
                     });
}

void WindowSync::finished() {
    const SyncReport report = _running.result();
    _cancel.reset();
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
    // The list was read again, here or when its file changed.
    const NodePtr before = std::exchange(_listBefore, nullptr);
    if (!report.removedUids.isEmpty() && document.data() != before && !document.isDocumentEdited())
        addUndoOfRemovals(before, report.removedUids);
    if (report.error.isEmpty() && !report.cancelled)
        _lastSynced = report.finished;
    _lastCancelled = report.cancelled;
    if (_typedPassword && _typedPasswordFor == _runningAccount.keyringEntry() && !report.passwordRefused &&
        report.error.isEmpty()) {
        // The server took the password typed: it is the account's from now on.
        keepPassword(_runningAccount, *_typedPassword);
    }
    if ((report.passwordRefused || _passwordMissing) && !report.cancelled) {
        _typedPassword.reset();
        _lastError = report.error;
        _lastUnreachable = false;
        askForPassword(_runningAccount.name, _passwordMissing        ? PasswordQuestion::Reason::Missing
                                             : _runningTypedPassword ? PasswordQuestion::Reason::TypedRefused
                                                                     : PasswordQuestion::Reason::Refused);
    } else {
        tell(report, _runningUserAsked);
    }
    _schedule.syncFinished(report.ok());
    setTimer();
    showStatus();
    emit syncEnded();
}

void WindowSync::addUndoOfRemovals(const NodePtr& before, const QStringList& removedUids) {
    TardigoDocument& document = _window.document();
    const RemovalRestore restore = restoreOfRemovals(before, document.data(), removedUids);
    if (restore.removed.empty())
        return;
    document.restoring().registerPutBack(restore.standing, restore.removed);
    document.undoStack().setUndoText(tr("Removal by Sync"));
    // The list is as its file holds it: only undoing the step makes it differ.
    document.countChange(TardigoDocument::ChangeKind::Cleared);
    _window.validate();
}

void WindowSync::tell(const SyncReport& report, bool userAsked) {
    const QString list = _window.document().fileName();
    // A server out of reach is told once, whichever item's write met it.
    const QString failure = !report.unreachable.isEmpty() ? report.unreachable
                            : report.error.isEmpty()      ? report.writeFailures.join(u'\n')
                                                          : report.error;
    if (!failure.isEmpty())
        qCInfo(lcWindow).noquote() << "sync of" << list << "failed:" << failure;
    const bool news = userAsked || failure != _lastError;
    if (!report.cancelled) {
        _lastError = failure;
        _lastUnreachable = !report.unreachable.isEmpty();
    }
    std::vector<Message> messages;
    if (report.cancelled) {
        // The user stopped it: what failed on the way was the stopping.
    } else if (report.heldRemovals > 0) {
        if (news)
            askToRemove(report);
    } else if (!report.unreachable.isEmpty()) {
        if (news)
            messages.push_back(
                syncUnreachableMessage(list, _runningFolder, report.unreachable, report.writeFailures));
    } else if (!report.error.isEmpty()) {
        if (news)
            messages.push_back(syncFailureMessage(list, _runningFolder, report.error));
    } else if (!report.writeFailures.isEmpty() && news) {
        messages.push_back(syncWriteFailureMessage(list, _runningFolder, report.writeFailures));
    }
    if (!report.conflicts.isEmpty())
        messages.push_back(syncConflictMessage(list, report.conflicts));
    if (!report.keptRules.isEmpty())
        messages.push_back(syncKeptRulesMessage(list, report.keptRules));
    if (!report.problems.isEmpty() && (userAsked || report.problems != _lastProblems))
        messages.push_back(syncPassedOverMessage(_runningFolder, report.problems));
    _lastProblems = report.problems;
    if (AlertQueue* alerts = _window.document().alertQueue())
        for (const Message& message : messages)
            alerts->addAlert(message);
}

void WindowSync::showStatus() {
    const QString folder = QDir::toNativeSeparators(this->folder());
    const bool server = isServerLocation(this->folder());
    const QLocale locale;
    if (folder.isEmpty() || (!_lastSynced.isValid() && _lastError.isEmpty() && !_lastCancelled)) {
        _status->showText({}, {});
    } else if (_lastCancelled) {
        _status->showText(tr("Sync cancelled"), tr("Nothing is lost: the next sync does the rest."));
    } else if (_stopped) {
        _status->showText(_passwordMissing ? tr("Not syncing: the keyring holds no password")
                                           : tr("Not syncing: the server refused the password"),
                          tr("Changes wait until you choose File > Sync Now."));
    } else if (!_lastError.isEmpty()) {
        // Nothing is lost: what changed here goes out with the next sync that reaches the server.
        _status->showText(_lastUnreachable ? tr("Not synced: the server cannot be reached")
                          : server         ? tr("Not synced: changes wait for the server")
                                           : tr("Sync failed"),
                          _lastError);
    } else {
        const QString when = _lastSynced.date() == Clock::now().date()
                                 ? locale.toString(_lastSynced.time(), QLocale::ShortFormat)
                                 : locale.toString(_lastSynced, QLocale::ShortFormat);
        _status->showText(
            tr("Synced %1").arg(when),
            tr("Last synced with %1 at %2").arg(folder, locale.toString(_lastSynced, QLocale::LongFormat)));
    }
}

} // namespace tardigo
