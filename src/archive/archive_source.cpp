#include "archive/archive_source.h"

#include <QIODevice>

#include <algorithm>

namespace tardigo {

namespace {

// Bytes read again are a string, a number or a date of an earlier object: a page holds them, and
// often the next ones asked for.
constexpr qint64 kAgainSize = 4096;

} // namespace

ArchiveSource::ArchiveSource(QByteArrayView bytes)
    : _size(bytes.size()), _ahead{QByteArray::fromRawData(bytes.data(), bytes.size()), 0} {}

ArchiveSource::ArchiveSource(QIODevice& device, qint64 windowSize)
    : _device(&device), _size(device.size()), _windowSize(windowSize) {}

ArchiveSource::Window ArchiveSource::windowAt(qint64 offset, qint64 count) {
    if (_ahead.holds(offset, count))
        return _ahead.window();
    if (_again.holds(offset, count))
        return _again.window();
    if (failed() || !_device)
        return {};
    // Reading goes forward; only a look back at an earlier object starts before the window.
    if (offset < _ahead.start)
        return fill(_again, offset, std::min(std::max(count, kAgainSize), _size - offset));
    return fill(_ahead, offset, std::min(std::max(count, _windowSize), _size - offset));
}

ArchiveSource::Window ArchiveSource::fill(Buffer& buffer, qint64 offset, qint64 length) {
    buffer.bytes.resize(length);
    buffer.start = offset;
    const qint64 read = _device->seek(offset) ? _device->read(buffer.bytes.data(), length) : -1;
    if (read == length)
        return buffer.window();
    buffer.bytes.clear();
    if (read < 0) {
        _error = QStringLiteral("reading it failed (%1)").arg(_device->errorString());
        _errorOffset = offset;
    } else {
        _error = QStringLiteral("it became shorter while it was being read, and no data is left");
        _errorOffset = offset + read;
    }
    return {};
}

} // namespace tardigo
