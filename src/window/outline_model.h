#pragma once

#include "document/outline_data_source.h"
#include "window/notes_cache.h"

#include <QAbstractItemModel>
#include <QHash>

namespace tardigo {

/// The document's outline as Qt sees it. It owns no data: an index carries its item node, the
/// invisible root is the invalid index, and a row is the item's place among the visible children
/// of its parent. Children lists are asked once per parent and kept until the next reload.
class OutlineModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        /// The completion fraction, 0 to 1, as a double.
        CompletionRole = Qt::UserRole + 1,
    };

    explicit OutlineModel(OutlineDataSource& dataSource, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// The item of an index; null for the root.
    NodePtr itemForIndex(const QModelIndex& index) const;
    /// The visible children of an item (of the root for null), as asked since the last reload.
    const ArrayPtr& childrenOf(const NodePtr& item) const;
    /// The index of an item the view has been given an index for; invalid for any other.
    QModelIndex indexOfItem(const Dict* item, int column = 0) const;
    /// The index of the item at a known place: the row-th visible child of parent (null: the root).
    QModelIndex indexAt(const NodePtr& item, const NodePtr& parent, int row, int column = 0) const;

    /// Forgets every children list and index: the tree's shape may have changed.
    void resetStructure();
    /// The shape stayed: asks for the children lists again and redraws every row.
    void refreshContents();
    /// The item's cells show new values.
    void itemChanged(const NodePtr& item);

    NotesCache& notesCache() { return _notesCache; }
    OutlineDataSource& dataSource() const { return _dataSource; }

private:
    struct Place {
        NodePtr item;   // held so that an index never outlives its node
        NodePtr parent; // null: a top-level item
        int row;
    };
    QModelIndex indexForPlace(const Place& place, int column) const;
    QVariant displayData(const NodePtr& item, const QString& identifier) const;

    OutlineDataSource& _dataSource;
    mutable QHash<const Dict*, ArrayPtr> _children; // the root's under nullptr
    mutable QHash<const Dict*, Place> _places;
    mutable NotesCache _notesCache;
};

} // namespace tardigo
