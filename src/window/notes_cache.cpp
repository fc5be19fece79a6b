#include "window/notes_cache.h"

#include "model/keys.h"
#include "window/rich_text_document.h"

#include <QTextDocument>

namespace tardigo {

namespace {
// Enough for many screens of rows; beyond it the cache starts afresh rather than grow with the list.
constexpr qsizetype kMaximumEntries = 4000;

bool sameBytes(const QByteArray& a, const QByteArray& b) {
    return a.constData() == b.constData() ? a.size() == b.size() : a == b;
}
} // namespace

const NotesCache::Entry& NotesCache::entryFor(const NodePtr& item) {
    static const Entry none;
    const QByteArray* notes = item ? item->value(key::notes).asData() : nullptr;
    if (!notes || notes->isEmpty())
        return none;
    if (const auto found = _entries.constFind(item.get());
        found != _entries.constEnd() && found->item.lock() == item && sameBytes(found->notes, *notes))
        return *found;
    if (_entries.size() >= kMaximumEntries)
        _entries.clear();
    ++_decodeCount;
    Entry entry{item, *notes, nullptr, QString()};
    const CellValue value = _dataSource.objectValueForTableColumn(key::notes, item);
    if (const RichText* text = std::get_if<RichText>(&value)) {
        entry.document = toTextDocument(*text);
        entry.firstLine = text->readableText().section(QLatin1Char('\n'), 0, 0);
    }
    return *_entries.insert(item.get(), std::move(entry));
}

const QTextDocument* NotesCache::documentFor(const NodePtr& item) {
    return entryFor(item).document.get();
}

QString NotesCache::firstLine(const NodePtr& item) {
    return entryFor(item).firstLine;
}

} // namespace tardigo
