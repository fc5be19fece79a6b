#include "platform/atomic_file.h"

#include "platform/file_name_encoding.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tardigo {

namespace {

const SimulatedDiskFault* gDiskFault = nullptr;

/// Passes the writes on to the file until the failing byte, as a disk that fills up does.
class FailingDisk : public QIODevice {
public:
    FailingDisk(QIODevice& file, qint64 failingByte) : _file(file), _room(failingByte) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (_room <= 0) {
            setErrorString(qt_error_string(ENOSPC));
            return -1;
        }
        const qint64 written = _file.write(data, std::min(size, _room));
        if (written < 0)
            setErrorString(_file.errorString());
        else
            _room -= written;
        return written;
    }

private:
    QIODevice& _file;
    qint64 _room;
};

/// Puts every byte it is given into the file, or remembers that it could not. A writer that stops
/// at a short write (a QDataStream does) or goes on after a failed one (the PDF engine does) would
/// otherwise leave a cut file that nothing failed on.
class CheckedWrites : public QIODevice {
public:
    explicit CheckedWrites(QIODevice& file) : _file(file) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool failed() const { return _failed; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (_failed)
            return -1;
        if (writeAll(_file, QByteArrayView(data, size)))
            return size;
        setErrorString(_file.errorString());
        _failed = true;
        return -1;
    }

private:
    QIODevice& _file;
    bool _failed = false;
};

/// Asks the system to put the file on the disk; false, with why, when the disk refused.
bool syncToDisk(const QSaveFile& file, QString* why) {
    if (gDiskFault && gDiskFault->offset() < 0) {
        *why = qt_error_string(EIO);
        return false;
    }
    // QSaveFile syncs too, but ignores a failure, which is where a full disk may show.
    if (::fsync(file.handle()) == 0)
        return true;
    *why = qt_error_string(errno);
    return false;
}

/// Why the save failed, or an empty string once the new file has replaced the old one.
QString save(QSaveFile& file, const FileWriter& write) {
    // Unbuffered, a write that fails says so at once: no piece waits in a buffer for the commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    std::optional<FailingDisk> failingDisk;
    if (gDiskFault && gDiskFault->offset() >= 0)
        failingDisk.emplace(file, gDiskFault->offset());
    CheckedWrites checked(failingDisk ? static_cast<QIODevice&>(*failingDisk) : file);
    QString why = write(checked);
    if (!why.isEmpty())
        return why;
    if (checked.failed())
        return checked.errorString();
    if (!file.flush())
        return file.errorString();
    if (!syncToDisk(file, &why))
        return why;
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace

SimulatedDiskFault::SimulatedDiskFault(qint64 offset) : _offset(offset) {
    gDiskFault = this;
}

SimulatedDiskFault::~SimulatedDiskFault() {
    gDiskFault = nullptr;
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return writeFileAtomically(
        path, [&](QIODevice& file) { return writeAll(file, bytes) ? QString() : file.errorString(); });
}

QString writeFileAtomically(const QString& path, const FileWriter& write) {
    QSaveFile file(path);
    const QString why = save(file, write);
    if (why.isEmpty())
        return {};
    // Without a commit the temporary file goes, and the old one, if any, stays.
    const QString error = QStringLiteral("Could not save “%1”: %2.").arg(QFileInfo(path).fileName(), why);
    return QFileInfo::exists(path) ? error + QStringLiteral(" The previous version of the file is unchanged.")
                                   : error;
}

bool writeAll(QIODevice& device, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const qint64 written = device.write(bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

bool openForReading(QFile& file, QString* error, const QString& shownName) {
    const QString name = shownName.isEmpty() ? QFileInfo(file.fileName()).fileName() : shownName;
    // Opened without waiting, then checked on what was opened: a pipe would wait for a writer
    // forever, and a device would never end.
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = errno == ENOENT && mayHaveBeenNotUtf8(name)
                     ? notUtf8NameReason(name)
                     : QStringLiteral("Could not open “%1”: %2.").arg(name, qt_error_string(errno));
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        *error = S_ISDIR(info.st_mode)
                     ? QStringLiteral("“%1” is a folder, not a list file.").arg(name)
                     : QStringLiteral("“%1” is not a regular file (it may be a pipe or a device), so it "
                                      "cannot be a list file.")
                           .arg(name);
        return false;
    }
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        *error = QStringLiteral("Could not open “%1”: %2.").arg(name, file.errorString());
        ::close(fd);
        return false;
    }
    return true;
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* error, qint64 limit) {
    QFile file(path);
    if (!openForReading(file, error))
        return std::nullopt;
    const QString name = QFileInfo(path).fileName();
    const auto tooLarge = [&] {
        *error = QStringLiteral("“%1” is larger than %2 MB, the most Tardigo reads of such a file; it was "
                                "not read.")
                     .arg(name)
                     .arg(limit / (1024 * 1024));
        return std::nullopt;
    };
    if (file.size() > limit)
        return tooLarge();
    QByteArray bytes;
    bytes.reserve(file.size());
    constexpr qint64 kChunk = 1 << 20;
    while (bytes.size() <= limit) {
        const QByteArray chunk = file.read(std::min(kChunk, limit + 1 - bytes.size()));
        if (chunk.isEmpty())
            break;
        bytes.append(chunk);
    }
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Could not read “%1”: %2.").arg(name, file.errorString());
        return std::nullopt;
    }
    if (bytes.size() > limit)
        return tooLarge();
    return bytes;
}

} // namespace tardigo
