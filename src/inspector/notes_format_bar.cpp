#include "inspector/notes_format_bar.h"

#include "appearance/rich_text_document.h"
#include "widgets/qt_part_names.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>
#include <QUrl>
#include <QUuid>

#include <vector>

namespace tardigo {

namespace {

// Pictures pasted wider than this are shown at this width; the picture itself is kept whole.
constexpr int kWidestPastedPicture = 600;
// A link's colour as stored: blue on the white of a light palette, of printed notes and of sticky
// notes.
const QColor kLinkColor(0x00, 0x00, 0xee);

bool isNumbered(QTextListFormat::Style style) {
    return style != QTextListFormat::ListDisc && style != QTextListFormat::ListCircle &&
           style != QTextListFormat::ListSquare;
}

// Bullets change shape with each level, as the platform's own lists do; numbers stay numbers.
QTextListFormat::Style styleForLevel(QTextListFormat::Style style, int indent) {
    if (isNumbered(style))
        return style;
    constexpr QTextListFormat::Style kBullets[] = {QTextListFormat::ListDisc, QTextListFormat::ListCircle,
                                                   QTextListFormat::ListSquare};
    return kBullets[(std::max(indent, 1) - 1) % 3];
}

// A typed address: a mail address gets its scheme, anything else is read as the browser reads it.
QString linkTarget(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.contains(u'@') && !text.contains(u':') && !text.contains(u'/'))
        return QStringLiteral("mailto:") + text;
    return QUrl::fromUserInput(text).toString();
}

// Selects the address-like word at the cursor: the run of characters between spaces, so that
// "example.org" or "anna@example.org" is linked whole, without the punctuation of the sentence
// around it.
void selectWordForLink(QTextCursor& cursor) {
    const QString text = cursor.block().text();
    const int at = cursor.positionInBlock();
    int start = at, end = at;
    while (start > 0 && !text.at(start - 1).isSpace())
        --start;
    while (end < text.size() && !text.at(end).isSpace())
        ++end;
    static const QString kOpening = QStringLiteral("([{<\"'“‘«„");
    static const QString kClosing = QStringLiteral(".,;:!?)]}>\"'”’»");
    while (start < end && kOpening.contains(text.at(start)))
        ++start;
    while (end > start && kClosing.contains(text.at(end - 1)))
        --end;
    cursor.setPosition(cursor.block().position() + start);
    cursor.setPosition(cursor.block().position() + end, QTextCursor::KeepAnchor);
}

// The blocks the cursor's selection touches, or its own block.
std::vector<QTextBlock> selectedBlocks(const QTextCursor& cursor) {
    std::vector<QTextBlock> blocks;
    const QTextDocument* document = cursor.document();
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    for (QTextBlock block = document->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        blocks.push_back(block);
        if (block == last)
            break;
    }
    return blocks;
}

void leaveList(const QTextBlock& block) {
    if (QTextList* list = block.textList())
        list->remove(block);
    QTextBlockFormat format = block.blockFormat();
    format.setIndent(0);
    QTextCursor(block).setBlockFormat(format);
}

} // namespace

