#include "app/sticky_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSizeGrip>
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
      _note(note), _titleBar(new QWidget(this)), _text(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("stickyNote"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(note.title);
    setAccessibleName(tr("Sticky note %1").arg(note.title));
    QPalette paper = palette();
    paper.setColor(QPalette::Window, paperOf(note.color));
    paper.setColor(QPalette::Base, paperOf(note.color));
    paper.setColor(QPalette::Text, Qt::black);
    paper.setColor(QPalette::WindowText, Qt::black);
    setPalette(paper);
    setAutoFillBackground(true);

    auto* title = new QLabel(note.title, _titleBar);
    title->setObjectName(QStringLiteral("stickyTitle"));
    title->setTextFormat(Qt::PlainText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    if (note.color) {
        QPalette colored = title->palette();
        colored.setColor(QPalette::WindowText, QColor::fromRgbF(note.color->r, note.color->g, note.color->b));
        title->setPalette(colored);
    }
    QToolButton* close = titleButton(QStringLiteral("–"), tr("Close the note"), _titleBar);
    close->setObjectName(QStringLiteral("stickyClose"));
    QToolButton* remove = titleButton(QStringLiteral("×"), tr("Delete the note"), _titleBar);
    remove->setObjectName(QStringLiteral("stickyDelete"));
    auto* bar = new QHBoxLayout(_titleBar);
    bar->setContentsMargins(6, 2, 2, 2);
    bar->addWidget(title, 1);
    bar->addWidget(close);
    bar->addWidget(remove);
    _titleBar->installEventFilter(this);
    title->installEventFilter(this);
    _titleBar->setCursor(Qt::SizeAllCursor);

    _text->setObjectName(QStringLiteral("stickyText"));
    _text->setAccessibleName(tr("Text of the note"));
    _text->setPlainText(note.text);
    _text->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(_titleBar);
    layout->addWidget(_text, 1);
    layout->addWidget(new QSizeGrip(this), 0, Qt::AlignBottom | Qt::AlignRight);

    connect(close, &QToolButton::clicked, this, &StickyWindow::closeRequested);
    connect(remove, &QToolButton::clicked, this, &StickyWindow::deleteRequested);
    connect(_text, &QPlainTextEdit::textChanged, this, &StickyWindow::changed);
    auto* closeKey = new QShortcut(QKeySequence::Close, this);
    connect(closeKey, &QShortcut::activated, this, &StickyWindow::closeRequested);

    if (note.frame)
        setGeometry(*note.frame);
    else
        resize(kDefaultSize);
}

StickyNote StickyWindow::note() const {
    StickyNote now = _note;
    now.text = _text->toPlainText();
    // Wayland tells a window nothing of its place: the place kept stays.
    const bool placeKnown = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    now.frame = QRect(placeKnown || !_note.frame ? geometry().topLeft() : _note.frame->topLeft(), size());
    return now;
}

void StickyWindow::closeEvent(QCloseEvent* event) {
    // Closed by the desktop (its close key): kept, as the note's own close button does.
    event->accept();
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
