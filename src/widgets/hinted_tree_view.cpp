#include "widgets/hinted_tree_view.h"

#include <QPainter>

namespace tardigo {

namespace {

constexpr int kWidthInCharacters = 60;

/// The hint centred in the widget, in a quieter colour than the rows, wrapped to a comfortable width.
void paintHint(QPainter& painter, const QWidget& widget, const QString& hint) {
    const QFontMetrics metrics = widget.fontMetrics();
    const int width =
        std::min(widget.width() - 2 * metrics.height(), metrics.averageCharWidth() * kWidthInCharacters);
    QRect area(0, 0, std::max(width, 1), widget.height());
    area.moveCenter(widget.rect().center());
    QColor ink = widget.palette().color(QPalette::Text);
    ink.setAlphaF(0.55f);
    painter.setPen(ink);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, hint);
}

} // namespace

void HintedTreeView::setEmptyText(const QString& text) {
    if (text != _emptyText) {
        _emptyText = text;
        viewport()->update();
        describe();
    }
}

void HintedTreeView::setModel(QAbstractItemModel* model) {
    for (const QMetaObject::Connection& connection : std::as_const(_rowWatch))
        disconnect(connection);
    _rowWatch.clear();
    QTreeView::setModel(model);
    if (model)
        _rowWatch = {connect(model, &QAbstractItemModel::rowsInserted, this, &HintedTreeView::describe),
                     connect(model, &QAbstractItemModel::rowsRemoved, this, &HintedTreeView::describe),
                     connect(model, &QAbstractItemModel::modelReset, this, &HintedTreeView::describe),
                     connect(model, &QAbstractItemModel::layoutChanged, this, &HintedTreeView::describe)};
    describe();
}

bool HintedTreeView::showsNoRow() const {
    return model() && model()->rowCount(rootIndex()) == 0;
}

void HintedTreeView::describe() {
    if (const QString description = showsNoRow() ? _emptyText : QString();
        description != accessibleDescription())
        setAccessibleDescription(description);
}

void HintedTreeView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!_emptyText.isEmpty() && showsNoRow()) {
        QPainter painter(viewport());
        paintHint(painter, *viewport(), _emptyText);
    }
}

} // namespace tardigo