NotesFormatBar::NotesFormatBar(QTextEdit& editor, QWidget* parent)
    : QToolBar(parent), _editor(editor),
      _bold(addCommand("notesBold", tr("B"), tr("Bold"), QKeySequence::Bold, {})),
      _italic(addCommand("notesItalic", tr("I"), tr("Italic"), QKeySequence::Italic, {})),
      _underline(addCommand("notesUnderline", tr("U"), tr("Underline"), QKeySequence::Underline, {})),
      _strike(addCommand("notesStrikethrough", tr("S"), tr("Strikethrough"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X))),
      _bulletList(addCommand("notesBulletList", QStringLiteral("\u2022"), tr("Bulleted List"),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_8),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_8))),
      _numberedList(addCommand("notesNumberedList", QStringLiteral("1."), tr("Numbered List"),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_7),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_7))),
      _link(addCommand("notesLink", tr("Link"), tr("Link…"), QKeySequence(Qt::CTRL | Qt::Key_K),
                       QKeySequence(Qt::CTRL | Qt::Key_K))),
      _color(addCommand("notesTextColor", tr("A"), tr("Text Colour…"),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C))),
      _clear(addCommand("notesClearFormatting", tr("Clear"), tr("Clear Formatting"),
                        QKeySequence(Qt::CTRL | Qt::Key_Backslash),
                        QKeySequence(Qt::CTRL | Qt::Key_Backslash))) {
    setObjectName(QStringLiteral("notesFormatBar"));
    setAccessibleName(tr("Formatting of the notes"));
    nameOverflowButton(*this);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setIconSize(QSize(16, 16));
    for (QAction* toggle : {_bold, _italic, _underline, _strike, _bulletList, _numberedList, _link})
        toggle->setCheckable(true);
    // Each letter shows what it does.
    const auto styleButton = [this](QAction* action, const std::function<void(QFont&)>& style) {
        QWidget* button = widgetForAction(action);
        QFont font = button->font();
        style(font);
        button->setFont(font);
    };
    styleButton(_bold, [](QFont& font) { font.setBold(true); });
    styleButton(_italic, [](QFont& font) { font.setItalic(true); });
    styleButton(_underline, [](QFont& font) { font.setUnderline(true); });
    styleButton(_strike, [](QFont& font) { font.setStrikeOut(true); });

    askForLink = [this](const QString& current) -> std::optional<QString> {
        bool ok = false;
        const QString typed = QInputDialog::getText(&_editor, tr("Link"),
                                                    tr("The address the text leads to (leave it empty to "
                                                       "remove the link):"),
                                                    QLineEdit::Normal, current, &ok);
        return ok ? std::optional(typed) : std::nullopt;
    };
    askForColor = [this](const QColor& current) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(current, &_editor, tr("Text Colour"));
        return chosen.isValid() ? std::optional(chosen) : std::nullopt;
    };

    connect(_bold, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontWeight(on ? QFont::Bold : QFont::Normal);
        mergeFormat(format);
    });
    connect(_italic, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontItalic(on);
        mergeFormat(format);
    });
    connect(_underline, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontUnderline(on);
        mergeFormat(format);
    });
    connect(_strike, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontStrikeOut(on);
        mergeFormat(format);
    });
    connect(_bulletList, &QAction::triggered, this, [this] { toggleList(QTextListFormat::ListDisc); });
    connect(_numberedList, &QAction::triggered, this, [this] { toggleList(QTextListFormat::ListDecimal); });
    connect(_link, &QAction::triggered, this, &NotesFormatBar::editLink);
    connect(_color, &QAction::triggered, this, &NotesFormatBar::chooseColor);
    connect(_clear, &QAction::triggered, this, &NotesFormatBar::clearFormatting);
    connect(&_editor, &QTextEdit::currentCharFormatChanged, this, &NotesFormatBar::showFormat);
    connect(&_editor, &QTextEdit::cursorPositionChanged, this, &NotesFormatBar::showFormat);
    _editor.installEventFilter(this);
    followEditor();
    showFormat();
}

QAction* NotesFormatBar::addCommand(const char* objectName, const QString& text, const QString& name,
                                    const QKeySequence& shortcut, const QKeySequence& editorShortcut) {
    auto* action = addAction(text);
    action->setObjectName(QLatin1String(objectName));
    action->setToolTip(QStringLiteral("%1 (%2)").arg(name, shortcut.toString(QKeySequence::NativeText)));
    // Bold, italic and underline are the editor's own keys; the others are the bar's, while the
    // editor has the focus.
    if (!editorShortcut.isEmpty()) {
        action->setShortcut(editorShortcut);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        _editor.addAction(action);
    }
    QWidget* button = widgetForAction(action);
    button->setObjectName(QLatin1String(objectName));
    button->setAccessibleName(QString(name).remove(u'…'));
    button->setFocusPolicy(Qt::TabFocus);
    return action;
}

