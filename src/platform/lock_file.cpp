#include "platform/lock_file.h"

#include "model/core_log.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tardigo {

LockFile::LockFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    constexpr int kFlags = O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    _fd = ::open(name.constData(), O_RDWR | kFlags, 0666);
    _writable = _fd >= 0;
    if (_fd < 0 && (errno == EACCES || errno == EROFS))
        _fd = ::open(name.constData(), O_RDONLY | kFlags, 0666);
    if (_fd < 0) {
        _error = errno == ELOOP ? QStringLiteral("its lock file is a symbolic link") : qt_error_string(errno);
        return;
    }
    struct stat info {};
    if (::fstat(_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(_fd);
        _fd = -1;
        _error = QStringLiteral("its lock file is not a plain file");
    }
}

LockFile::~LockFile() {
    if (_fd < 0)
        return;
    if (_locked && _writable && ::ftruncate(_fd, 0) != 0)
        qCDebug(lcPlatform) << "could not clear a lock file:" << qt_error_string(errno);
    // Closing the last descriptor of the file lets go of the lock. The file stays: removing it would
    // let a waiter lock a file that no one else will find.
    ::close(_fd);
}

LockFile::Attempt LockFile::tryLock() {
    while (::flock(_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno == EWOULDBLOCK)
            return Attempt::HeldElsewhere;
        _error = qt_error_string(errno);
        return Attempt::Failed;
    }
    _locked = true;
    if (!_writable)
        return Attempt::Taken;
    // Only words for whoever waits: a record that cannot be written costs nothing else.
    const QByteArray record = LockHolder::self().toText();
    if (::ftruncate(_fd, 0) != 0 ||
        ::pwrite(_fd, record.constData(), size_t(record.size()), 0) != record.size())
        qCDebug(lcPlatform) << "could not write this process into a lock file:" << qt_error_string(errno);
    return Attempt::Taken;
}

std::optional<LockHolder> LockFile::runningHolder() const {
    QByteArray text(LockHolder::kMaxTextBytes, Qt::Uninitialized);
    const ssize_t count = ::pread(_fd, text.data(), size_t(text.size()), 0);
    std::optional<LockHolder> holder = LockHolder::fromText(text.left(count > 0 ? count : 0));
    return holder && holder->isRunning() ? holder : std::nullopt;
}

} // namespace tardigo
