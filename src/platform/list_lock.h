#pragma once

#include "platform/lock_holder.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace tardigo {

/// The advisory lock every writer of a list holds from before it reads the list until its save is
/// committed, so that two writers never lose each other's changes: flock(2) on a lock file beside
/// the list (".NAME.lock"), never on the list itself, which a save replaces with a new file. Every
/// spelling of the list's path, symbolic links included, takes the same lock. The holder writes who
/// it is into the lock file (see LockHolder), so that a writer that must wait can say for whom.
/// Within one thread the lock nests: an inner holder (the save inside a read-modify-write) shares the
/// outer one's; another thread of the same process waits for it as another program would. A lock
/// is let go on the thread that holds it.
class ListLock {
public:
    /// What a writer that must wait knows of its wait.
    struct Wait {
        QString listName;
        std::optional<LockHolder> holder; // the running process that says it holds the lock; none
                                          // when the holder did not say, or named a process now gone
        std::chrono::milliseconds waited{0};
        /// E.g. "“groceries.todo” is being changed by process 4242 (tardigo-cli)".
        QString sentence() const;
    };
    /// Told as soon as a writer must wait, then about every quarter of a second while it waits;
    /// answers whether to go on waiting.
    using WaitReport = std::function<bool(const Wait&)>;

    /// Takes the lock of the list at path, waiting for as long as another process holds it: only a
    /// running process holds a flock, and it lets go when it ends, however it ends. The wait is told
    /// to the process's wait report (see setWaitReport).
    explicit ListLock(const QString& listPath);
    /// The same, telling the wait to `report`, which may stop it.
    ListLock(const QString& listPath, const WaitReport& report);
    /// The lock when no other process or thread holds it now (this thread's own nests).
    static ListLock ifFree(const QString& listPath);
    ~ListLock();
    ListLock(ListLock&& other) noexcept;
    ListLock& operator=(ListLock&&) = delete;
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

    bool isLocked() const { return !_heldKey.isEmpty(); }
    /// Why the lock could not be had, as a sentence naming the list; empty when it is held.
    const QString& error() const { return _error; }
    /// Not had because another holder kept it and the wait was stopped (not because it failed).
    bool isHeldElsewhere() const { return _heldElsewhere; }

    /// Hands the outermost lock to another thread of this process, which then holds it and lets it
    /// go: a wait runs on a worker for a thread that must not block.
    void passTo(Qt::HANDLE thread);

    /// How every wait of this process that names no report of its own is told; by default, a log line.
    static void setWaitReport(WaitReport report);
    /// The lock file of the list at path.
    static QString lockFilePath(const QString& listPath);

private:
    ListLock() = default;
    void take(const QString& listPath, const WaitReport& report);

    QString _lockPath;
    QString _heldKey; // the lock file and the thread holding it; empty when nothing is held
    QString _error;
    bool _heldElsewhere = false;
};

} // namespace tardigo
