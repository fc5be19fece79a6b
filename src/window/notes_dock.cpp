#include "window/notes_dock.h"

#include "document/tardigo_document.h"
#include "model/keys.h"
#include "platform/localized.h"
#include "rich_text/notes_text.h"
#include "window/rich_text_document.h"

#include <QEvent>
#include <QTextDocument>
#include <QTextEdit>

namespace tardigo {

NotesDock::NotesDock(TardigoDocument& document, QWidget* parent)
    : QDockWidget(localized(QStringLiteral("Notes")), parent), _document(document),
      _editor(new QTextEdit(this)) {
    setObjectName(QStringLiteral("notesDock"));
    _editor->setObjectName(QStringLiteral("notesEditor"));
    _editor->setAcceptRichText(true);
    _editor->setPlaceholderText(tr("No notes"));
    _editor->installEventFilter(this);
    setWidget(_editor);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    hide();
}

void NotesDock::toggleInspector(bool fromUser) {
    setVisible(!isVisible());
    if (!fromUser)
        return;
    // Whether the inspector is open is part of the list.
    _document.data()->set(key::inspectorVisible, Value::boolean(isVisible()));
    _document.updateChangeCount(TardigoDocument::ChangeDone);
}

void NotesDock::activateSelectedTool() {
    raise();
    _editor->setFocus();
}

void NotesDock::showToolWithId(int) {
    if (!isVisible())
        toggleInspector(false);
    activateSelectedTool();
}

void NotesDock::showNotes(bool enabled, const std::optional<QByteArray>& notes) {
    _editor->setEnabled(enabled);
    if (_editor->document()->isModified() && _editor->hasFocus())
        return; // the user is typing; the refresh must not take the text away
    if (notes == _shown && !_editor->document()->isModified())
        return;
    _shown = notes;
    const std::optional<RichText> text = notes ? decodeNotes(*notes) : std::nullopt;
    if (text) {
        // A child of the editor, which deletes it when the next one comes.
        std::unique_ptr<QTextDocument> shown = toTextDocument(*text);
        shown->setParent(_editor);
        _editor->setDocument(shown.release());
    } else {
        _editor->clear();
    }
    _editor->document()->setModified(false);
}

void NotesDock::commitIfEdited() {
    if (!_editor->document()->isModified())
        return;
    _editor->document()->setModified(false);
    const QTextDocument& text = *_editor->document();
    const QByteArray rtfd = text.isEmpty() ? QByteArray() : encodeNotes(fromTextDocument(text));
    _shown = rtfd.isEmpty() ? std::nullopt : std::optional<QByteArray>(rtfd);
    _document.cellEdits().notesDidEndEditing(rtfd);
}

bool NotesDock::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _editor && event->type() == QEvent::FocusOut)
        commitIfEdited();
    return QDockWidget::eventFilter(watched, event);
}

} // namespace tardigo
