#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <limits>
#include <optional>

class QFile;
class QIODevice;

namespace tardigo {

/// Puts a file's bytes into the device as it goes; answers why it could not, in words, or an empty
/// string. A failed write it did not notice fails the save all the same.
using FileWriter = std::function<QString(QIODevice&)>;

/// Writes the whole file or nothing: every write, the flush and the sync to disk are checked before
/// the new file replaces the old one, so a failed save (a full disk) leaves the old file as it was.
/// Keeps the old file's permissions. Answers an empty string on success, else a sentence naming the
/// file and why.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);
/// The same, with `write` putting the bytes into the file as it goes.
QString writeFileAtomically(const QString& path, const FileWriter& write);

/// A disk that fails as a full one does, for tests: while one lives, every atomic save of this
/// process fails at the given byte of its file, or at the sync to disk.
class SimulatedDiskFault {
public:
    /// Fails the write of byte `offset` (from 0) and every later one.
    static SimulatedDiskFault atByte(qint64 offset) { return SimulatedDiskFault(offset); }
    /// Lets every byte be written, then fails the sync to disk.
    static SimulatedDiskFault atSync() { return SimulatedDiskFault(-1); }
    ~SimulatedDiskFault();
    SimulatedDiskFault(const SimulatedDiskFault&) = delete;
    SimulatedDiskFault& operator=(const SimulatedDiskFault&) = delete;

    /// The byte whose write fails, or -1 when the sync fails instead.
    qint64 offset() const { return _offset; }

private:
    explicit SimulatedDiskFault(qint64 offset);
    qint64 _offset;
};

/// Writes all the bytes, going on after a short write, so that a failure leaves the device's
/// error string saying why; false when a write failed.
bool writeAll(QIODevice& device, QByteArrayView bytes);

/// Opens the file at its path for reading; on failure answers false and sets a sentence naming
/// the file (as `shownName`, else by its file name) and why. Anything but a regular file (a folder,
/// a pipe, a device) is refused before it is read, so that nothing waits on it.
bool openForReading(QFile& file, QString* error, const QString& shownName = QString());
/// Reads a whole file; on failure answers nothing and sets a sentence naming the file and why. A file
/// larger than `limit` bytes is refused before it is read, and one that grows past it meanwhile once
/// that much is read.
std::optional<QByteArray> readWholeFile(const QString& path, QString* error,
                                        qint64 limit = std::numeric_limits<qint64>::max() - 1);

} // namespace tardigo
