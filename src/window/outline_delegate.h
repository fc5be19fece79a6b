#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

#include <functional>

namespace tardigo {

struct Dict;
class ItemSearch;
class OutlineTreeView;

/// Draws and edits the outline's cells. Cells are text in the item's font (the name in its colour);
/// the completion is a slim bar that becomes a slider under the pointer and while it is dragged;
/// editors appear only while editing: a combo box for the category, a date field for the due date.
/// The sorted column is tinted.
class OutlineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    /// `categoryNames` gives the category editor's choices when it opens.
    OutlineDelegate(OutlineTreeView& view, std::function<QStringList()> categoryNames);

    /// Frames the category and due cells as fields on the row under the pointer.
    void setBorderedFields(bool bordered) { _borderedFields = bordered; }
    /// Marks the words of the search an item matched in its name and category.
    void setSearchMatching(std::function<const ItemSearch*(const Dict&)> matching) {
        _searchMatching = std::move(matching);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    /// The item's own colour, made readable over a dark base.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    /// Return and Tab end a due-date edit only when the document takes the date typed.
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void paintBackground(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const;
    void paintCompletion(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const;
    void paintFieldBorder(QPainter* painter, const QStyleOptionViewItem& option) const;
    void paintMatches(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    /// Whether the pointer is over the cell itself.
    bool isUnderPointer(const QStyleOptionViewItem& option) const;

    OutlineTreeView& _view;
    std::function<QStringList()> _categoryNames;
    bool _borderedFields = false;
    std::function<const ItemSearch*(const Dict&)> _searchMatching;
};

} // namespace tardigo
