#pragma once

#include <QString>

#include <chrono>

namespace tardigo {

/// The advisory lock every writer of a list holds from before it reads the list until its save is
/// committed, so that two writers never lose each other's changes: flock(2) on a lock file beside
/// the list (".NAME.lock"), never on the list itself, which a save replaces with a new file. Every
/// spelling of the list's path, symbolic links included, takes the same lock. Within one thread the
/// lock nests: an inner holder (the save inside a read-modify-write) shares the outer one's; another
/// thread of the same process waits for it as another program would. A lock is let go on the
/// thread that took it.
class ListLock {
public:
    /// How long a writer waits for another one to finish before it gives up.
    static constexpr std::chrono::milliseconds kDefaultWait{10000};

    /// Takes the lock of the list at path, waiting at most `wait` for another program to let go.
    explicit ListLock(const QString& listPath, std::chrono::milliseconds wait = kDefaultWait);
    ~ListLock();
    ListLock(ListLock&& other) noexcept;
    ListLock& operator=(ListLock&&) = delete;
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

    bool isLocked() const { return !_heldKey.isEmpty(); }
    /// Why the lock could not be had, as a sentence naming the list; empty when it is held.
    const QString& error() const { return _error; }

    /// The lock file of the list at path.
    static QString lockFilePath(const QString& listPath);

private:
    QString _heldKey; // the lock file and the thread holding it; empty when nothing is held
    QString _error;
};

} // namespace tardigo
