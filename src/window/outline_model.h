#pragma once

#include "document/outline_data_source.h"
#include "window/notes_cache.h"

#include <QAbstractItemModel>
#include <QHash>

#include <optional>
#include <vector>

namespace tardigo {

/// The document's outline as Qt sees it. It owns no data: an index carries its item node, the
/// invisible root is the invalid index, and a row is the item's place among the visible children
/// of its parent. Children lists are asked once per parent and kept as the view was told them until
/// synchronize() tells the view what changed.
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
    /// Hands an ended edit to the document. The due column takes a date, or the text typed, which
    /// the document may refuse (false).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Dragging rows, and dropping items or text onto them, as the document says.
    QStringList mimeTypes() const override;
    /// The items of the rows, in row order, as the document's drag carries them.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    /// Dropped on the parent's row (`row` -1) or before its row-th shown child.
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

    /// The item of an index; null for the root.
    NodePtr itemForIndex(const QModelIndex& index) const;
    /// The visible children of an item (of the root for null), as the view was told them; for an
    /// item the view was given no index for, as they are now.
    ArrayPtr childrenOf(const NodePtr& item) const;
    /// The index of an item the view has been given an index for; invalid for any other.
    QModelIndex indexOfItem(const Dict* item, int column = 0) const;
    /// The index of the item at a known place: the row-th visible child of parent (null: the root).
    QModelIndex indexAt(const NodePtr& item, const NodePtr& parent, int row, int column = 0) const;

    /// Brings the view into step with the document's tree, comparing every children list the view
    /// was told with the document's: a few rows that left or came are removed or inserted, anything
    /// more (a sort, a filter switched) is one layout change that keeps every index of a row still
    /// shown. Answers the items that came, so that the view can open those it remembers expanded.
    /// Values are not compared: the view redraws what it shows.
    std::vector<NodePtr> synchronize();
    /// The same for the children lists of these items only (null: the top level).
    std::vector<NodePtr> synchronize(const std::vector<NodePtr>& owners);
    /// Forgets every list and index: the document holds a new tree.
    void showNewTree();
    /// The item's cells show new values.
    void itemChanged(const NodePtr& item);

    NotesCache& notesCache() { return _notesCache; }
    OutlineDataSource& dataSource() const { return _dataSource; }

private:
    /// What the view was told of an item: where it stands, and the children list it was given.
    struct Place {
        NodePtr item;   // held so that an index never outlives its node
        NodePtr parent; // null: a top-level item
        int row;
        ArrayPtr children; // the list as told; null until the view asks for it
    };
    /// A children list that is no longer what the view was told: the rows that left (ranges of
    /// the told list) and those that came (ranges of the fresh list), and whether the rows that
    /// stayed kept their order.
    struct ListChange {
        NodePtr owner; // null: the top level
        ArrayPtr fresh;
        std::vector<std::pair<qsizetype, qsizetype>> left; // [first, last] in the told list
        std::vector<std::pair<qsizetype, qsizetype>> came; // [first, last] in the fresh list
        bool inOrder = true;
    };
    QModelIndex indexForPlace(const Place& place, int column) const;
    /// The item's place as the row-th child of parent (null: the top level), made when new.
    Place& placeAt(const Value& item, const NodePtr& parent, int row) const;
    /// The place of a valid index; null for the root and for an index from before a change.
    Place* placeOf(const QModelIndex& index) const;
    /// The told list below an index (the top level's for the root); null for an unknown index.
    const Array* listBelow(const QModelIndex& parent) const;
    /// The told list `told` of owner, asked of the document the first time.
    const ArrayPtr& toldList(const NodePtr& owner, ArrayPtr& told) const;
    /// The told list, made a list of its own when it is the one all items without children share:
    /// it is about to change.
    ArrayPtr changingList(ArrayPtr& told);
    /// The told list of owner (null: the top level), when the view has been told one.
    ArrayPtr* knownList(const NodePtr& owner);
    /// The change of one told list, if it changed.
    std::optional<ListChange> changeOf(const NodePtr& owner, const Array& told) const;
    std::vector<NodePtr> apply(const std::vector<ListChange>& changes);
    void applyRowByRow(const std::vector<ListChange>& changes, std::vector<NodePtr>& came);
    void applyAsLayoutChange(const std::vector<ListChange>& changes, std::vector<NodePtr>& came);
    /// Forgets the item's place and, below it, every list and place the view was told.
    void forgetSubtree(const Dict* item);
    /// Each item of the owner's list from `first` on gets its place there.
    void renumber(const NodePtr& owner, const Array& list, size_t first);
    QVariant displayData(const NodePtr& item, const QString& identifier) const;

    OutlineDataSource& _dataSource;
    mutable ArrayPtr _rootList; // the top level as told
    mutable QHash<const Dict*, Place> _places;
    /// The parent whose rows the view asked for last and its told list: a layout asks for each of
    /// a parent's rows in turn. Plain pointers, as a layout switches parents at every open item and
    /// taking shares costs a cold cache line each time; valid because a told list is only ever
    /// changed in place, and forgotten whenever a place is.
    struct AskedParent {
        const void* parent = nullptr;
        const Array* list = nullptr;
    };
    mutable AskedParent _lastAskedParent;
    mutable NotesCache _notesCache;
};

} // namespace tardigo
