#pragma once

#include "model/value.h"
#include "outline/notes_cache.h"
#include "outline/outline_data_source.h"
#include "search/item_search.h"

#include <QAbstractItemModel>
#include <QHash>

#include <memory>
#include <optional>
#include <vector>

namespace tardigo {

class KeyFilter;
class OutlineDecorations;

/// A list's outline as Qt sees it: a row for each item the list's filters show (its key filter, as
/// hide-completed sets it, and the search), under the row of its parent. It keeps a node of its own
/// for every item of the list, with a link to its parent, and an index carries its node's slot and
/// generation, so that an index from before a change reaches no other item. The nodes follow the
/// list through the changes its document announces (rows inserted, removed, moved, rearranged, an
/// item's values changed, a new tree), each told to the views as rows inserted, removed or moved, or,
/// where many rows change at once, as one layout change that keeps every index still shown. The model
/// owns no item: edits, drags and drops go to the document through its data source. Built when first
/// asked, so that a list no view shows costs nothing.
class OutlineItemModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        /// The completion fraction, 0 to 1, as a double.
        CompletionRole = Qt::UserRole + 1,
        /// The name of the icon the item shows, for the icon column.
        IconNameRole,
    };

    OutlineItemModel(OutlineDataSource& source, NodePtr root, QObject* parent = nullptr);
    ~OutlineItemModel() override;

    /// The document holds a new tree (read, reverted): every view starts afresh.
    void setRoot(NodePtr root);
    /// What a window adds to the cells; none answers only the texts.
    void setDecorations(const OutlineDecorations* decorations) { _decorations = decorations; }

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
    QStringList mimeTypes() const override;
    /// The items of the rows, in the outline's order, as the document's drag carries them.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    /// Dropped on the parent's row (`row` -1) or before its row-th shown child.
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

    /// The item of an index that names a row shown now; null for any other, the root's included.
    NodePtr itemForIndex(const QModelIndex& index) const;
    /// The index of an item's cell while the filters show it; invalid otherwise.
    QModelIndex indexOfItem(const Dict* item, int column = 0) const;
    /// The items shown under an item (null: the top level), in stored order.
    std::vector<NodePtr> shownChildren(const Dict* item) const;
    /// The nodes an item of the list stands under, from the top level down to its parent, whether the
    /// filters show it or not; empty for a top-level item or one the list does not hold.
    std::vector<NodePtr> ancestorsOf(const Dict* item) const;
    /// The outline's order: whether the first item's row comes before the second's.
    bool comesBefore(const Dict* first, const Dict* second) const;

    // The changes of the list, as its document announces them; positions are places in the stored
    // children arrays.
    void itemsInserted(const NodePtr& parent, int first, int last);
    void itemsAboutToBeRemoved(const NodePtr& parent, int first, int last);
    void itemsAboutToBeMoved(const NodePtr& from, int first, int last, const NodePtr& to, int destination);
    /// The children of these nodes changed in any way, and so perhaps their own values; none: every
    /// list of the tree changed its order (a sort), no value.
    void itemsRearranged(const std::vector<NodePtr>& parents);
    /// Values of the item changed under these keys (the root's: the list's own settings).
    void itemChanged(const NodePtr& item, const QStringList& keys);
    /// What every row shows may have changed (a preference, the icon rules).
    void rowsNeedRedrawing();

    // The search, which shows the items that match and their ancestors, among those the key filter
    // shows.

    /// The text searched for: the one typed, else the list's stored term.
    QString searchText() const;
    bool isSearchTyped() const { return _typed.has_value(); }
    /// Takes the text typed (an empty one shows everything); none goes back to the stored term.
    void setTypedSearch(const std::optional<QString>& typed);
    /// The search whose words the item matched, to show them; null for an item that did not match.
    const ItemSearch* searchMatching(const Dict& item) const;
    /// Whether the search hides the item while the key filter would show it.
    bool searchHides(const Dict& item) const;

    /// The first line of notes each row shows, read once per item.
    NotesCache& notesCache() const { return _notesCache; }

signals:
    /// After a layout change: the rows it showed that the views did not know before (an item the
    /// filters hid, or new), so that a view opens those it held open.
    void rowsAppeared(const QModelIndexList& indexes);

