// Feeds arbitrary bytes to the RTF reader. Whatever it reads must survive our writer unchanged, and
// a reading cut short at a number of characters must give the start of the whole text.

#include "fuzz_input.h"
#include "rich_text/rtf_reader.h"
#include "rich_text/rtf_writer.h"

#include <cstdio>

using namespace tardigo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray rtf = fuzzInput(data, size);
    const RtfReadResult first = readRtf(rtf);
    if (!first.ok())
        return 0;
    const RtfReadResult start = readRtf(rtf, size > 0 ? data[0] : 0);
    if (!start.ok() || !first.text.plainText.startsWith(start.text.plainText)) {
        std::fprintf(stderr, "a reading cut short is no start of the whole text\n");
        __builtin_trap();
    }
    const QByteArray written = writeRtf(first.text.runs);
    const RtfReadResult second = readRtf(written);
    if (!second.ok() || second.text.runs != first.text.runs ||
        second.text.plainText != first.text.plainText) {
        std::fprintf(stderr, "written RTF reads back differently:\n%s\n", written.constData());
        __builtin_trap();
    }
    return 0;
}
