#include "dialogs/quick_add_reading.h"

#include "dates/due_date_format.h"
#include "quick_add/quick_add_text.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace tardigo {

namespace {
// More than a line of any screen shows: a megabyte of name is not measured to be cut.
constexpr qsizetype kLongestMeasured = 1000;
} // namespace

QuickAddReading::QuickAddReading(const QString& whenEmpty, QWidget* parent)
    : QLabel(parent), _whenEmpty(whenEmpty) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The window's width is the line's to set; the reading wraps and shortens within it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    showReading(QString());
}

void QuickAddReading::follow(QLineEdit& line) {
    line.setMaxLength(std::numeric_limits<int>::max());
    connect(&line, &QLineEdit::textChanged, this, &QuickAddReading::showReading);
    showReading(line.text());
}

void QuickAddReading::showMessage(const QString& message) {
    _showsMessage = true;
    setText(message);
    fitHeight();
}

void QuickAddReading::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    // What fits depends on the width.
    if (!_showsMessage)
        showItem();
    else
        fitHeight();
}

void QuickAddReading::showReading(const QString& line) {
    _showsMessage = false;
    _item = readQuickAddText(line);
    _empty = line.trimmed().isEmpty();
    showItem();
}

void QuickAddReading::showItem() {
    if (!_item) {
        setText(_empty ? _whenEmpty
                       : QCoreApplication::translate("QuickAddReading", "Give the item a name."));
    } else {
        const int room = std::max(1, contentsRect().width());
        const auto fit = [&](const QString& text) {
            return fontMetrics().elidedText(text.left(kLongestMeasured), Qt::ElideRight, room);
        };
        // The category and the due date each keep to one line: the reading wraps between its parts.
        const auto unbroken = [](QString text) { return text.replace(u' ', QChar::Nbsp); };
        QStringList parts{fit(_item->name)};
        if (!_item->category.isEmpty())
            parts << unbroken(
                fit(QCoreApplication::translate("QuickAddReading", "category %1").arg(_item->category)));
        parts << unbroken(
            _item->due
                ? QCoreApplication::translate("QuickAddReading", "due %1").arg(formatDueDate(*_item->due))
                : QCoreApplication::translate("QuickAddReading", "no due date"));
        setText(parts.join(QStringLiteral(" · ")));
    }
    fitHeight();
}

void QuickAddReading::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    fitHeight();
}

void QuickAddReading::fitHeight() {
    // Until it is shown, its width is none the window gives it.
    if (!isVisible())
        return;
    // A window does not follow the height its labels need for their width: it is told.
    const int height = heightForWidth(width());
    if (height > 0 && height != minimumHeight())
        setMinimumHeight(height);
}

} // namespace tardigo
