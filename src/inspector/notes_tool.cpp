#include "inspector/notes_tool.h"

#include "document/status_display.h"
#include "document/tardigo_document.h"
#include "platform/localized.h"
#include "rich_text/notes_text.h"
#include "window/item_appearance.h"
#include "window/rich_text_document.h"

#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tardigo {

NotesTool::NotesTool(TardigoDocument& document, QWidget* parent)
    : ToolPage(parent), _document(document),
      _editor(named(new QTextEdit(this), "notesTextView", localized(QStringLiteral("Notes")))),
      _tooLarge(named(new QLabel(this), "notesTooLarge", localized(QStringLiteral("Notes too large")))) {
    _editor->setAcceptRichText(true);
    _editor->setPlaceholderText(localized(QStringLiteral("No notes")));
    _editor->installEventFilter(this);
    _tooLarge->setWordWrap(true);
    _tooLarge->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(_tooLarge);
    layout->addWidget(_editor, 1);
}

QWidget* NotesTool::focusControl() {
    return _editor;
}

void NotesTool::render(const StatusDisplay& display) {
    const bool oneItem = display.item.has_value();
    const std::optional<QByteArray> notes = oneItem ? display.item->notes : std::nullopt;
    const bool tooLarge = notes && notes->size() > kLargestNotesShown;
    _editor->setEnabled(display.toolsEnabled && !tooLarge);
    _tooLarge->setVisible(tooLarge);
    if (tooLarge) {
        _tooLarge->setText(localized(QStringLiteral("These notes are too large to show here (%1). The notes "
                                                    "tool shows notes up to %2; they stay as they are."))
                               .arg(QLocale().formattedDataSize(notes->size()),
                                    QLocale().formattedDataSize(kLargestNotesShown)));
        show(std::nullopt);
        return;
    }
    _editor->document()->setDefaultFont(qFontForItemFont(display.selectionFont));
    show(notes);
}

void NotesTool::show(const std::optional<QByteArray>& notes) {
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

void NotesTool::finishEditing() {
    if (!_editor->document()->isModified())
        return;
    _editor->document()->setModified(false);
    const QTextDocument& text = *_editor->document();
    const QByteArray rtfd = text.isEmpty() ? QByteArray() : encodeNotes(fromTextDocument(text));
    _shown = rtfd.isEmpty() ? std::nullopt : std::optional<QByteArray>(rtfd);
    _document.cellEdits().notesDidEndEditing(rtfd);
}

bool NotesTool::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _editor && event->type() == QEvent::FocusOut)
        finishEditing();
    return ToolPage::eventFilter(watched, event);
}

} // namespace tardigo
