#include "sync/vdir_folder.h"

#include "platform/atomic_file.h"
#include "platform/file_name_encoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace tardigo {

namespace {

QString megabytes(qint64 bytes) {
    return QString::number(bytes / (1024 * 1024));
}

/// What lstat(2) says of the path: nothing when it cannot be seen.
std::optional<struct stat> statWithoutFollowing(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return info;
}

QString linkPassedOver(const QString& path) {
    return QStringLiteral("%1 is a symbolic link; the sync never follows a link out of its folder, so it was "
                          "passed over. Put the file itself in the folder.")
        .arg(path);
}

} // namespace

QString VdirFolder::filePath(const QString& name) const {
    return QDir(_path).filePath(name);
}

std::optional<StoreListing> VdirFolder::list(QString* error) const {
    const QFileInfo folder(_path);
    if (!folder.exists()) {
        *error =
            QStringLiteral("The sync folder %1 does not exist. Create it, or let vdirsyncer create it with "
                           "“vdirsyncer discover”, and sync again.")
                .arg(_path);
        return std::nullopt;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(QFile::encodeName(_path).constData()),
                                                  ::closedir);
    if (!folder.isDir() || !dir) {
        *error = QStringLiteral("The sync folder %1 cannot be read: %2. Check its permissions.")
                     .arg(_path, qt_error_string(folder.isDir() ? errno : ENOTDIR));
        return std::nullopt;
    }
    StoreListing listing;
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.') || !raw.endsWith(".ics"))
            continue;
        const QString name = QFile::decodeName(raw);
        if (!isUtf8Text(raw)) {
            listing.passedOver.append(QStringLiteral("In the sync folder %1, a file was passed over: %2")
                                          .arg(_path, notUtf8NameReason(name)));
            continue;
        }
        const std::optional<struct stat> info = statWithoutFollowing(filePath(name));
        if (info && S_ISLNK(info->st_mode)) {
            listing.passedOver.append(linkPassedOver(filePath(name)));
            listing.takenNames.append(name);
        } else if (info && S_ISREG(info->st_mode)) {
            listing.names.append(name);
            listing.takenNames.append(name);
        }
    }
    listing.names.sort();
    return listing;
}

std::optional<QByteArray> VdirFolder::read(const QString& name, QString* error) const {
    const QString path = filePath(name);
    // Not through a link, and without waiting on a pipe put in its place since the listing.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = errno == ELOOP ? linkPassedOver(path)
                                : QStringLiteral("%1 cannot be read: %2.").arg(path, qt_error_string(errno));
        return std::nullopt;
    }
    QFile file;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = QStringLiteral("%1 is not a regular file; it was passed over.").arg(path);
        return std::nullopt;
    }
    const QString tooLarge =
        QStringLiteral("%1 is larger than %2 MB, more than one to-do ever needs; it was passed over.")
            .arg(path, megabytes(kMaxFileBytes));
    if (info.st_size > kMaxFileBytes) {
        *error = tooLarge;
        return std::nullopt;
    }
    // At most the limit, and a byte more to see a file that grew since it was measured.
    QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1 cannot be read: %2.").arg(path, file.errorString());
        return std::nullopt;
    }
    if (bytes.size() > kMaxFileBytes) {
        *error = tooLarge;
        return std::nullopt;
    }
    return bytes;
}

QString VdirFolder::write(const QString& name, const QByteArray& bytes) {
    const QString path = filePath(name);
    if (bytes.size() > kMaxFileBytes)
        return QStringLiteral("%1 was not written: its to-do would take more than %2 MB, more than the sync "
                              "reads back.")
            .arg(path, megabytes(kMaxFileBytes));
    if (const std::optional<struct stat> info = statWithoutFollowing(path); info && S_ISLNK(info->st_mode))
        return QStringLiteral(
                   "%1 was not written: it is a symbolic link, and the sync never writes through a "
                   "link out of its folder.")
            .arg(path);
    return writeFileAtomically(path, bytes);
}

QString VdirFolder::remove(const QString& name) {
    QFile file(filePath(name));
    if (!statWithoutFollowing(file.fileName()) || file.remove())
        return {};
    return QStringLiteral("%1 cannot be removed: %2.").arg(file.fileName(), file.errorString());
}

QString VdirFolder::nameForUid(const QString& uid) const {
    return entryNameForUid(uid);
}

} // namespace tardigo
