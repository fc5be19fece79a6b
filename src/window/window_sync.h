#pragma once

#include "model/value.h"
#include "sync/list_sync.h"
#include "sync/sync_report.h"
#include "sync/sync_schedule.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

class QLabel;

namespace tardigo {

class DocumentMainWindow;

/// A window's syncing of its list with the list's sync folder, or a calendar of an account: File > Sync
/// Settings… and Sync Now, the syncs that follow minder passes and saves (as SyncSchedule rules), the time of
/// the last sync in the status line, and what a sync must tell the user. A sync runs off the interface thread
/// on the saved file, under the list's lock, and only while the window holds no unsaved change; what it
/// brings into the list reaches the window as any change on disk does, by reading the list again,
/// and the items it removed come back with one Undo. A list that names a folder it is not bound to
/// on this machine syncs only once the user says so; removals from a folder that lost most of its
/// to-dos wait for the user's word.
class WindowSync : public QObject {
    Q_OBJECT
public:
    explicit WindowSync(DocumentMainWindow& window, Timers& timers = Timers::eventLoop());
    ~WindowSync() override;

    /// The list's sync folder; empty when it has none.
    QString folder() const;
    /// Asks for the sync folder and syncs with the one chosen.
    void showSettings();
    /// Saves unsaved changes first (asking for a file when the list has none), then syncs; asks for
    /// a folder when the list has none.
    void syncNow();
    void minderRan() { _schedule.minderRan(); }
    bool isSyncing() const { return _schedule.isSyncing(); }
    /// The status line's part: when the list last synced, or that the sync failed.
    QLabel* statusLabel() const { return _statusLabel; }

signals:
    /// A sync has ended and the window shows what it did.
    void syncEnded();

private:
    bool start();
    void finished();
    /// Queues the sheets the sync's report calls for. A failure or a passed-over file that repeats
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
    void askToBind(const QString& folder);
    void askToRemove(const SyncReport& report);
    /// Makes the removals of the sync just read again from disk one undo step.
    void registerUndoOfRemovals(const NodePtr& before, const QStringList& removedUids);

    DocumentMainWindow& _window;
    SyncSchedule _schedule;
    QFutureWatcher<SyncReport> _running;
    QLabel* _statusLabel = nullptr;
    QString _runningFolder;
    bool _userAsked = false;        // the next sync to start is the user's
    bool _runningUserAsked = false; // the running one is
    bool _allowRemovals = false;    // the next sync may remove items from a folder that lost most of them
    NodePtr _listBefore;            // the list as the window showed it when the running sync started
    QSet<QString> _boundHere;       // folders the user named, or agreed to, in this window
    QHash<QString, QString> _chosenAccounts; // the account of each calendar the user chose here
    QString _declinedFolder;                 // the folder the user would not sync with
    bool _askingToBind = false;
    QDateTime _lastSynced;
    QString _lastError; // of the last sync; empty when it ran to its end
    QStringList _lastProblems;
};

} // namespace tardigo
