#include "outline/notes_cache.h"

#include "model/keys.h"
#include "rich_text/notes_text.h"

namespace tardigo {

namespace {
// Enough for many screens of rows; beyond it the cache starts afresh rather than grow with the list.
constexpr qsizetype kMaximumEntries = 4000;
// More than the widest notes column shows.
constexpr qsizetype kLineLength = 300;

bool sameBytes(const QByteArray& a, const QByteArray& b) {
    return a.constData() == b.constData() ? a.size() == b.size() : a == b;
}
} // namespace

QString NotesCache::firstLine(const NodePtr& item) {
    const QByteArray* notes = item ? item->value(key::notes).asData() : nullptr;
    if (!notes || notes->isEmpty())
        return QString();
    if (const auto found = _entries.constFind(item.get());
        found != _entries.constEnd() && found->item.lock() == item && sameBytes(found->notes, *notes))
        return found->firstLine;
    if (_entries.size() >= kMaximumEntries)
        _entries.clear();
    ++_decodeCount;
    return _entries.insert(item.get(), Entry{item, *notes, notesFirstLine(*notes, kLineLength)})->firstLine;
}

} // namespace tardigo
