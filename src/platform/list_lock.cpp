#include "platform/list_lock.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

namespace tardigo {

namespace {

/// The lock files this process holds, with the file descriptor that holds each and how many
/// holders share it.
struct HeldLock {
    int fd = -1;
    int holders = 0;
};

std::mutex gHeldMutex;
QHash<QString, HeldLock> gHeld;

constexpr std::chrono::milliseconds kRetryInterval{10};

/// Locks the open lock file, trying again until the deadline; false with errno set when it cannot.
bool lockWithin(int fd, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline)
            return false;
        QThread::msleep(quint64(kRetryInterval.count()));
    }
    return true;
}

} // namespace

QString ListLock::lockFilePath(const QString& listPath) {
    // The list a link names is the one a save replaces, so its lock lies beside that one.
    const QFileInfo list(listPath);
    const QFileInfo target(list.canonicalFilePath().isEmpty() ? list.absoluteFilePath()
                                                              : list.canonicalFilePath());
    return target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".lock");
}

ListLock::ListLock(const QString& listPath, std::chrono::milliseconds wait) {
    const QString path = lockFilePath(listPath);
    const QString name = QFileInfo(listPath).fileName();
    const std::lock_guard guard(gHeldMutex);
    if (const auto held = gHeld.find(path); held != gHeld.end()) {
        ++held->holders;
        _lockPath = path;
        return;
    }
    // Read-only is enough for flock, so a lock file another user made still serves.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        _error = QStringLiteral("Could not lock “%1” against other programs writing it: %2.")
                     .arg(name, qt_error_string(errno));
        return;
    }
    if (!lockWithin(fd, wait)) {
        const int cause = errno;
        ::close(fd);
        _error = cause == EWOULDBLOCK
                     ? QStringLiteral("“%1” is being changed by another program, which still held it after "
                                      "%2 seconds. Try again when it has finished.")
                           .arg(name)
                           .arg(double(wait.count()) / 1000.0)
                     : QStringLiteral("Could not lock “%1” against other programs writing it: %2.")
                           .arg(name, qt_error_string(cause));
        return;
    }
    gHeld.insert(path, {fd, 1});
    _lockPath = path;
}

ListLock::ListLock(ListLock&& other) noexcept
    : _lockPath(std::exchange(other._lockPath, QString())), _error(std::move(other._error)) {}

ListLock::~ListLock() {
    if (_lockPath.isEmpty())
        return;
    const std::lock_guard guard(gHeldMutex);
    const auto held = gHeld.find(_lockPath);
    if (held == gHeld.end() || --held->holders > 0)
        return;
    // Closing the last descriptor of the lock file lets go of the lock. The file stays: removing it
    // would let a waiter lock a file that no one else will find.
    ::close(held->fd);
    gHeld.erase(held);
}

} // namespace tardigo
