#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace tardigo {

/// Where the typed-stream reader takes an archive's bytes from: a whole archive in memory, or a
/// device (a list file) read through a window that moves along, so that a large file is never
/// held whole. Earlier bytes read again go through a small second window, which leaves the first
/// where reading goes on.
class ArchiveSource {
public:
    /// How much of a device the window holds, unless one string or data needs more.
    static constexpr qint64 kWindowSize = 1 << 20;

    /// A run of the archive in memory: `bytes` holds the archive's bytes from `start` to `end`.
    struct Window {
        const char* bytes = nullptr;
        qint64 start = 0;
        qint64 end = 0;
    };

    explicit ArchiveSource(QByteArrayView bytes);
    /// Reads the random-access device from its start; its size is taken now.
    explicit ArchiveSource(QIODevice& device, qint64 windowSize = kWindowSize);

    qint64 size() const { return _size; }
    /// A window holding the `count` bytes at offset, which lie within size(); a window without
    /// bytes when the device cannot give them, and then error() says why.
    Window windowAt(qint64 offset, qint64 count);

    bool failed() const { return !_error.isEmpty(); }
    /// What went wrong, to be completed with " at byte <errorOffset>".
    const QString& error() const { return _error; }
    qint64 errorOffset() const { return _errorOffset; }

private:
    struct Buffer {
        QByteArray bytes;
        qint64 start = 0;
        bool holds(qint64 offset, qint64 count) const {
            return offset >= start && start + bytes.size() - offset >= count;
        }
        Window window() const { return {bytes.constData(), start, start + bytes.size()}; }
    };

    Window fill(Buffer& buffer, qint64 offset, qint64 length);

    QIODevice* _device = nullptr;
    qint64 _size;
    qint64 _windowSize = 0;
    Buffer _ahead; // where reading goes on; for bytes in memory, all of them
    Buffer _again; // earlier bytes read again
    QString _error;
    qint64 _errorOffset = -1;
};

} // namespace tardigo
