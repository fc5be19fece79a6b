#include "instance/instance_socket.h"

#include "instance/instance_log.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tardigo {

namespace {

/// A folder itself (not a link to one), this user's, that no one else may read, write or enter.
bool isPrivateFolder(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

} // namespace

QString instanceFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/tardigo-%1").arg(::geteuid());
    if (::mkdir(QFile::encodeName(own).constData(), 0700) != 0 && errno != EEXIST)
        qCWarning(lcInstance).noquote() << "cannot make" << own << qt_error_string(errno);
    if (isPrivateFolder(own))
        return own;
    qCWarning(lcInstance).noquote() << own
                                    << "is not a private folder of this user's, and XDG_RUNTIME_DIR names"
                                    << "none: Tardigo runs without hearing from other Tardigo processes";
    return QString();
}

QString instanceSocketPath() {
    const QString folder = instanceFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/tardigo-instance");
}

QString instanceLockPath(const QString& socketPath) {
    return socketPath + QStringLiteral(".lock");
}

} // namespace tardigo
