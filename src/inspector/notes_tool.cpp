#include "inspector/notes_tool.h"

#include "appearance/item_appearance.h"
#include "appearance/rich_text_document.h"
#include "document/tardigo_document.h"
#include "inspector/notes_format_bar.h"
#include "inspector/notes_format_keys.h"
#include "outline/status_display.h"
#include "rich_text/notes_text.h"

#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QVBoxLayout>

#include <utility>

namespace tardigo {

NotesTool::NotesTool(TardigoDocument& document, QWidget* parent)
    : ToolPage(parent), _document(document),
      _editor(named(new QTextEdit(this), "notesTextView", tr("Notes"))),
      _loadingLabel(named(new QLabel(this), "notesLoading", tr("Reading the notes"))) {
    _editor->setAcceptRichText(true);
    _editor->setPlaceholderText(tr("No notes"));
    _editor->installEventFilter(this);
    new NotesFormatKeys(*_editor);
    _loadingLabel->setWordWrap(true);
    _loadingLabel->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(_loadingLabel);
    layout->addWidget(new NotesFormatBar(*_editor, this));
    layout->addWidget(_editor, 1);
}

NotesTool::~NotesTool() {
    // A reading still under way holds no reference to this tool, but its thread must end first.
    for (QThread* loader : findChildren<QThread*>())
        loader->wait();
}

QWidget* NotesTool::focusControl() {
    return _editor;
}

void NotesTool::render(const StatusDisplay& display) {
    _toolsEnabled = display.toolsEnabled;
    const NodePtr item = display.item ? display.item->shown.lock() : nullptr;
    // Text typed for another item, or that can no longer be typed into, goes to its item before the
    // editor shows anything else.
    const bool stillTyping = item == _item.lock() && _toolsEnabled && _editor->hasFocus();
    if (!stillTyping)
        finishEditing();
    _editor->document()->setDefaultFont(qFontForItemFont(display.selectionFont));
    show(item, display.item ? display.item->notes : std::nullopt);
    enableEditor();
}

void NotesTool::enableEditor() {
    _editor->setEnabled(_toolsEnabled && !_loading);
}

void NotesTool::show(const NodePtr& item, const std::optional<QByteArray>& notes) {
    if (_editor->document()->isModified())
        return; // the user is typing; the refresh must not take the text away
    if (item == _item.lock() && notes == _shown)
        return;
    _item = item;
    _shown = notes;
    ++_lastLoad; // a reading under way is of other notes now
    _loading = false;
    _loadingLabel->hide();
    if (notes && notes->size() > kLargestNotesReadAtOnce) {
        loadAside(*notes);
        return;
    }
    const std::optional<RichText> text = notes ? decodeNotes(*notes) : std::nullopt;
    showDocument(text ? toTextDocument(*text) : nullptr);
}

void NotesTool::loadAside(const QByteArray& notes) {
    _loading = true;
    _editor->clear();
    _editor->document()->setModified(false);
    _loadingLabel->setText(tr("Reading the notes (%1)…").arg(QLocale().formattedDataSize(notes.size())));
    _loadingLabel->show();
    // The text document is made on the reading thread and handed to this one when it is done.
    auto read = std::make_shared<std::unique_ptr<QTextDocument>>();
    QThread* interfaceThread = thread();
    QThread* loader = QThread::create([notes, read, interfaceThread] {
        if (const std::optional<RichText> text = decodeNotes(notes)) {
            *read = toTextDocument(*text);
            (*read)->moveToThread(interfaceThread);
        }
    });
    loader->setParent(this);
    connect(loader, &QThread::finished, this, [this, loader, read, load = _lastLoad] {
        loader->deleteLater();
        if (load != _lastLoad)
            return;
        _loading = false;
        _loadingLabel->hide();
        showDocument(std::move(*read));
        enableEditor();
    });
    loader->start(QThread::LowPriority);
}

void NotesTool::showDocument(std::unique_ptr<QTextDocument> shown) {
    if (shown) {
        // A child of the editor, which deletes it when the next one comes.
        shown->setDefaultFont(_editor->document()->defaultFont());
        showReadableOn(*shown, _editor->palette().color(QPalette::Base));
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
    const NodePtr item = _item.lock();
    if (!_document.syncingModel()) {
        _document.cellEdits().commitNotes(item, rtfd);
        return;
    }
    // Ended by a refresh, which must not change the model: stored as soon as it is over.
    _document.performLater(
        [document = &_document, item, rtfd] { document->cellEdits().commitNotes(item, rtfd); });
}

void NotesTool::showAgainReadable() {
    if (!_shown || _editor->document()->isModified())
        return;
    const std::optional<QByteArray> notes = std::exchange(_shown, std::nullopt);
    show(_item.lock(), notes);
}

bool NotesTool::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _editor && event->type() == QEvent::FocusOut)
        finishEditing();
    if (watched == _editor && event->type() == QEvent::PaletteChange)
        showAgainReadable();
    return ToolPage::eventFilter(watched, event);
}

} // namespace tardigo
