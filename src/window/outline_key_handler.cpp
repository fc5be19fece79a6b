#include "window/outline_key_handler.h"

#include "document/tardigo_document.h"
#include "window/outline_tree_view.h"

#include <QKeyEvent>

namespace tardigo {

OutlineKeyHandler::OutlineKeyHandler(OutlineTreeView& outline, TardigoDocument& document)
    : QObject(&outline), _outline(outline), _document(document) {
    outline.installEventFilter(this);
}

bool OutlineKeyHandler::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &_outline || event->type() != QEvent::KeyPress || _outline.isEditing())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (key->key() == Qt::Key_Tab) {
        _document.shaping().indentItems();
        return true;
    }
    if (key->key() == Qt::Key_Backtab) {
        _document.shaping().outdentItems();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        _document.itemCommands().renameItem();
        return true;
    }
    return false;
}

} // namespace tardigo
