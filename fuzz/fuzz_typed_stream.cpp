// Feeds arbitrary bytes to the typed-stream readers. What the class layer decodes must encode to an
// archive that decodes to the same value, and decoding through a small window that moves along
// (as a file is read) must come to the same value or the same error; what the generic layer reads
// must write back to an archive that reads again, and must dump as JSON.

#include "archive/archive_codec.h"
#include "archive/archive_decoder.h"
#include "archive/generic_archive.h"
#include "exchange/archive_json.h"
#include "fuzz_input.h"

#include <QBuffer>

using namespace tardigo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzInput(data, size);

    const ArchiveDecodeResult decoded = decodeArchive(bytes);
    if (decoded.ok()) {
        // Equal trees with equal sharing encode to equal bytes, which also holds for NaN numbers.
        const QByteArray encoded = encodeArchive(decoded.root);
        const ArchiveDecodeResult again = decodeArchive(encoded);
        if (!again.ok() || encodeArchive(again.root) != encoded)
            __builtin_trap();
    }
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    const ArchiveDecodeResult windowed = ArchiveDecoder(ArchiveSource(file, 37), nullptr).decode();
    if (windowed.error != decoded.error || windowed.errorOffset != decoded.errorOffset ||
        (decoded.ok() && encodeArchive(windowed.root) != encodeArchive(decoded.root)))
        __builtin_trap();

    const GenericArchiveReadResult generic = readGenericArchive(bytes);
    if (generic.ok()) {
        if (!readGenericArchive(writeGenericArchive(generic.archive)).ok())
            __builtin_trap();
        (void)archiveToJson(generic.archive, false);
    }
    return 0;
}
