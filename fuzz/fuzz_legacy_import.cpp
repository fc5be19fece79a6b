// Feeds arbitrary bytes to the 1.x import. A list that converts must save and read back as a
// current list with the same items.

#include "archive/list_file.h"
#include "fuzz_input.h"
#include "model/keys.h"
#include "model/node_operations.h"

using namespace tardigo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzInput(data, size);
    const ListLoad imported = importLegacyList(bytes, QStringLiteral("fuzz.todo"));
    if (!imported.ok())
        return 0;
    const ListLoad reread = decodeListFile(*encodeListFile(imported.root, kTodoListType), kTodoListType,
                                           QStringLiteral("fuzz.todo"));
    if (!reread.ok() || childrenOf(*reread.root)->size() != childrenOf(*imported.root)->size())
        __builtin_trap();
    return 0;
}
