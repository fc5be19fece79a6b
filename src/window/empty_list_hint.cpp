#include "window/empty_list_hint.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QPainter>
#include <QWidget>

namespace tardigo {

namespace {

constexpr int kWidthInCharacters = 60;

} // namespace

QString emptyListHint(const ItemCounts& counts, const QString& search, const QKeySequence& newItem,
                      const QKeySequence& showCompleted) {
    if (counts.total > 0 && !search.trimmed().isEmpty())
        return QCoreApplication::translate(
                   "EmptyListHint", "No item matches “%1”.\nPress Escape in the search field to clear it.")
            .arg(search.trimmed());
    if (counts.total > 0)
        return QCoreApplication::translate(
                   "EmptyListHint",
                   "Every item of this list is completed and hidden.\nPress %1 or click Hide Completed to "
                   "show them again.")
            .arg(showCompleted.toString(QKeySequence::NativeText));
    return QCoreApplication::translate(
               "EmptyListHint", "This list has no items yet.\nPress %1 or click New to add the first one.")
        .arg(newItem.toString(QKeySequence::NativeText));
}

void paintEmptyListHint(QPainter& painter, const QWidget& widget, const QString& hint) {
    const QFontMetrics metrics = widget.fontMetrics();
    const int width =
        std::min(widget.width() - 2 * metrics.height(), metrics.averageCharWidth() * kWidthInCharacters);
    QRect area(0, 0, std::max(width, 1), widget.height());
    area.moveCenter(widget.rect().center());
    QColor ink = widget.palette().color(QPalette::Text);
    ink.setAlphaF(0.55f);
    painter.save();
    painter.setPen(ink);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, hint);
    painter.restore();
}

} // namespace tardigo
