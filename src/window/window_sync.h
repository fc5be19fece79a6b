#pragma once

#include "sync/sync_report.h"
#include "sync/sync_schedule.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QObject>
#include <QStringList>

class QLabel;

namespace tardigo {

class DocumentMainWindow;

/// A window's syncing of its list with the list's sync folder: File > Sync Settings… and Sync Now,
/// the syncs that follow minder passes and saves (as SyncSchedule rules), the time of the last sync
/// in the status line, and what a sync must tell the user. A sync runs off the interface thread on
/// the saved file, under the list's lock, and only while the window holds no unsaved change; what it
/// brings into the list reaches the window as any change on disk does, by reading the list again.
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

    DocumentMainWindow& _window;
    SyncSchedule _schedule;
    QFutureWatcher<SyncReport> _running;
    QLabel* _statusLabel = nullptr;
    QString _runningFolder;
    bool _userAsked = false;        // the next sync to start is the user's
    bool _runningUserAsked = false; // the running one is
    QDateTime _lastSynced;
    QString _lastError; // of the last sync; empty when it ran to its end
    QStringList _lastProblems;
};

} // namespace tardigo
