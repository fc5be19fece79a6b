#include "window/outline_delegate.h"

#include "appearance/item_appearance.h"
#include "appearance/readable_color.h"
#include "outline/outline_columns.h"
#include "outline/outline_item_model.h"
#include "search/item_search.h"
#include "window/completion_slider.h"
#include "window/due_date_editor.h"
#include "window/outline_tree_view.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace tardigo {

namespace {

constexpr int kRowPadding = 4;
// Translucent, so that the text stays readable over it in either palette.
const QColor kMatchMark(255, 196, 0, 110);

std::optional<Column> columnOf(const QModelIndex& index) {
    return columnFromIndex(index.column());
}

QAbstractItemDelegate::EndEditHint hintForKey(int key) {
    if (key == Qt::Key_Tab)
        return QAbstractItemDelegate::EditNextItem;
    if (key == Qt::Key_Backtab)
        return QAbstractItemDelegate::EditPreviousItem;
    return QAbstractItemDelegate::SubmitModelCache;
}

} // namespace

OutlineDelegate::OutlineDelegate(OutlineTreeView& view, std::function<QStringList()> categoryNames)
    : QStyledItemDelegate(&view), _view(view), _categoryNames(std::move(categoryNames)) {
    // The completion slider and the field borders follow the pointer.
    view.viewport()->setAttribute(Qt::WA_Hover);
}

void OutlineDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(Qt::ForegroundRole).isValid())
        option->palette.setColor(QPalette::Text, readableOn(option->palette.color(QPalette::Text),
                                                            option->palette.color(QPalette::Base)));
}

void OutlineDelegate::paintBackground(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, widget);
}

bool OutlineDelegate::isUnderPointer(const QStyleOptionViewItem& option) const {
    return (option.state & QStyle::State_MouseOver) &&
           option.rect.contains(_view.viewport()->mapFromGlobal(QCursor::pos()));
}

void OutlineDelegate::paintCompletion(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    paintBackground(painter, option, index);
    const std::optional<double> tracked = _view.trackedCompletion(index);
    const double fraction = tracked ? *tracked : index.data(OutlineItemModel::CompletionRole).toDouble();
    if (tracked || isUnderPointer(option)) {
        CompletionSlider::paint(painter, option.rect, fraction, _view.usesRegularControls(), option.widget);
        return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index); // the item's font
    CompletionSlider::paintBar(painter, cell, fraction);
}

void OutlineDelegate::paintFieldBorder(QPainter* painter, const QStyleOptionViewItem& option) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QColor border = option.palette.color(QPalette::Mid);
    border.setAlpha(110);
    painter->setPen(QPen(border, 1.0));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(option.rect).adjusted(1.5, 1.5, -1.5, -1.5), 3.0, 3.0);
    painter->restore();
}

void OutlineDelegate::paintMatches(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    if (!_searchMatching)
        return;
    const NodePtr item = _view.outlineModel().itemForIndex(index);
    const ItemSearch* search = item ? _searchMatching(*item) : nullptr;
    if (!search)
        return;
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QList<std::pair<qsizetype, qsizetype>> found = search->occurrencesIn(cell.text);
    if (found.isEmpty())
        return;
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
    // The style draws an item's text this far inside its rectangle.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QFontMetrics metrics(cell.font);
    painter->save();
    painter->setClipRect(textRect);
    for (const auto& [start, length] : found) {
        const int left = textRect.left() + margin + metrics.horizontalAdvance(cell.text.left(start));
        const int width = metrics.horizontalAdvance(cell.text.mid(start, length));
        painter->fillRect(QRect(left, textRect.top() + 1, width, textRect.height() - 2), kMatchMark);
    }
    painter->restore();
}

void OutlineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const std::optional<Column> column = columnOf(index);
    if (column == Column::Name) {
        // Every row is as tall as the tallest item font drawn so far.
        const QFont font = index.data(Qt::FontRole).value<QFont>();
        _view.raiseRowHeight(QFontMetrics(font).height() + kRowPadding);
    }
    const bool sortedColumn =
        column && column == _view.highlightedColumn() && !(option.state & QStyle::State_Selected);
    if (sortedColumn)
        painter->fillRect(option.rect, sortedColumnTint(option.palette));
    if (column == Column::Completion) {
        paintCompletion(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell = option;
    if (column == Column::Icon)
        cell.decorationAlignment = Qt::AlignCenter;
    QStyledItemDelegate::paint(painter, cell, index);
    if (column == Column::Name || column == Column::Category)
        paintMatches(painter, option, index);
    const bool field = column == Column::Category || column == Column::Due;
    if (field && _borderedFields && (option.state & QStyle::State_MouseOver))
        paintFieldBorder(painter, option);
}

QSize OutlineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(_view.outlineRowHeight(), 1));
    return size;
}

QWidget* OutlineDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    const std::optional<Column> column = columnOf(index);
    QWidget* editor = nullptr;
    if (column == Column::Category) {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("categoryEditor"));
        combo->setAccessibleName(tr("Category"));
        combo->setEditable(true);
        combo->lineEdit()->setAccessibleName(tr("Category"));
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(_categoryNames());
        // Choosing from the list is a complete edit. The box also says "activated" when the focus
        // leaves its field for the list as the list opens: the edit goes on then.
        connect(combo, &QComboBox::activated, this, [this, combo] {
            if (QApplication::activePopupWidget())
                return;
            emit const_cast<OutlineDelegate*>(this)->commitData(combo);
            emit const_cast<OutlineDelegate*>(this)->closeEditor(combo, QAbstractItemDelegate::NoHint);
        });
        editor = combo;
    } else if (column == Column::Due) {
        editor = new DueDateEditor(parent);
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setObjectName(QStringLiteral("nameEditor"));
        editor->setAccessibleName(tr("Name"));
    }
    editor->setFont(index.data(Qt::FontRole).value<QFont>());
    return editor;
}

void OutlineDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // The item's own category is the one the list shows chosen when it opens.
        const QString category = index.data(Qt::EditRole).toString();
        if (const int offered = combo->findText(category); offered >= 0)
            combo->setCurrentIndex(offered);
        else
            combo->setCurrentText(category);
        combo->lineEdit()->selectAll();
    } else if (auto* due = qobject_cast<DueDateEditor*>(editor)) {
        due->setDate(index.data(Qt::EditRole).toDateTime());
        due->selectAll();
    } else {
        QStyledItemDelegate::setEditorData(editor, index);
    }
}

void OutlineDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        model->setData(index, combo->currentText());
    else if (auto* due = qobject_cast<DueDateEditor*>(editor))
        due->setEntryAccepted(model->setData(index, due->entry()));
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}

bool OutlineDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* due = qobject_cast<DueDateEditor*>(object);
    if (!due || event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Tab && key != Qt::Key_Backtab)
        return QStyledItemDelegate::eventFilter(object, event);
    emit commitData(due);
    // A text that is no date keeps the editor open with the text; the status line says why.
    if (due->entryAccepted())
        emit closeEditor(due, hintForKey(key));
    return true;
}

void OutlineDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    // The combo box and the date field need their own height, centred on the row; the date field
    // shows the whole date, reaching over the next column when its own is narrower.
    const int height = std::max(option.rect.height(), editor->sizeHint().height());
    QRect rect = editor->geometry();
    rect.setTop(option.rect.center().y() - height / 2);
    rect.setHeight(height);
    if (const auto* due = qobject_cast<DueDateEditor*>(editor)) {
        rect.setWidth(std::max(rect.width(), due->neededWidth()));
        const int overhang = rect.right() - _view.viewport()->width() + 1;
        if (overhang > 0)
            rect.translate(-std::min(overhang, rect.left()), 0);
    }
    editor->setGeometry(rect);
}

} // namespace tardigo
