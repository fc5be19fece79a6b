#include "stickies/gui/sticky_window.h"

#include "appearance/item_appearance.h"
#include "appearance/rich_text_document.h"
#include "outline/status_display.h"
#include "rich_text/notes_text.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>
#include <QSizeGrip>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace tardigo {

namespace {

constexpr QSize kDefaultSize(240, 200);
const QColor kPaper(0xff, 0xf1, 0x9c); // a note without a colour of its own

// The item's colour tints the paper, light enough to read dark text on, and colours the title.
QColor paperOf(const std::optional<Rgba>& color) {
    if (!color)
        return kPaper;
    const QColor own = QColor::fromRgbF(color->r, color->g, color->b);
    return QColor::fromRgbF(0.75f + 0.25f * own.redF(), 0.75f + 0.25f * own.greenF(),
                            0.75f + 0.25f * own.blueF());
}

QToolButton* titleButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAccessibleName(name);
    button->setToolTip(name);
    button->setAutoRaise(true);
    return button;
}

} // namespace

StickyWindow::StickyWindow(const StickyNote& note)
    : QWidget(nullptr, Qt::Window | Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      _note(note), _titleBar(new QWidget(this)), _title(new QLabel(_titleBar)), _text(new QTextEdit(this)) {
    setObjectName(QStringLiteral("stickyNote"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAutoFillBackground(true);

    _title->setObjectName(QStringLiteral("stickyTitle"));
    _title->setTextFormat(Qt::PlainText);
    // The desktop's order: the window's own button, which hides it, stands at the end.
    QToolButton* remove = titleButton(tr("Delete"), tr("Delete the note…"), _titleBar);
    remove->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    remove->setAccessibleName(tr("Delete the note"));
    remove->setObjectName(QStringLiteral("stickyDelete"));
    QToolButton* close =
        titleButton(QStringLiteral("\u00D7"),
                    tr("Hide the note (%1); Item > Show Stickies brings it back")
                        .arg(QKeySequence(QKeySequence::Close).toString(QKeySequence::NativeText)),
                    _titleBar);
    close->setAccessibleName(tr("Hide the note"));
    close->setObjectName(QStringLiteral("stickyClose"));
    auto* bar = new QHBoxLayout(_titleBar);
    bar->setContentsMargins(6, 2, 2, 2);
    bar->addWidget(_title, 1);
    bar->addWidget(remove);
    bar->addWidget(close);
    _titleBar->installEventFilter(this);
    _title->installEventFilter(this);
    _titleBar->setCursor(Qt::SizeAllCursor);

    _text->setObjectName(QStringLiteral("stickyText"));
    _text->setAccessibleName(tr("Text of the note"));
    _text->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(_titleBar);
    layout->addWidget(_text, 1);
    layout->addWidget(new QSizeGrip(this), 0, Qt::AlignBottom | Qt::AlignRight);

    connect(close, &QToolButton::clicked, this, &StickyWindow::closeRequested);
    connect(remove, &QToolButton::clicked, this, &StickyWindow::deleteRequested);
    connect(_text, &QTextEdit::textChanged, this, [this] {
        if (!_text->isReadOnly())
            emit changed();
    });
    auto* closeKey = new QShortcut(QKeySequence::Close, this);
    connect(closeKey, &QShortcut::activated, this, &StickyWindow::closeRequested);

    showContent();
    if (note.frame)
        setGeometry(*note.frame);
    else
        resize(kDefaultSize);
}

void StickyWindow::setNote(const StickyNote& note) {
    const std::optional<QRect> frame = _note.frame;
    _note = note;
    _note.frame = frame;
    showContent();
}

void StickyWindow::showContent() {
    setWindowTitle(_note.title);
    setAccessibleName(tr("Sticky note %1").arg(_note.title));
    QPalette paper = palette();
    paper.setColor(QPalette::Window, paperOf(_note.color));
    paper.setColor(QPalette::Base, paperOf(_note.color));
    paper.setColor(QPalette::Text, Qt::black);
    paper.setColor(QPalette::WindowText, Qt::black);
    setPalette(paper);

    // The item's name and notes in the item's font, the name in its colour.
    const QFont font = qFontForItemFont(
        ItemFont{_note.fontName.isEmpty() ? std::nullopt : std::optional(_note.fontName), _note.fontSize});
    QFont bold = font;
    bold.setBold(true);
    _title->setFont(bold);
    _title->setText(_note.title);
    QPalette titleColor = paper;
    if (_note.color)
        titleColor.setColor(QPalette::WindowText,
                            QColor::fromRgbF(_note.color->r, _note.color->g, _note.color->b));
    _title->setPalette(titleColor);

    const QSignalBlocker quiet(_text);
    const std::optional<RichText> notes = _note.notes.isEmpty() ? std::nullopt : decodeNotes(_note.notes);
    // The editor deletes the document it made itself; those made here go after they are replaced.
    QTextDocument* previous = _text->document();
    const bool madeHere = previous->parent() == _text;
    if (notes) {
        std::unique_ptr<QTextDocument> shown = toTextDocument(*notes);
        shown->setParent(_text);
        _text->setDocument(shown.release());
    } else {
        _text->setDocument(new QTextDocument(_text));
        _text->setPlainText(_note.text);
    }
    _text->document()->setDefaultFont(font);
    if (madeHere)
        previous->deleteLater();
    // A note that shows an item follows the item; only a note of its own takes typing.
    _text->setReadOnly(_note.showsItem());
}

void StickyWindow::setAboveOthers(bool above) {
    // Given to the window itself, which the desktop follows at once; the widget's own flags would
    // hide the note and show it again.
    if (QWindow* window = windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, above);
    else
        setWindowFlag(Qt::WindowStaysOnTopHint, above);
}

StickyNote StickyWindow::note() const {
    StickyNote now = _note;
    if (!_note.showsItem())
        now.text = _text->toPlainText();
    // Wayland tells a window nothing of its place: the place kept stays.
    const bool placeKnown = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    now.frame = QRect(placeKnown || !_note.frame ? geometry().topLeft() : _note.frame->topLeft(), size());
    return now;
}

void StickyWindow::closeEvent(QCloseEvent* event) {
    // Closed by the desktop (its close key), the note is hidden, as by its own button. Closed by the
    // application as it quits, it stays open, to come back at the next start.
    event->accept();
    if (event->spontaneous())
        emit closeRequested();
}

bool StickyWindow::eventFilter(QObject* watched, QEvent* event) {
    // The title bar moves the note: by the desktop where it can, else by following the mouse.
    if (event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton) {
            _dragOffset = press->globalPosition().toPoint() - frameGeometry().topLeft();
            if (windowHandle() && windowHandle()->startSystemMove())
                _dragOffset = QPoint(-1, -1);
            return true;
        }
    } else if (event->type() == QEvent::MouseMove && _dragOffset != QPoint(-1, -1)) {
        auto* move = static_cast<QMouseEvent*>(event);
        if (move->buttons() & Qt::LeftButton) {
            this->move(move->globalPosition().toPoint() - _dragOffset);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StickyWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    emit changed();
}

void StickyWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit changed();
}

} // namespace tardigo
