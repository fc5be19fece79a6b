#include "archive/archive_codec.h"

#include "archive/archive_decoder.h"
#include "archive/archive_encoder.h"

namespace tardigo {

ArchiveDecodeResult decodeArchive(const QByteArray& bytes) {
    return ArchiveDecoder(ArchiveSource(bytes), nullptr).decode();
}

ArchiveDecodeResult decodeArchive(const QByteArray& bytes, const ClassDecoderRegistry& registry) {
    return ArchiveDecoder(ArchiveSource(bytes), &registry).decode();
}

ArchiveDecodeResult decodeArchive(QIODevice& device) {
    return ArchiveDecoder(ArchiveSource(device), nullptr).decode();
}

QByteArray encodeArchive(const Value& root) {
    return ArchiveEncoder().encode(root);
}

QString writeArchive(const Value& root, QIODevice& device) {
    return ArchiveEncoder().encode(root, device);
}

} // namespace tardigo
