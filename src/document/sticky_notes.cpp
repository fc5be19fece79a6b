#include "document/sticky_notes.h"

#include "archive/color_value.h"
#include "model/keys.h"
#include "rich_text/notes_text.h"

#include <QUuid>

namespace tardigo {

std::vector<StickyNote> stickyNotesForItems(const std::vector<NodePtr>& items) {
    std::vector<StickyNote> notes;
    for (const NodePtr& item : items) {
        StickyNote note;
        note.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (const QString* name = item->value(key::name).asString())
            note.title = *name;
        if (const QByteArray* rtfd = item->value(key::notes).asData())
            note.text = notesPlainText(*rtfd).value_or(QString());
        if (const QByteArray* color = item->value(key::color).asData())
            note.color = rgbaFromColorData(*color);
        notes.push_back(note);
    }
    return notes;
}

} // namespace tardigo
