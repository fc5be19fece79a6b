#pragma once

#include "platform/lock_holder.h"

#include <QString>

#include <optional>

namespace tardigo {

/// A lock file held with flock(2), so that the lock goes with the process however it ends, and with
/// its holder's record in it (see LockHolder) while it is held. Never opened through a symbolic link,
/// nor as anything but a plain file: lock files lie in folders that others may write. Read-only when
/// that is all the file allows, so that a lock file another user made still serves (without a record).
class LockFile {
public:
    /// Opens the lock file at path, making it when there is none; see error().
    explicit LockFile(const QString& path);
    /// Lets go: the record is cleared first, so that a later holder that writes none is not taken
    /// for this one.
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    bool isOpen() const { return _fd >= 0; }
    /// Why it could not be opened or locked, in words; empty otherwise.
    const QString& error() const { return _error; }

    enum class Attempt { Taken, HeldElsewhere, Failed };
    /// Takes the lock if no one holds it now, and writes this process into the file.
    Attempt tryLock();
    /// The running process the file names as its holder; none when it names none, or one that is
    /// gone (the holder then is a program that writes no record).
    std::optional<LockHolder> runningHolder() const;

private:
    int _fd = -1;
    bool _writable = false;
    bool _locked = false;
    QString _error;
};

} // namespace tardigo
