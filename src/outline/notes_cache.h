#pragma once

#include "model/value.h"

#include <QHash>

#include <memory>

namespace tardigo {

/// The one line of notes the outline shows, read once per item and kept until the item's notes
/// change, so that drawing and scrolling never decode notes. Only the start of the notes is read.
class NotesCache {
public:
    /// The first line of the item's notes that holds text; empty when there is none.
    QString firstLine(const NodePtr& item);
    void invalidate(const Dict* item) { _entries.remove(item); }
    void clear() { _entries.clear(); }
    /// How many times notes were read since the cache was made.
    int decodeCount() const { return _decodeCount; }

private:
    struct Entry {
        std::weak_ptr<Dict> item; // tells a live item from a new one at the same address
        QByteArray notes;         // the data the line was read from
        QString firstLine;
    };

    QHash<const Dict*, Entry> _entries;
    int _decodeCount = 0;
};

} // namespace tardigo