private:
    struct Node;
    struct NodeChunk;
    struct Search;
    /// A list of rows the views know, with the rows it shows from now on.
    struct Retold {
        Node* parent;
        std::vector<Node*> fresh;
    };

    void ensureBuilt() const;
    void build();
    void freeAllNodes();
    Node* newNode(const NodePtr& item, Node* parent);
    /// Nodes for the item and everything below it, except items the model holds a node for already.
    Node* buildSubtree(const NodePtr& item, Node* parent);
    void freeSubtree(Node* top);
    Node* nodeOf(const Dict* item) const;
    Node* nodeOfId(quintptr id) const;
    /// The node of an index naming a row the views know; the root for the invalid index; else null.
    Node* nodeOfIndex(const QModelIndex& index) const;
    quintptr idOf(const Node* node) const;
    QModelIndex indexOf(const Node* node, int column) const;
    /// Whether the views know the node's row.
    bool isTold(const Node* node) const;
    /// Calls visit for every node but the root, in no particular order.
    template <typename Visit> void forEachNode(Visit visit) const;

    // Filters
    void updateOwnFlags(Node* node, const KeyFilter& keyFilter);
    /// Whether the node's texts hold the words; folds them the first time.
    bool matchesWords(Node* node, const ItemSearch& words) const;
    bool shows(const Node* node) const;
    /// Works out the flags of the subtree below top, and top's own through its ancestors; each node
    /// whose being shown changed adds its parent to `dirty`.
    void settle(Node* top, std::vector<Node*>& dirty);
    /// The node's own flags changed, its children's did not: it and its ancestors are shown or not.
    void reconsider(Node* node, std::vector<Node*>& dirty);

    // Telling the views
    /// The lists among `dirty` whose rows the views know and keep, with their rows as the flags say.
    std::vector<Retold> listsToRetell(const std::vector<Node*>& dirty);
    /// Brings the rows of the lists in `dirty` into step with the flags: rows inserted or removed
    /// where few ranges change, one layout change where more do.
    void tellRows(const std::vector<Node*>& dirty);
    /// The lists take their fresh rows, inside a layout change.
    void retell(const std::vector<Retold>& lists);
    /// The node's rows as the views are told them from now on, and so on down.
    void tellSubtree(Node* top);
    void untellSubtree(Node* top);
    void renumberRows(Node* parent, size_t first);
    void renumberChildren(Node* parent, size_t first);
    /// Emits layoutAboutToBeChanged, and answers the persistent indexes then.
    QModelIndexList beginLayoutChange();
    /// Each persistent index of before names its node's row now, or nothing.
    void endLayoutChange(const QModelIndexList& before);
    /// Takes the node out of its parent's children and puts it before anchor among the target's.
    void detachAndPlace(Node* node, Node* target, Node* anchor);
    /// Moves the node's row in place when nothing else is shown or hidden with it; false if not.
    bool moveTold(Node* node, Node* target, Node* anchor);
    /// Moves the node in a layout change, which keeps its indexes.
    void moveInLayout(Node* node, Node* target, Node* anchor);

    /// The list's own settings changed under these keys: its key filter, its stored search term.
    void listSettingsChanged(const QStringList& keys);
    void keyFilterChanged();

    // Search
    void runSearch(const QString& text);
    void searchEverything(const QString& text, const ItemSearch& words);
    /// The list changed: only the search shown stays, its matches found again when asked.
    void forgetPastSearches();
    const std::vector<Node*>& currentMatches();

    QVariant displayData(const NodePtr& item, Column column) const;

    OutlineDataSource& _source;
    NodePtr _rootItem;
    const OutlineDecorations* _decorations = nullptr;
    bool _built = false;
    std::vector<std::unique_ptr<NodeChunk>> _chunks;
    std::vector<quint32> _freeSlots;
    quint32 _slotCount = 0;
    Node* _root = nullptr;
    QHash<const Dict*, Node*> _nodes;
    quint32 _epoch = 0;           // marks nodes once per pass over them
    std::vector<Node*> _appeared; // the rows a layout change under way shows anew

    std::optional<QString> _typed;
    // The searches typed since the list last changed, each narrowing the one before; the last is
    // shown. A deleted letter goes back to the one before, a narrower search reads the last one's
    // matches only.
    std::vector<Search> _searches;
    mutable NotesCache _notesCache;
};

} // namespace tardigo
