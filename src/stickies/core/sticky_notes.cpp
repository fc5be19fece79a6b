#include "stickies/core/sticky_notes.h"

#include "archive/color_value.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/status_display.h"
#include "rich_text/notes_text.h"

#include <QUuid>

namespace tardigo {

std::vector<StickyNote> stickyNotesForItems(const std::vector<NodePtr>& items, const QString& listPath) {
    std::vector<StickyNote> notes;
    for (const NodePtr& item : items) {
        StickyNote note;
        note.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        note.listPath = listPath;
        notes.push_back(stickyNoteShowing(*item, note));
    }
    return notes;
}

StickyNote stickyNoteShowing(const Dict& item, StickyNote note) {
    note.title = stringOf(item, key::name);
    note.itemCreated = stringOf(item, key::dateCreated);
    note.itemUid = stringOf(item, key::uid);
    const QByteArray* notes = item.value(key::notes).asData();
    // Notes too large to keep beside the list are kept as their text.
    const bool keepNotes = notes && notes->size() <= StickyStore::kLargestKeptNotes;
    if (!notes || note.notes != *notes) {
        note.notes = keepNotes ? *notes : QByteArray();
        note.text = notes ? notesPlainText(*notes).value_or(QString()) : QString();
    }
    const ItemFont font = itemFontSettings(&item);
    note.fontName = font.name.value_or(QString());
    note.fontSize = font.pointSize;
    const QByteArray* color = item.value(key::color).asData();
    note.color = color ? rgbaFromColorData(*color) : std::nullopt;
    return note;
}

NodePtr findStickyItem(const NodePtr& root, const StickyNote& note, const Dict* known) {
    NodePtr byUid, byCreation;
    std::vector<NodePtr> pending{root};
    while (!pending.empty()) {
        const NodePtr node = std::move(pending.back());
        pending.pop_back();
        if (node.get() == known)
            return node;
        if (node != root) {
            if (!byUid && !note.itemUid.isEmpty() && stringOf(*node, key::uid) == note.itemUid)
                byUid = node;
            if (!byCreation && !note.itemCreated.isEmpty() &&
                stringOf(*node, key::dateCreated) == note.itemCreated &&
                stringOf(*node, key::name) == note.title)
                byCreation = node;
        }
        if (const ArrayPtr children = childrenOf(*node))
            for (auto child = children->items.rbegin(); child != children->items.rend(); ++child)
                if (NodePtr item = child->asDict())
                    pending.push_back(std::move(item));
    }
    return byUid ? byUid : byCreation;
}

} // namespace tardigo
