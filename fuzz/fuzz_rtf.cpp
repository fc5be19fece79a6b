// Feeds arbitrary bytes to the RTF reader. Whatever it reads must survive our writer unchanged.

#include "storage/rtf_reader.h"
#include "storage/rtf_writer.h"

#include <QLoggingCategory>

#include <cstdint>
#include <cstdio>

using namespace tardigo;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Damaged input is the normal case here; logging it would only slow the search.
    QLoggingCategory::setFilterRules(QStringLiteral("tardigo.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray rtf = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const RtfReadResult first = readRtf(rtf);
    if (!first.ok())
        return 0;
    const QByteArray written = writeRtf(first.text.runs);
    const RtfReadResult second = readRtf(written);
    if (!second.ok() || second.text.runs != first.text.runs ||
        second.text.plainText != first.text.plainText) {
        std::fprintf(stderr, "written RTF reads back differently:\n%s\n", written.constData());
        __builtin_trap();
    }
    return 0;
}
