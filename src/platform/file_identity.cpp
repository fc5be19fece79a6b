#include "platform/file_identity.h"

#include <QFile>

#include <sys/stat.h>

namespace tardigo {

std::optional<FileIdentity> FileIdentity::of(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileIdentity{quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
                        qint64(info.st_mtim.tv_sec) * 1'000'000'000 + qint64(info.st_mtim.tv_nsec)};
}

} // namespace tardigo