void NotesFormatBar::mergeFormat(const QTextCharFormat& format) {
    QTextCursor cursor = _editor.textCursor();
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::WordUnderCursor);
    cursor.mergeCharFormat(format);
    _editor.mergeCurrentCharFormat(format);
    _editor.setFocus();
}

void NotesFormatBar::toggleList(QTextListFormat::Style style) {
    QTextCursor cursor = _editor.textCursor();
    QTextList* list = cursor.currentList();
    cursor.beginEditBlock();
    if (list && isNumbered(list->format().style()) == isNumbered(style)) {
        for (const QTextBlock& block : selectedBlocks(cursor))
            leaveList(block);
    } else if (list) {
        QTextListFormat format = list->format();
        format.setStyle(styleForLevel(style, format.indent()));
        list->setFormat(format);
    } else {
        QTextListFormat format;
        format.setStyle(style);
        format.setIndent(1);
        cursor.createList(format);
    }
    cursor.endEditBlock();
    showFormat();
    _editor.setFocus();
}

bool NotesFormatBar::changeListLevel(int levels) {
    QTextCursor cursor = _editor.textCursor();
    if (!cursor.currentList())
        return false;
    cursor.beginEditBlock();
    for (const QTextBlock& block : selectedBlocks(cursor)) {
        const QTextList* list = block.textList();
        if (!list)
            continue;
        const int indent = list->format().indent() + levels;
        if (indent < 1) {
            leaveList(block);
            continue;
        }
        // The item joins the list of that level just above it, so that its numbers go on; else it
        // starts one.
        QTextList* joined = nullptr;
        for (QTextBlock above = block.previous(); above.isValid() && above.textList();
             above = above.previous()) {
            const int aboveIndent = above.textList()->format().indent();
            if (aboveIndent == indent)
                joined = above.textList();
            if (aboveIndent <= indent)
                break;
        }
        if (joined) {
            joined->add(block);
            continue;
        }
        QTextListFormat format = list->format();
        format.setIndent(indent);
        format.setStyle(styleForLevel(format.style(), indent));
        QTextCursor(block).createList(format);
    }
    cursor.endEditBlock();
    return true;
}

void NotesFormatBar::editLink() {
    QTextCursor cursor = _editor.textCursor();
    const QTextCharFormat current = cursor.charFormat();
    if (!cursor.hasSelection() && current.isAnchor()) {
        // The whole link at the cursor.
        const QTextBlock block = cursor.block();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.contains(cursor.position() - 1) &&
                fragment.charFormat().anchorHref() == current.anchorHref()) {
                cursor.setPosition(fragment.position());
                cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
                break;
            }
        }
    }
    if (!cursor.hasSelection())
        selectWordForLink(cursor);
    const std::optional<QString> typed = askForLink(current.isAnchor() ? current.anchorHref() : QString());
    if (!typed) {
        _editor.setFocus();
        return;
    }
    QTextCharFormat format;
    if (typed->trimmed().isEmpty()) {
        format.setAnchor(false);
        format.setAnchorHref(QString());
        format.setFontUnderline(false);
        format.setForeground(QBrush());
    } else {
        format.setAnchor(true);
        format.setAnchorHref(linkTarget(*typed));
        format.setFontUnderline(true);
        // Stored in one colour whatever the palette, and shown readable on this one.
        format.merge(readableColorFormat(kLinkColor, _editor.palette().color(QPalette::Base)));
    }
    if (cursor.hasSelection()) {
        cursor.mergeCharFormat(format);
    } else if (format.isAnchor()) {
        // Nothing to link: the address itself becomes the linked text.
        cursor.insertText(format.anchorHref(), format);
    }
    _editor.setFocus();
}

