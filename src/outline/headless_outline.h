#pragma once

#include "outline/outline_data_source.h"
#include "outline/outline_view.h"

#include <QHash>

#include <map>
#include <optional>

namespace tardigo {

/// An outline without widgets over a data source: the tests drive it as a user drives the window,
/// and documents opened without a window use it.
class HeadlessOutline : public OutlineView {
public:
    /// Starts with all six columns, nothing expanded and nothing selected.
    explicit HeadlessOutline(OutlineDataSource& dataSource);

    void reloadAll() override;
    void reloadItem(const NodePtr& item) override;
    void expandItem(const NodePtr& item, bool expandChildren) override;
    void collapseItem(const NodePtr& item, bool collapseChildren) override;
    bool isItemExpanded(const Dict* item) const override;
    int selectedRow() const override;
    std::vector<int> selectedRows() const override;
    NodePtr itemAtRow(int row) const override;
    int rowForItem(const Dict* item) const override;
    void selectRow(int row, bool extendSelection) override;
    void deselectAll() override;
    void scrollToRow(int row) override;
    void editColumn(const QString& identifier, int row, bool selectText) override;
    std::vector<NodePtr> ancestorsOfItem(const NodePtr& item) const override;
    QStringList columnIdentifiers() const override { return _columns; }
    void appendColumn(const QString& identifier) override;
    void removeColumn(const QString& identifier) override;
    void setHighlightedColumn(const QString& identifier) override { _highlightedColumn = identifier; }
    SortIndicator sortDirection(const QString& identifier) const override {
        return _sortDirections.value(identifier, SortIndicator::None);
    }
    void setSortDirection(const QString& identifier, SortIndicator direction) override {
        _sortDirections[identifier] = direction;
    }
    void showSortIndicator(const QString& identifier, SortIndicator indicator) override;

    /// The user clicks a row, with or without extending the selection.
    void clickRow(int row, bool extendSelection);

    int numberOfRows() const;
    QString highlightedColumn() const { return _highlightedColumn; }
    SortIndicator shownSortIndicator(const QString& identifier) const;
    /// The row last scrolled into view; -1 before any.
    int lastScrolledRow() const { return _lastScrolledRow; }
    /// How often the whole outline was reloaded, and the item whose row was redrawn last.
    NodePtr lastReloadedItem() const { return _lastReloadedItem.lock(); }

    /// The cell whose editor is open.
    struct EditedCell {
        NodePtr item;
        QString identifier;
        bool textSelected;
    };
    std::optional<EditedCell> editedCell() const { return _editedCell; }
    /// Ends the open editor as a user does by typing and pressing Return: the data source gets the value.
    void endEditing(const CellValue& typed);
    /// Closes the open editor without delivering anything.
    void abortEditing() { _editedCell.reset(); }

private:
    void ensureRows() const;
    void selectionChanged();
    void setExpanded(const NodePtr& item, bool expanded, bool withChildren);

    OutlineDataSource& _dataSource;
    QStringList _columns;
    QHash<QString, SortIndicator> _sortDirections;
    QHash<QString, SortIndicator> _indicators;
    QString _highlightedColumn;
    // Expanded items by identity; the weak pointer tells a live node from a new one at the same address.
    QHash<const Dict*, std::weak_ptr<Dict>> _expanded;
    // Selected items, the one selected last at the end; items no longer shown drop out at the next
    // row computation.
    mutable std::vector<std::weak_ptr<Dict>> _selection;
    int _lastScrolledRow = -1;
    std::weak_ptr<Dict> _lastReloadedItem;
    std::optional<EditedCell> _editedCell;

    mutable bool _rowsValid = false;
    mutable std::vector<NodePtr> _rows;
    mutable QHash<const Dict*, int> _rowOf;
};

} // namespace tardigo
