// Feeds arbitrary bytes to the reader of a server's multi-status answers, as a hostile server
// would send them. What it reads must name only resources it can resolve.
#include "caldav/multistatus.h"
#include "fuzz_input.h"

using namespace tardigo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QUrl base(QStringLiteral("https://example.com/cal/alice/tasks/"));
    QString error;
    const std::optional<Multistatus> answer = readMultistatus(fuzzInput(data, size), base, &error);
    if (!answer) {
        if (error.isEmpty()) // a refusal always says why
            __builtin_trap();
        return 0;
    }
    for (const DavResource& resource : answer->resources)
        if (resource.url.isRelative() && !resource.url.isEmpty())
            __builtin_trap();
    return 0;
}
