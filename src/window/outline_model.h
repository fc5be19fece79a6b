#pragma once

#include "outline/narrowed_list.h"
#include "outline/notes_cache.h"
#include "outline/outline_data_source.h"

#include <QAbstractItemModel>
#include <QHash>

#include <functional>
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

    /// Brings the view into step with the document's tree, comparing every children list the view
    /// was told with the document's: a few rows that left or came are removed or inserted, anything
    /// more (a sort, a filter switched) is one layout change that keeps every index of a row still
    /// shown. Answers the items that came, so that the view can open those it remembers expanded.
    /// Values are not compared: the view redraws what it shows.
    std::vector<NodePtr> synchronize();
    /// The same for the children lists of these items only (null: the top level).
    std::vector<NodePtr> synchronize(const std::vector<NodePtr>& owners);
    /// These lists lost the rows a narrower search no longer shows, and nothing else changed: the
    /// rows that stay keep their places, so that nothing is asked of the document. One layout
    /// change; no row came. Answers the owners of the lists the view was not told as the search
    /// showed them before, left as they were: they need synchronize().
    std::vector<NodePtr> dropRows(const std::vector<NarrowedList>& lists);
    /// Forgets every list and index: the document holds a new tree.
    void showNewTree();
    /// The item's cells show new values.
    void itemChanged(const NodePtr& item);

    NotesCache& notesCache() { return _notesCache; }
    OutlineDataSource& dataSource() const { return _dataSource; }

private:
    /// A place's number in the place table. An index carries its place's number and generation, so
    /// that an index from before a change, whose place was forgotten or given to another item,
    /// reaches no item.
    using Slot = quint32;
    static constexpr Slot kRootSlot = 0; // the invisible root: the top level's list
    static constexpr Slot kNoSlot = ~Slot(0);
    /// What the view was told of an item: where it stands, and the children list it was given.
    struct Place {
        NodePtr item;        // held so that an index never outlives its node; null: a free slot
        quintptr parent = 0; // the parent place's index identifier; 0: a top-level item
        int row = 0;
        quint32 generation = 0;
        ArrayPtr children; // the list as told; null until the view asks for it
        /// The child's place for each row of the told list, kNoSlot until the view asks for it.
        std::vector<Slot> childSlots;
    };
    /// A children list that is no longer what the view was told: the rows that left (ranges of
    /// the told list) and those that came (ranges of the fresh list), and whether the rows that
    /// stayed kept their order.
    struct ListChange {
        quintptr owner; // the owner's place as an index identifier: it may be forgotten meanwhile
        ArrayPtr fresh;
        std::vector<std::pair<qsizetype, qsizetype>> left; // [first, last] in the told list
        std::vector<std::pair<qsizetype, qsizetype>> came; // [first, last] in the fresh list
        bool inOrder = true;
    };
    quintptr idOf(Slot slot) const;
    /// The live place an index identifier names: kRootSlot for 0, kNoSlot for a forgotten one.
    Slot slotOfId(quintptr id) const;
    /// The place of a valid index, the root's for the invalid one; kNoSlot for an index from before
    /// a change.
    Slot slotOfIndex(const QModelIndex& index) const;
    /// The item's place, kNoSlot when it has none; null is the root.
    Slot slotOfItem(const Dict* item) const;
    QModelIndex indexForSlot(Slot slot, int column) const;
    /// The item's place as the row-th child of the place parent, made when new.
    Slot placeAt(const Value& item, Slot parent, int row) const;
    /// The told list of a place, asked of the document the first time.
    const ArrayPtr& toldList(Slot owner) const;
    /// The told list of a place, made a list of its own when it is the one all items without
    /// children share: it is about to change.
    Array& changingList(Slot owner);
    /// The place of owner (null: the root), when the view has been told its list; kNoSlot if not.
    Slot knownList(const NodePtr& owner) const;
    /// The same for a place named by its index identifier.
    Slot knownList(quintptr owner) const;
    /// The place of the owner's child at row, kNoSlot when it has none.
    Slot childSlot(Slot owner, size_t row) const;
    /// Starts fetching a place noted for a row (kNoSlot: none) into the cache, for a walk over rows
    /// whose places lie anywhere in memory.
    void prefetchPlace(Slot slot) const;
    /// The change of one told list, if it changed.
    std::optional<ListChange> changeOf(Slot owner) const;
    std::vector<NodePtr> apply(const std::vector<ListChange>& changes);
    void applyRowByRow(const std::vector<ListChange>& changes, std::vector<NodePtr>& came);
    void applyAsLayoutChange(const std::vector<ListChange>& changes, std::vector<NodePtr>& came);
    /// After a layout change: the persistent indexes of before at their rows now, those of rows
    /// forgotten invalid.
    void movePersistentIndexes(const QModelIndexList& before);
    /// Forgets the place of the owner's child at row and, below it, every list and place the view
    /// was told.
    void forgetChild(Slot owner, size_t row);
    void freeSlot(Slot slot);
    /// Makes the address table afresh when most of its entries name forgotten places.
    void dropStaleAddresses();
    /// Fetches the told lists that follow the current one among those a narrower search names.
    void prefetchListsAfter(const std::vector<std::pair<Slot, const NarrowedList*>>& lists,
                            size_t current) const;
    /// Whether each row of a told list stays, when its rows are the list's children shown before, in
    /// order (some of those may have been hidden otherwise); false when they are not.
    static bool rowsThatStay(const Array& told, const NarrowedList& list, std::vector<char>& staying);
    /// Each item of the owner's list from `first` on that has a place learns its row there.
    void renumber(Slot owner, size_t first);
    /// The places of a told list found again by item, after the list was replaced.
    void findChildSlots(Slot owner);
    QVariant displayData(const NodePtr& item, const QString& identifier) const;

    OutlineDataSource& _dataSource;
    /// Every place, addressed by slot; slot 0 is the root's. In the order the view first asked for
    /// them, so that a layout walks the table from front to back.
    mutable std::vector<Place> _places;
    mutable std::vector<Slot> _freeSlots;
    std::vector<Slot> _forgetting; // forgetChild()'s places still to forget, kept for its capacity
    /// The place of each item with one, found by its address. A place forgotten leaves its entry
    /// (removing tens of thousands of entries costs more than the rest of a narrower search), so an
    /// entry counts only when its place still holds the item; the table is made afresh when most of
    /// its entries are stale.
    mutable QHash<const Dict*, Slot> _slotOf;
    mutable NotesCache _notesCache;
};

} // namespace tardigo
