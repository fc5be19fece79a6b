#pragma once

#include "accounts/password_question.h"
#include "caldav/account_store.h"
#include "model/value.h"
#include "sync/list_sync.h"
#include "sync/sync_report.h"
#include "sync/sync_schedule.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <memory>
#include <optional>

namespace tardigo {

class SyncCancel;
class SyncStatus;
class SyncedWindow;

/// A window's syncing of its list with the list's sync folder, or a calendar of an account: File > Sync
/// Settings… and Sync Now, the syncs that follow minder passes and saves (as SyncSchedule rules), the time of
/// the last sync in the status line, and what a sync must tell the user. A sync runs off the interface thread
/// on the saved file, under the list's lock, and only while the window holds no unsaved change; what it
/// brings into the list reaches the window as any change on disk does, by reading the list again,
/// and the items it removed come back with one Undo. A list that names a folder it is not bound to
/// on this machine syncs only once the user says so; removals from a folder that lost most of its
/// to-dos wait for the user's word. A list on a server also syncs on a timer of its own, as often as
/// the minder runs; its sync shows a Cancel, and a password the server refuses is asked for again.
class WindowSync : public QObject {
    Q_OBJECT
public:
    explicit WindowSync(SyncedWindow& window, Timers& timers = Timers::eventLoop());
    ~WindowSync() override;

    /// The list's sync folder; empty when it has none.
    QString folder() const;
    /// Asks for the sync folder and syncs with the one chosen.
    void showSettings();
    /// Saves unsaved changes first (asking for a file when the list has none), then syncs; asks for
    /// a folder when the list has none.
    void syncNow();
    /// A list on a server syncs on its own timer instead.
    void minderRan();
    bool isSyncing() const { return _schedule.isSyncing(); }
    /// Stops the running sync after the step it is in; the list keeps what it brought so far.
    void cancel();
    /// The status line's part: a sync running with its Cancel, when the list last synced, or why not.
    QWidget* statusWidget() const;

signals:
    /// A sync has ended and the window shows what it did.
    void syncEnded();

private:
    /// Starts a sync; what syncs by itself waits while the window asks the user something, and
    /// after the user stopped syncing for now.
    bool start();
    /// Whether a message, question or dialog is open on the window.
    bool isAsking() const;
    void finished();
    /// Queues the messages the sync's report calls for. A failure or a passed-over file that repeats
    /// what the last sync said is not told again, unless the user asked for this sync.
    void tell(const SyncReport& report, bool userAsked);
    void showStatus();
    void setFolder(const QString& folder);
    /// Whether the list may sync with the folder here; asks once when it names one it is not bound to.
    bool mayUse(const QString& folder, bool userAsked);
    /// Whether the list may sync with the calendar here: it is bound to it through an account, or
    /// the user just chose it; when the user asked, the settings open otherwise.
    bool mayUseCalendar(const QString& calendar, bool userAsked);
    /// Reads the account's password, then syncs with the calendar on the sync thread.
    void startCalendarSync(const QString& list, const QString& calendar, const SyncOptions& options);
    /// The server refused the account's password, or the keyring holds none: asks for it, or to
    /// stop syncing for now.
    void askForPassword(const QString& account, PasswordQuestion::Reason reason);
    /// Keeps the password the server just accepted in the keyring, as Preferences > Accounts does.
    void keepPassword(const Account& account, const QString& password);
    /// A list on a server syncs on a timer of its own, every minder interval.
    void setTimer();
    void askToBind(const QString& folder);
    void askToRemove(const SyncReport& report);
    /// Makes the removals of the sync just read again from disk one undo step.
    void addUndoOfRemovals(const NodePtr& before, const QStringList& removedUids);

    SyncedWindow& _window;
    SyncSchedule _schedule;
    QFutureWatcher<SyncReport> _running;
    SyncStatus* _status = nullptr;
    std::shared_ptr<SyncCancel> _cancel; // of the running sync
    QString _runningFolder;
    Account _runningAccount;               // of a calendar's sync, as it started
    bool _runningTypedPassword = false;    // the running sync uses the password the user typed
    std::optional<QString> _typedPassword; // the user gave it; not yet in the keyring
    KeyringEntry _typedPasswordFor;        // for this account, server and user
    QPointer<PasswordQuestion> _passwordQuestion;
    bool _stopped = false;         // the user stopped syncing for now: only Sync Now syncs
    bool _passwordMissing = false; // the keyring held no password for the last sync's account
    bool _lastCancelled = false;
    bool _userAsked = false;        // the next sync to start is the user's
    bool _runningUserAsked = false; // the running one is
    bool _allowRemovals = false;    // the next sync may remove items from a folder that lost most of them
    NodePtr _listBefore;            // the list as the window showed it when the running sync started
    QSet<QString> _boundHere;       // folders the user named, or agreed to, in this window
    QHash<QString, QString> _chosenAccounts; // the account of each calendar the user chose here
    QString _declinedFolder;                 // the folder the user would not sync with
    bool _askingToBind = false;
    QDateTime _lastSynced;
    QString _lastError;            // of the last sync; empty when it ran to its end
    bool _lastUnreachable = false; // the last sync's server could not be reached
    QStringList _lastProblems;
};

} // namespace tardigo
