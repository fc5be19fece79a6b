// Feeds arbitrary text to what reads a line the user typed: quick add must answer an item with a name
// made of the line's own words, or nothing; the search must fold each character in its place and
// highlight only inside the text.

#include "fuzz_input.h"
#include "quick_add/quick_add_text.h"
#include "search/item_search.h"

#include <QRegularExpression>

#include <cstdio>

using namespace tardigo;

namespace {

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(fuzzInput(data, size));
    if (const std::optional<QuickAddItem> item = readQuickAddText(text)) {
        if (item->name.isEmpty())
            fault("quick add answered an item without a name");
        const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        for (const QString& word : item->name.split(u' '))
            if (!words.contains(word))
                fault("quick add named the item with a word the line does not hold");
        if (!item->category.isEmpty() && !words.contains(u'#' + item->category))
            fault("quick add took a category the line does not hold");
    }
    if (foldForSearch(text).size() != text.size())
        fault("folding moved the characters");
    const ItemSearch search(text.left(64));
    for (const auto& [start, length] : search.occurrencesIn(text))
        if (start < 0 || length <= 0 || start + length > text.size())
            fault("a highlight lies outside the text");
    return 0;
}
