#pragma once

#include "document/outline_data_source.h"

#include <QHash>

#include <memory>

class QTextDocument;

namespace tardigo {

/// The notes the outline shows, decoded once per item and kept until the item's notes change, so
/// that drawing and scrolling never decode RTFD.
class NotesCache {
public:
    explicit NotesCache(const OutlineDataSource& dataSource) : _dataSource(dataSource) {}

    /// The item's notes as a text document; null when it has none that decode.
    const QTextDocument* documentFor(const NodePtr& item);
    /// The first line of the notes' text; empty when there are none.
    QString firstLine(const NodePtr& item);
    void invalidate(const Dict* item) { _entries.remove(item); }
    void clear() { _entries.clear(); }
    /// How many times notes were decoded since the cache was made.
    int decodeCount() const { return _decodeCount; }

private:
    struct Entry {
        std::weak_ptr<Dict> item; // tells a live item from a new one at the same address
        QByteArray notes;         // the data the document was made from
        std::shared_ptr<QTextDocument> document;
        QString firstLine;
    };
    const Entry& entryFor(const NodePtr& item);

    const OutlineDataSource& _dataSource;
    QHash<const Dict*, Entry> _entries;
    int _decodeCount = 0;
};

} // namespace tardigo