void NotesFormatBar::chooseColor() {
    const QBrush current = _editor.currentCharFormat().foreground();
    const std::optional<QColor> chosen =
        askForColor(current.style() == Qt::NoBrush ? palette().color(QPalette::Text) : current.color());
    if (!chosen) {
        _editor.setFocus();
        return;
    }
    QTextCharFormat format;
    format.setForeground(*chosen);
    mergeFormat(format);
}

void NotesFormatBar::clearFormatting() {
    QTextCursor cursor = _editor.textCursor();
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::WordUnderCursor);
    if (!cursor.hasSelection()) {
        _editor.setCurrentCharFormat(QTextCharFormat());
        _editor.setFocus();
        return;
    }
    // Every character takes the notes' own font again; links and pictures stay what they are.
    struct Stretch {
        int start, end;
        QTextCharFormat format;
    };
    std::vector<Stretch> stretches;
    const int start = cursor.selectionStart(), end = cursor.selectionEnd();
    for (const QTextBlock& block : selectedBlocks(cursor)) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to || fragment.charFormat().isImageFormat())
                continue;
            QTextCharFormat plain;
            if (fragment.charFormat().isAnchor()) {
                plain.setAnchor(true);
                plain.setAnchorHref(fragment.charFormat().anchorHref());
            }
            stretches.push_back({from, to, plain});
        }
    }
    cursor.beginEditBlock();
    for (const Stretch& stretch : stretches) {
        QTextCursor part(_editor.document());
        part.setPosition(stretch.start);
        part.setPosition(stretch.end, QTextCursor::KeepAnchor);
        part.setCharFormat(stretch.format);
    }
    cursor.endEditBlock();
    _editor.setCurrentCharFormat(QTextCharFormat());
    _editor.setFocus();
}

bool NotesFormatBar::pastePicture() {
    const QMimeData* pasted = QApplication::clipboard()->mimeData();
    if (!pasted || !pasted->hasImage())
        return false;
    const QImage picture = qvariant_cast<QImage>(pasted->imageData());
    if (picture.isNull())
        return false;
    const QString name =
        QStringLiteral("Pasted Graphic %1.png").arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
    _editor.document()->addResource(QTextDocument::ImageResource, QUrl(name), picture);
    QTextImageFormat format;
    format.setName(name);
    if (picture.width() > kWidestPastedPicture) {
        format.setWidth(kWidestPastedPicture);
        format.setHeight(double(picture.height()) * kWidestPastedPicture / picture.width());
    }
    _editor.textCursor().insertImage(format);
    return true;
}

bool NotesFormatBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &_editor) {
        if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ReadOnlyChange) {
            followEditor();
        } else if (event->type() == QEvent::KeyPress && !_editor.isReadOnly()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier && changeListLevel(1))
                return true;
            if (key->key() == Qt::Key_Backtab && changeListLevel(-1))
                return true;
            if (key->matches(QKeySequence::Paste) && pastePicture())
                return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}

void NotesFormatBar::followEditor() {
    setEnabled(_editor.isEnabled() && !_editor.isReadOnly());
}

void NotesFormatBar::showFormat() {
    const QTextCharFormat format = _editor.currentCharFormat();
    _bold->setChecked(format.fontWeight() >= QFont::DemiBold);
    _italic->setChecked(format.fontItalic());
    _underline->setChecked(format.fontUnderline() && !format.isAnchor());
    _strike->setChecked(format.fontStrikeOut());
    _link->setChecked(format.isAnchor());
    const QTextList* list = _editor.textCursor().currentList();
    _bulletList->setChecked(list && !isNumbered(list->format().style()));
    _numberedList->setChecked(list && isNumbered(list->format().style()));
    // The colour's letter is drawn in the colour of the text at the cursor.
    QWidget* colorButton = widgetForAction(_color);
    QPalette colored = palette();
    if (format.foreground().style() != Qt::NoBrush)
        colored.setColor(QPalette::ButtonText, format.foreground().color());
    colorButton->setPalette(colored);
}

} // namespace tardigo
