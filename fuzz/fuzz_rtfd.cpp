// Feeds arbitrary bytes to the flat RTFD reader and the notes decoder. A container that reads must
// survive our writer with the same files, and give the same text when its text alone is read.

#include "fuzz_input.h"
#include "rich_text/notes_text.h"
#include "rich_text/rtfd_container.h"

using namespace tardigo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzInput(data, size);
    (void)decodeNotes(bytes);
    (void)notesFirstLine(bytes, 80);
    const RtfdReadResult first = readRtfdContainer(bytes);
    if (!first.ok())
        return 0;
    const RtfdReadResult text = readRtfdText(bytes);
    if (!text.ok() || text.rtf != first.rtf)
        __builtin_trap();
    std::vector<RtfdFile> files{{kRtfdTextFileName, first.rtf}};
    files.insert(files.end(), first.attachments.begin(), first.attachments.end());
    const RtfdReadResult second = readRtfdContainer(writeRtfdContainer(files));
    if (!second.ok() || second.rtf != first.rtf || second.attachments != first.attachments)
        __builtin_trap();
    return 0;
}
