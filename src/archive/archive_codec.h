#pragma once

#include "model/value.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace tardigo {

class ClassDecoderRegistry;

struct ArchiveDecodeResult {
    Value root;
    /// A sentence without the file name, ending with the byte offset; empty on success.
    QString error;
    qint64 errorOffset = -1;
    /// The bytes could not be read to the end (a file that changed while it was read); error says why.
    bool unreadable = false;
    /// The archived class of the root object, known even when its decoding failed.
    QByteArray rootClassName;
    bool ok() const { return error.isEmpty(); }
};

/// Decodes the root object of a typed-stream archive (its first group, of type "@") to a value.
ArchiveDecodeResult decodeArchive(const QByteArray& bytes);
/// The same, with decoders for further classes.
ArchiveDecodeResult decodeArchive(const QByteArray& bytes, const ClassDecoderRegistry& registry);
/// The same from a random-access device, such as a list file, which is read a part at a time.
ArchiveDecodeResult decodeArchive(QIODevice& device);
/// A little-endian "streamtyped" archive, version 4, system version 1000, of the value as root;
/// empty when no reader would accept it (it nests too deeply).
QByteArray encodeArchive(const Value& root);
/// Writes the same bytes to the device a part at a time; answers why it could not (a write failed,
/// or it was refused), or an empty string.
QString writeArchive(const Value& root, QIODevice& device);

} // namespace tardigo
