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

/// The lock files each thread of this process holds, with the file descriptor that holds each and
/// how many holders share it. Nesting stops at the thread: a sync on a worker thread and a save on
/// the interface thread each open the lock file, and flock keeps them apart as it keeps processes.
struct HeldLock {
    int fd = -1;
    int holders = 0;
};

std::mutex gHeldMutex;
QHash<QString, HeldLock> gHeld; // by heldKey()

QString heldKey(const QString& lockPath) {
    return lockPath + u'\n' + QString::number(quintptr(QThread::currentThreadId()));
}

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
    const QString key = heldKey(path);
    {
        const std::lock_guard guard(gHeldMutex);
        if (const auto held = gHeld.find(key); held != gHeld.end()) {
            ++held->holders;
            _heldKey = key;
            return;
        }
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
    const std::lock_guard guard(gHeldMutex);
    gHeld.insert(key, {fd, 1});
    _heldKey = key;
}

ListLock::ListLock(ListLock&& other) noexcept
    : _heldKey(std::exchange(other._heldKey, QString())), _error(std::move(other._error)) {}

ListLock::~ListLock() {
    if (_heldKey.isEmpty())
        return;
    const std::lock_guard guard(gHeldMutex);
    const auto held = gHeld.find(_heldKey);
    if (held == gHeld.end() || --held->holders > 0)
        return;
    // Closing the last descriptor of the lock file lets go of the lock. The file stays: removing it
    // would let a waiter lock a file that no one else will find.
    ::close(held->fd);
    gHeld.erase(held);
}

} // namespace tardigo
