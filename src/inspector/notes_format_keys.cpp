#include "inspector/notes_format_keys.h"

#include <QKeyEvent>
#include <QTextEdit>

namespace tardigo {

namespace {

bool isFormatKey(const QKeyEvent& key) {
    return key.modifiers() == Qt::ControlModifier &&
           (key.key() == Qt::Key_B || key.key() == Qt::Key_I || key.key() == Qt::Key_U);
}

} // namespace

NotesFormatKeys::NotesFormatKeys(QTextEdit& editor) : QObject(&editor), _editor(editor) {
    editor.installEventFilter(this);
}

bool NotesFormatKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &_editor ||
        (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isFormatKey(*key) || _editor.isReadOnly())
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        key->accept(); // the editor's, not the window's (Ctrl+I shows and hides the inspector)
        return true;
    }
    switch (key->key()) {
    case Qt::Key_B:
        _editor.setFontWeight(_editor.fontWeight() > QFont::Normal ? QFont::Normal : QFont::Bold);
        break;
    case Qt::Key_I:
        _editor.setFontItalic(!_editor.fontItalic());
        break;
    default:
        _editor.setFontUnderline(!_editor.fontUnderline());
        break;
    }
    return true;
}

} // namespace tardigo
