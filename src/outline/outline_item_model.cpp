#include "outline/outline_item_model.h"

#include "dates/due_date_format.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_columns.h"
#include "outline/outline_decorations.h"
#include "outline/outline_filter.h"
#include "rich_text/notes_text.h"

#include <QDateTime>
#include <QMimeData>

#include <algorithm>
#include <unordered_set>

namespace tardigo {

namespace {

constexpr quint32 kChunkBits = 10;
constexpr quint32 kChunkSize = 1u << kChunkBits;
// More ranges of rows than this in one change go to the views as one layout change: each inserted or
// removed range makes a view and the persistent indexes do work of their own.
constexpr size_t kMostRangesRowByRow = 16;

static_assert(sizeof(quintptr) >= 8, "an index identifier holds a node's slot and its generation");

// Qt hashes an index by little more than the sum of its row and identifier, and keeps persistent
// indexes (the view's open rows among them) in a hash of open addressing: identifiers of slots in a
// row would lie side by side in it and make every change of rows search long runs of them. An
// identifier is therefore its slot and generation multiplied by an odd number, which spreads them,
// and multiplied back by that number's inverse.
constexpr quintptr kIdSpread = 0x9E3779B97F4A7C15ull;
constexpr quintptr inverseOf(quintptr odd) {
    quintptr inverse = odd; // right in 3 bits; each step doubles that
    for (int step = 0; step < 5; ++step)
        inverse *= 2 - odd * inverse;
    return inverse;
}
constexpr quintptr kIdGather = inverseOf(kIdSpread);
static_assert(kIdSpread * kIdGather == 1);

/// The flags of each column's cells: a view asks for them at every row of every layout.
const std::vector<Qt::ItemFlags>& columnFlags() {
    static const std::vector<Qt::ItemFlags> flags = [] {
        std::vector<Qt::ItemFlags> all;
        for (const Column column : outlineColumns()) {
            Qt::ItemFlags cell =
                Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
            if (isColumnTypedIn(column))
                cell |= Qt::ItemIsEditable;
            all.push_back(cell);
        }
        return all;
    }();
    return flags;
}

bool changesSearchedText(const QStringList& keys) {
    return keys.isEmpty() || keys.contains(key::name) || keys.contains(key::category) ||
           keys.contains(key::notes);
}

/// The roles a change of values under these keys changes; empty: any of them.
QList<int> rolesChangedBy(const QStringList& keys) {
    const bool fontsOnly = !keys.isEmpty() && std::all_of(keys.begin(), keys.end(), [](const QString& k) {
        return k == key::fontName || k == key::fontSize;
    });
    return fontsOnly ? QList<int>{Qt::FontRole, Qt::SizeHintRole} : QList<int>{};
}

} // namespace

struct OutlineItemModel::Node {
    // What an index and its parent are made from first, in the node's first cache line: a view asks
    // for them of every row, and of every persistent index at each change of rows.
    Node* parent = nullptr; // null for the root
    int row = -1;           // among the parent's told rows; -1 while the views know no row
    int childIndex = 0;     // among the parent's children
    quint32 slot = 0;
    quint32 generation = 0;
    quint32 mark = 0;
    int shownChildren = 0;
    bool ownKeyHidden = false;   // the key filter hides the item itself
    bool keyHidden = false;      // the item itself or one of its ancestors
    bool ownMatch = true;        // the search's words are in its texts; always without a search
    bool shown = false;          // under the filters, as last worked out
    bool leaving = false;        // about to leave the list
    bool folded = false;         // its texts are folded below, as they are now
    NodePtr item;                // null: a free slot
    std::vector<Node*> children; // every item below it, in stored order
    std::vector<Node*> rows;     // the children shown, as the views were told them
    // The texts the item is searched by, folded when first searched and kept until they change (the
    // document announces each change): a keystroke reads no item, and no notes, again.
    QString foldedNameAndCategory;
    std::unique_ptr<QString> foldedNotes; // none without notes
};

struct OutlineItemModel::NodeChunk {
    Node nodes[kChunkSize];
};

struct OutlineItemModel::Search {
    QString text;
    ItemSearch words;
    std::vector<Node*> matches; // the nodes whose texts hold the words
    bool matchesKnown = true;   // else worked out from the nodes when needed
};

OutlineItemModel::OutlineItemModel(OutlineDataSource& source, NodePtr root, QObject* parent)
    : QAbstractItemModel(parent), _source(source), _rootItem(std::move(root)) {}

OutlineItemModel::~OutlineItemModel() = default;

void OutlineItemModel::setRoot(NodePtr root) {
    beginResetModel();
    freeAllNodes();
    _rootItem = std::move(root);
    _searches.clear();
    endResetModel();
}

// Nodes

void OutlineItemModel::ensureBuilt() const {
    if (!_built)
        const_cast<OutlineItemModel*>(this)->build();
}

void OutlineItemModel::build() {
    _built = true;
    _root = buildSubtree(_rootItem, nullptr);
    // The search as the list holds it now: nothing before was shown of it.
    _searches.clear();
    if (const QString text = searchText(); !ItemSearch(text).isEmpty())
        _searches.push_back(Search{text, ItemSearch(text), {}, false});
    const KeyFilter keyFilter(*_rootItem);
    forEachNode([&](Node* node) { updateOwnFlags(node, keyFilter); });
    std::vector<Node*> dirty;
    settle(_root, dirty);
    tellSubtree(_root);
}

void OutlineItemModel::freeAllNodes() {
    if (!_built)
        return;
    for (quint32 slot = 0; slot < _slotCount; ++slot) {
        Node& node = _chunks[slot >> kChunkBits]->nodes[slot & (kChunkSize - 1)];
        if (node.item) {
            node = Node{};
            node.slot = slot;
        }
    }
    // The generations go on, so that no index from before names a node of the new tree.
    for (quint32 slot = 0; slot < _slotCount; ++slot)
        ++_chunks[slot >> kChunkBits]->nodes[slot & (kChunkSize - 1)].generation;
    _freeSlots.clear();
    for (quint32 slot = _slotCount; slot-- > 0;)
        _freeSlots.push_back(slot); // the first slots are given out first
    _nodes.clear();
    _root = nullptr;
    _built = false;
}

OutlineItemModel::Node* OutlineItemModel::newNode(const NodePtr& item, Node* parent) {
    quint32 slot;
    if (!_freeSlots.empty()) {
        slot = _freeSlots.back();
        _freeSlots.pop_back();
    } else {
        slot = _slotCount++;
        if ((slot >> kChunkBits) >= _chunks.size())
            _chunks.push_back(std::make_unique<NodeChunk>());
    }
    Node* node = &_chunks[slot >> kChunkBits]->nodes[slot & (kChunkSize - 1)];
    node->slot = slot;
    node->item = item;
    node->parent = parent;
    _nodes.insert(item.get(), node);
    return node;
}

OutlineItemModel::Node* OutlineItemModel::buildSubtree(const NodePtr& item, Node* parent) {
    Node* top = newNode(item, parent);
    std::vector<Node*> pending{top};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        const ArrayPtr children = childrenOf(*node->item);
        if (!children)
            continue;
        node->children.reserve(children->items.size());
        for (const Value& child : children->items) {
            // A node the tree holds twice is shown where it is met first.
            if (!child.dictAddress() || _nodes.contains(child.dictAddress()))
                continue;
            Node* made = newNode(child.asDict(), node);
            made->childIndex = int(node->children.size());
            node->children.push_back(made);
            pending.push_back(made);
        }
    }
    return top;
}

void OutlineItemModel::freeSubtree(Node* top) {
    std::vector<Node*> pending{top};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), node->children.begin(), node->children.end());
        if (const auto found = _nodes.constFind(node->item.get()); found != _nodes.cend() && *found == node)
            _nodes.erase(found);
        const quint32 slot = node->slot;
        const quint32 generation = node->generation + 1;
        *node = Node{};
        node->slot = slot;
        node->generation = generation;
        _freeSlots.push_back(slot);
    }
}

OutlineItemModel::Node* OutlineItemModel::nodeOf(const Dict* item) const {
    return item ? _nodes.value(item, nullptr) : nullptr;
}

quintptr OutlineItemModel::idOf(const Node* node) const {
    return ((quintptr(node->generation) << 32) | node->slot) * kIdSpread;
}

OutlineItemModel::Node* OutlineItemModel::nodeOfId(quintptr spread) const {
    const quintptr id = spread * kIdGather;
    const quint32 slot = quint32(id & 0xffffffffu);
    if (slot >= _slotCount)
        return nullptr;
    Node* node = &_chunks[slot >> kChunkBits]->nodes[slot & (kChunkSize - 1)];
    return node->item && node->generation == quint32(id >> 32) ? node : nullptr;
}

OutlineItemModel::Node* OutlineItemModel::nodeOfIndex(const QModelIndex& index) const {
    ensureBuilt();
    if (!index.isValid())
        return _root;
    if (index.model() != this)
        return nullptr;
    // Only a row the views know: an index from before a change reaches nothing, hidden or gone.
    Node* node = nodeOfId(index.internalId());
    return node && node->row >= 0 ? node : nullptr;
}

QModelIndex OutlineItemModel::indexOf(const Node* node, int column) const {
    return node == _root ? QModelIndex() : createIndex(node->row, column, idOf(node));
}

bool OutlineItemModel::isTold(const Node* node) const {
    return node == _root || node->row >= 0;
}

template <typename Visit> void OutlineItemModel::forEachNode(Visit visit) const {
    for (quint32 slot = 0; slot < _slotCount; ++slot) {
        Node* node = &_chunks[slot >> kChunkBits]->nodes[slot & (kChunkSize - 1)];
        if (node->item && node != _root)
            visit(node);
    }
}

// Filters

void OutlineItemModel::updateOwnFlags(Node* node, const KeyFilter& keyFilter) {
    node->ownKeyHidden = keyFilter.hides(*node->item);
    node->ownMatch = _searches.empty() || matchesWords(node, _searches.back().words);
}

bool OutlineItemModel::matchesWords(Node* node, const ItemSearch& words) const {
    if (!node->folded) {
        node->foldedNameAndCategory = foldedNameAndCategory(*node->item);
        const QByteArray* notes = node->item->value(key::notes).asData();
        node->foldedNotes =
            notes ? std::make_unique<QString>(foldForSearch(notesPlainText(*notes).value_or(QString())))
                  : nullptr;
        node->folded = true;
    }
    if (!node->foldedNotes)
        return words.matchesFoldedParts({node->foldedNameAndCategory});
    return words.matchesFoldedParts({node->foldedNameAndCategory, *node->foldedNotes});
}

bool OutlineItemModel::shows(const Node* node) const {
    return !node->leaving && ((!node->keyHidden && node->ownMatch) || node->shownChildren > 0);
}

void OutlineItemModel::settle(Node* top, std::vector<Node*>& dirty) {
    top->keyHidden = top->ownKeyHidden || (top->parent && top->parent->keyHidden);
    struct Level {
        Node* node;
        size_t next;
    };
    // Without recursion: a list may nest deeper than the stack allows.
    std::vector<Level> stack{{top, 0}};
    while (!stack.empty()) {
        Node* node = stack.back().node;
        if (stack.back().next < node->children.size()) {
            Node* child = node->children[stack.back().next++];
            child->keyHidden = child->ownKeyHidden || node->keyHidden;
            stack.push_back({child, 0});
            continue;
        }
        stack.pop_back();
        node->shownChildren = int(std::count_if(node->children.begin(), node->children.end(),
                                                [](const Node* child) { return child->shown; }));
        if (node != top && shows(node) != node->shown) {
            node->shown = !node->shown;
            dirty.push_back(node->parent);
        }
    }
    reconsider(top, dirty);
}

void OutlineItemModel::reconsider(Node* node, std::vector<Node*>& dirty) {
    for (; node && node != _root; node = node->parent) {
        const bool now = shows(node);
        if (now == node->shown)
            return;
        node->shown = now;
        node->parent->shownChildren += now ? 1 : -1;
        dirty.push_back(node->parent);
    }
}

// Telling the views

void OutlineItemModel::renumberRows(Node* parent, size_t first) {
    for (size_t row = first; row < parent->rows.size(); ++row)
        parent->rows[row]->row = int(row);
}

void OutlineItemModel::renumberChildren(Node* parent, size_t first) {
    for (size_t index = first; index < parent->children.size(); ++index)
        parent->children[index]->childIndex = int(index);
}

void OutlineItemModel::tellSubtree(Node* top) {
    std::vector<Node*> pending{top};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        node->rows.clear();
        for (Node* child : node->children)
            if (child->shown) {
                child->row = int(node->rows.size());
                node->rows.push_back(child);
                pending.push_back(child);
            }
    }
}

void OutlineItemModel::untellSubtree(Node* top) {
    std::vector<Node*> pending{top};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        if (node != _root)
            node->row = -1;
        pending.insert(pending.end(), node->rows.begin(), node->rows.end());
        node->rows.clear();
    }
}

QModelIndexList OutlineItemModel::beginLayoutChange() {
    emit layoutAboutToBeChanged();
    return persistentIndexList();
}

void OutlineItemModel::endLayoutChange(const QModelIndexList& before) {
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        const Node* node = nodeOfId(index.internalId());
        after.append(node && node != _root && node->row >= 0 ? indexOf(node, index.column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
    if (_appeared.empty())
        return;
    QModelIndexList appeared;
    for (const Node* node : std::exchange(_appeared, {}))
        if (node->item && node->row >= 0)
            appeared.append(indexOf(node, 0));
    emit rowsAppeared(appeared);
}

std::vector<OutlineItemModel::Retold> OutlineItemModel::listsToRetell(const std::vector<Node*>& dirty) {
    // Only the lists of rows the views know and keep: a list that comes or goes with its owner's
    // row is told with it.
    std::vector<Retold> lists;
    ++_epoch;
    for (Node* node : dirty)
        if (node->mark != _epoch) {
            node->mark = _epoch;
            if (isTold(node) && (node == _root || node->shown)) {
                Retold list{node, {}};
                for (Node* child : node->children)
                    if (child->shown)
                        list.fresh.push_back(child);
                lists.push_back(std::move(list));
            }
        }
    return lists;
}

void OutlineItemModel::tellRows(const std::vector<Node*>& dirty) {
    std::vector<Retold> lists = listsToRetell(dirty);
    struct Ranges {
        std::vector<std::pair<int, int>> removed;  // [first, last] among the rows told
        std::vector<std::pair<int, int>> inserted; // [first, last] among the fresh rows
    };
    std::vector<Ranges> changes(lists.size());
    size_t ranges = 0;
    bool changed = false;
    for (size_t i = 0; i < lists.size(); ++i) {
        const Node* parent = lists[i].parent;
        Ranges& change = changes[i];
        int oldRow = 0;
        int row = 0;
        for (const Node* child : parent->children) {
            const bool was = child->row >= 0 && size_t(child->row) < parent->rows.size() &&
                             parent->rows[size_t(child->row)] == child;
            if (child->shown && !was) {
                if (!change.inserted.empty() && change.inserted.back().second == row - 1)
                    change.inserted.back().second = row;
                else
                    change.inserted.emplace_back(row, row);
            } else if (!child->shown && was) {
                if (!change.removed.empty() && change.removed.back().second == oldRow - 1)
                    change.removed.back().second = oldRow;
                else
                    change.removed.emplace_back(oldRow, oldRow);
            }
            oldRow += was ? 1 : 0;
            row += child->shown ? 1 : 0;
        }
        ranges += change.removed.size() + change.inserted.size();
        changed = changed || ranges > 0;
    }
    if (!changed)
        return;
    if (ranges > kMostRangesRowByRow) {
        const QModelIndexList before = beginLayoutChange();
        retell(lists);
        endLayoutChange(before);
        return;
    }
    for (size_t i = 0; i < lists.size(); ++i) {
        Node* parent = lists[i].parent;
        const std::vector<Node*>& fresh = lists[i].fresh;
        const QModelIndex parentIndex = indexOf(parent, 0);
        for (auto range = changes[i].removed.rbegin(); range != changes[i].removed.rend(); ++range) {
            const auto [first, last] = *range;
            beginRemoveRows(parentIndex, first, last);
            for (int row = first; row <= last; ++row)
                untellSubtree(parent->rows[size_t(row)]);
            parent->rows.erase(parent->rows.begin() + first, parent->rows.begin() + last + 1);
            renumberRows(parent, size_t(first));
            endRemoveRows();
        }
        for (const auto& [first, last] : changes[i].inserted) {
            beginInsertRows(parentIndex, first, last);
            parent->rows.insert(parent->rows.begin() + first, fresh.begin() + first,
                                fresh.begin() + last + 1);
            renumberRows(parent, size_t(first));
            for (int row = first; row <= last; ++row)
                tellSubtree(parent->rows[size_t(row)]);
            endInsertRows();
        }
    }
}

void OutlineItemModel::retell(const std::vector<Retold>& lists) {
    // The rows each list keeps are marked; those it lost are no longer told (with what lies below
    // them), unless another list takes them: a row that moved keeps its node, and so its indexes.
    ++_epoch;
    for (const Retold& list : lists)
        for (Node* child : list.fresh)
            child->mark = _epoch;
    std::vector<Node*> entering;
    for (const Retold& list : lists) {
        for (Node* child : list.parent->rows)
            if (child->mark != _epoch)
                untellSubtree(child);
        for (Node* child : list.fresh)
            if (!(child->row >= 0 && size_t(child->row) < list.parent->rows.size() &&
                  list.parent->rows[size_t(child->row)] == child))
                entering.push_back(child);
    }
    for (const Retold& list : lists) {
        list.parent->rows = list.fresh;
        renumberRows(list.parent, 0);
    }
    for (Node* child : entering)
        tellSubtree(child);
    _appeared.insert(_appeared.end(), entering.begin(), entering.end());
}

// The Qt model

QModelIndex OutlineItemModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= columnCount() || (parent.isValid() && parent.column() != 0))
        return {};
    const Node* list = nodeOfIndex(parent);
    if (!list || size_t(row) >= list->rows.size())
        return {};
    return createIndex(row, column, idOf(list->rows[size_t(row)]));
}

QModelIndex OutlineItemModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    const Node* node = nodeOfIndex(child);
    if (!node || node->parent == _root)
        return {};
    return indexOf(node->parent, 0);
}

int OutlineItemModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    const Node* list = nodeOfIndex(parent);
    return list ? int(list->rows.size()) : 0;
}

int OutlineItemModel::columnCount(const QModelIndex&) const {
    return int(outlineColumns().size());
}

bool OutlineItemModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant OutlineItemModel::displayData(const NodePtr& item, Column column) const {
    if (column == Column::Notes)
        return _notesCache.firstLine(item);
    const CellValue value = _source.cellValue(column, item);
    if (const QDateTime* date = std::get_if<QDateTime>(&value))
        return formatDueDate(*date);
    const Value* stored = std::get_if<Value>(&value);
    if (!stored || column == Column::Icon)
        return {};
    if (const QString* text = stored->asString())
        return *text;
    if (const Number* number = stored->asNumber(); number && column == Column::Completion)
        return QStringLiteral("%1%").arg(qRound(boundedCompletion(number->toDouble()) * 100.0));
    return {};
}

QVariant OutlineItemModel::data(const QModelIndex& index, int role) const {
    const Node* node = nodeOfIndex(index);
    if (!node || node == _root)
        return {};
    const NodePtr& item = node->item;
    const Column column = Column(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return displayData(item, column);
    case Qt::EditRole: {
        if (column == Column::Due) {
            const CellValue value = _source.cellValue(column, item);
            const QDateTime* date = std::get_if<QDateTime>(&value);
            return date ? QVariant(*date) : QVariant();
        }
        return column == Column::Name || column == Column::Category ? displayData(item, column) : QVariant();
    }
    case Qt::ToolTipRole:
        if (column == Column::Notes)
            return _notesCache.firstLine(item);
        break;
    case IconNameRole: {
        if (column != Column::Icon)
            return {};
        const CellValue value = _source.cellValue(column, item);
        const Value* name = std::get_if<Value>(&value);
        const QString* text = name ? name->asString() : nullptr;
        return text ? QVariant(*text) : QVariant();
    }
    case CompletionRole: {
        const Number* completion = item->value(key::completion).asNumber();
        return completion ? boundedCompletion(completion->toDouble()) : 0.0;
    }
    default:
        break;
    }
    return _decorations ? _decorations->itemData(item, column, role) : QVariant();
}

bool OutlineItemModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const NodePtr item = itemForIndex(index);
    if (!item || role != Qt::EditRole)
        return false;
    const Column column = Column(index.column());
    CellValue cell;
    if (column == Column::Due && value.typeId() == QMetaType::QString) {
        return _source.setDueDateText(value.toString(), item);
    } else if (column == Column::Due) {
        if (const QDateTime date = value.toDateTime(); date.isValid())
            cell = date;
    } else if (column == Column::Completion) {
        cell = Value::float32(value.toDouble());
    } else if (column == Column::Name || column == Column::Category) {
        cell = Value(value.toString());
    } else {
        return false;
    }
    _source.setCellValue(cell, column, item);
    return true;
}

Qt::ItemFlags OutlineItemModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled; // below the last row: the top level
    return columnFlags().at(size_t(index.column()));
}

QVariant OutlineItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const std::optional<Column> column = columnFromIndex(section);
    if (orientation != Qt::Horizontal || !column)
        return {};
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && column == Column::Icon))
        return columnTitle(*column);
    return _decorations ? _decorations->headerData(*column, role) : QVariant();
}

QStringList OutlineItemModel::mimeTypes() const {
    return _source.transferTypes();
}

QMimeData* OutlineItemModel::mimeData(const QModelIndexList& indexes) const {
    // Each row once, in the outline's order.
    std::vector<NodePtr> items;
    std::unordered_set<const Dict*> seen;
    for (const QModelIndex& index : indexes)
        if (NodePtr item = itemForIndex(index); item && seen.insert(item.get()).second)
            items.push_back(std::move(item));
    std::sort(items.begin(), items.end(),
              [this](const NodePtr& a, const NodePtr& b) { return comesBefore(a.get(), b.get()); });
    return _source.dragData(items).release();
}

bool OutlineItemModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                    const QModelIndex& parent) {
    return data && _source.acceptDrop(*data, itemForIndex(parent), row);
}

Qt::DropActions OutlineItemModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions OutlineItemModel::supportedDragActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

// Items

NodePtr OutlineItemModel::itemForIndex(const QModelIndex& index) const {
    const Node* node = index.isValid() ? nodeOfIndex(index) : nullptr;
    return node ? node->item : nullptr;
}

QModelIndex OutlineItemModel::indexOfItem(const Dict* item, int column) const {
    ensureBuilt();
    const Node* node = nodeOf(item);
    return node && node != _root && node->row >= 0 ? indexOf(node, column) : QModelIndex();
}

std::vector<NodePtr> OutlineItemModel::shownChildren(const Dict* item) const {
    ensureBuilt();
    const Node* node = item ? nodeOf(item) : _root;
    std::vector<NodePtr> children;
    if (!node || !isTold(node))
        return children;
    children.reserve(node->rows.size());
    for (const Node* child : node->rows)
        children.push_back(child->item);
    return children;
}

std::vector<NodePtr> OutlineItemModel::ancestorsOf(const Dict* item) const {
    ensureBuilt();
    std::vector<NodePtr> ancestors;
    const Node* node = nodeOf(item);
    if (!node || node == _root)
        return ancestors;
    for (const Node* up = node->parent; up != _root; up = up->parent)
        ancestors.push_back(up->item);
    std::reverse(ancestors.begin(), ancestors.end());
    return ancestors;
}

bool OutlineItemModel::comesBefore(const Dict* first, const Dict* second) const {
    ensureBuilt();
    const auto path = [this](const Dict* item) {
        std::vector<int> places;
        for (const Node* node = nodeOf(item); node && node != _root; node = node->parent)
            places.push_back(node->childIndex);
        std::reverse(places.begin(), places.end());
        return places;
    };
    return path(first) < path(second);
}

// Changes

void OutlineItemModel::itemsInserted(const NodePtr& parent, int first, int last) {
    if (!_built)
        return;
    Node* list = nodeOf(parent.get());
    const ArrayPtr stored = parent ? childrenOf(*parent) : nullptr;
    if (!list || !stored)
        return;
    forgetPastSearches();
    // The new nodes go before the first child stored after them that the list holds.
    size_t at = list->children.size();
    for (size_t i = size_t(last) + 1; i < stored->items.size(); ++i)
        if (const Node* next = nodeOf(stored->items[i].dictAddress()); next && next->parent == list) {
            at = size_t(next->childIndex);
            break;
        }
    std::vector<Node*> made;
    for (int i = first; i <= last && size_t(i) < stored->items.size(); ++i) {
        const Value& child = stored->items[size_t(i)];
        if (child.dictAddress() && !_nodes.contains(child.dictAddress()))
            made.push_back(buildSubtree(child.asDict(), list));
    }
    list->children.insert(list->children.begin() + qsizetype(at), made.begin(), made.end());
    renumberChildren(list, at);
    const KeyFilter keyFilter(*_rootItem);
    std::vector<Node*> dirty;
    for (Node* top : made) {
        std::vector<Node*> pending{top};
        while (!pending.empty()) {
            Node* node = pending.back();
            pending.pop_back();
            updateOwnFlags(node, keyFilter);
            pending.insert(pending.end(), node->children.begin(), node->children.end());
        }
        settle(top, dirty);
    }
    tellRows(std::move(dirty));
}

void OutlineItemModel::itemsAboutToBeRemoved(const NodePtr& parent, int first, int last) {
    if (!_built)
        return;
    Node* list = nodeOf(parent.get());
    const ArrayPtr stored = parent ? childrenOf(*parent) : nullptr;
    if (!list || !stored)
        return;
    forgetPastSearches();
    std::vector<Node*> leaving;
    std::vector<Node*> dirty;
    for (int i = first; i <= last && size_t(i) < stored->items.size(); ++i)
        if (Node* node = nodeOf(stored->items[size_t(i)].dictAddress()); node && node->parent == list) {
            node->leaving = true;
            reconsider(node, dirty);
            leaving.push_back(node);
        }
    tellRows(std::move(dirty));
    std::erase_if(list->children, [](const Node* child) { return child->leaving; });
    renumberChildren(list, 0);
    for (Node* node : leaving)
        freeSubtree(node);
}

void OutlineItemModel::itemsAboutToBeMoved(const NodePtr& from, int first, int last, const NodePtr& to,
                                           int destination) {
    if (!_built)
        return;
    Node* source = nodeOf(from.get());
    Node* target = nodeOf(to.get());
    const ArrayPtr stored = from ? childrenOf(*from) : nullptr;
    if (!source || !target || !stored)
        return;
    std::vector<Node*> moving;
    for (int i = first; i <= last && size_t(i) < stored->items.size(); ++i)
        if (Node* node = nodeOf(stored->items[size_t(i)].dictAddress()); node && node->parent == source)
            moving.push_back(node);
    // They go before the first child stored from the destination on that stays where it is.
    Node* anchor = nullptr;
    if (const ArrayPtr targetStored = childrenOf(*to))
        for (size_t i = size_t(destination); i < targetStored->items.size() && !anchor; ++i)
            if (Node* node = nodeOf(targetStored->items[i].dictAddress());
                node && node->parent == target &&
                std::find(moving.begin(), moving.end(), node) == moving.end())
                anchor = node;
    for (Node* node : moving)
        if (!moveTold(node, target, anchor))
            moveInLayout(node, target, anchor);
}

void OutlineItemModel::detachAndPlace(Node* node, Node* target, Node* anchor) {
    Node* source = node->parent;
    source->children.erase(source->children.begin() + node->childIndex);
    renumberChildren(source, size_t(node->childIndex));
    const size_t at = anchor ? size_t(anchor->childIndex) : target->children.size();
    target->children.insert(target->children.begin() + qsizetype(at), node);
    node->parent = target;
    renumberChildren(target, at);
}

bool OutlineItemModel::moveTold(Node* node, Node* target, Node* anchor) {
    Node* source = node->parent;
    // In place only when the row stays shown and neither list comes or goes with it.
    if (node->row < 0 || !node->shown || !isTold(source) || !isTold(target) ||
        (target != _root && !target->shown))
        return false;
    if (source != target && source != _root && !(!source->keyHidden && source->ownMatch) &&
        source->shownChildren <= 1)
        return false;
    // The row it goes before, among the rows told now.
    int destination = int(target->rows.size());
    for (size_t row = 0; row < target->rows.size(); ++row) {
        const Node* told = target->rows[row];
        if (told != node && anchor && told->childIndex >= anchor->childIndex) {
            destination = int(row);
            break;
        }
    }
    const int sourceRow = node->row;
    if (source == target && (destination == sourceRow || destination == sourceRow + 1)) {
        detachAndPlace(node, target, anchor);
        return true;
    }
    if (!beginMoveRows(indexOf(source, 0), sourceRow, sourceRow, indexOf(target, 0), destination))
        return false;
    detachAndPlace(node, target, anchor);
    if (source != target) {
        --source->shownChildren;
        ++target->shownChildren;
    }
    source->rows.erase(source->rows.begin() + sourceRow);
    renumberRows(source, size_t(sourceRow));
    const int at = source == target && destination > sourceRow ? destination - 1 : destination;
    target->rows.insert(target->rows.begin() + at, node);
    renumberRows(target, size_t(std::min(at, source == target ? sourceRow : at)));
    endMoveRows();
    return true;
}

void OutlineItemModel::moveInLayout(Node* node, Node* target, Node* anchor) {
    Node* source = node->parent;
    const QModelIndexList before = beginLayoutChange();
    std::vector<Node*> dirty{source, target};
    if (node->shown) {
        node->shown = false;
        --source->shownChildren;
        reconsider(source, dirty);
    }
    detachAndPlace(node, target, anchor);
    settle(node, dirty);
    retell(listsToRetell(dirty));
    endLayoutChange(before);
}

void OutlineItemModel::itemsRearranged(const std::vector<NodePtr>& parents) {
    if (!_built)
        return;
    forgetPastSearches();
    const QModelIndexList before = beginLayoutChange();
    const bool everyList = parents.empty();
    std::vector<Node*> lists;
    if (everyList) {
        lists.push_back(_root);
        forEachNode([&](Node* node) { lists.push_back(node); });
    } else {
        for (const NodePtr& parent : parents)
            if (Node* node = nodeOf(parent.get());
                node && std::find(lists.begin(), lists.end(), node) == lists.end())
                lists.push_back(node);
    }
    // The children of every list named are taken out, then each list takes its stored children back,
    // its own or another's, or new ones; those no list took left the tree.
    const quint32 loose = ++_epoch;
    for (Node* list : lists)
        for (Node* child : list->children)
            child->mark = loose;
    const KeyFilter keyFilter(*_rootItem);
    std::vector<Node*> made;
    for (Node* list : lists) {
        std::vector<Node*> children;
        if (const ArrayPtr stored = childrenOf(*list->item)) {
            children.reserve(stored->items.size());
            for (const Value& child : stored->items) {
                const Dict* address = child.dictAddress();
                if (!address)
                    continue;
                Node* node = nodeOf(address);
                if (!node) {
                    node = buildSubtree(child.asDict(), list);
                    made.push_back(node);
                } else if (node->mark == loose) {
                    node->mark = 0;
                    node->parent = list;
                } else {
                    continue; // held by a list not named, or twice: shown where it is
                }
                children.push_back(node);
            }
        }
        list->children = std::move(children);
        renumberChildren(list, 0);
        // A list named for a reshaping change holds new values too.
        if (!everyList && list != _root) {
            list->folded = false;
            updateOwnFlags(list, keyFilter);
        }
    }
    for (Node* top : made) {
        std::vector<Node*> pending{top};
        while (!pending.empty()) {
            Node* node = pending.back();
            pending.pop_back();
            updateOwnFlags(node, keyFilter);
            pending.insert(pending.end(), node->children.begin(), node->children.end());
        }
    }
    std::vector<Node*> gone;
    const bool settingsChanged = !everyList && std::find(lists.begin(), lists.end(), _root) != lists.end();
    forEachNode([&](Node* node) {
        if (node->mark == loose)
            gone.push_back(node);
        else if (settingsChanged)
            node->ownKeyHidden = keyFilter.hides(*node->item);
    });
    std::vector<Node*> dirty;
    settle(_root, dirty);
    // Every row is told afresh; a row still shown keeps its node, and so its indexes.
    const quint32 toldBefore = ++_epoch;
    forEachNode([&](Node* node) {
        if (node->row >= 0)
            node->mark = toldBefore;
    });
    untellSubtree(_root);
    tellSubtree(_root);
    forEachNode([&](Node* node) {
        if (node->row >= 0 && node->mark != toldBefore)
            _appeared.push_back(node);
    });
    endLayoutChange(before);
    for (Node* node : gone)
        freeSubtree(node);
    if (!everyList)
        for (const Node* list : lists)
            if (list != _root && list->row >= 0)
                emit dataChanged(indexOf(list, 0), indexOf(list, columnCount() - 1));
    if (settingsChanged && !_typed)
        runSearch(searchText());
}

void OutlineItemModel::itemChanged(const NodePtr& item, const QStringList& keys) {
    if (!_built)
        return;
    Node* node = nodeOf(item.get());
    if (!node)
        return;
    if (node == _root) {
        listSettingsChanged(keys);
        return;
    }
    if (changesSearchedText(keys)) {
        node->folded = false;
        forgetPastSearches();
    }
    updateOwnFlags(node, KeyFilter(*_rootItem));
    std::vector<Node*> dirty;
    settle(node, dirty);
    tellRows(dirty);
    if (node->row >= 0)
        emit dataChanged(indexOf(node, 0), indexOf(node, columnCount() - 1), rolesChangedBy(keys));
}

void OutlineItemModel::listSettingsChanged(const QStringList& keys) {
    if (keys.isEmpty() || keys.contains(key::filterKey) || keys.contains(key::filterValue))
        keyFilterChanged();
    if (!_typed && (keys.isEmpty() || keys.contains(key::filterTerm)))
        runSearch(searchText());
}

void OutlineItemModel::keyFilterChanged() {
    if (!_built)
        return;
    const KeyFilter keyFilter(*_rootItem);
    forEachNode([&](Node* node) { node->ownKeyHidden = keyFilter.hides(*node->item); });
    std::vector<Node*> dirty;
    settle(_root, dirty);
    tellRows(dirty);
}

void OutlineItemModel::rowsNeedRedrawing() {
    if (_built && !_root->rows.empty())
        emit dataChanged(indexOf(_root->rows.front(), 0), indexOf(_root->rows.back(), columnCount() - 1));
}

// Search

QString OutlineItemModel::searchText() const {
    return _typed ? *_typed : stringOf(*_rootItem, key::filterTerm);
}

void OutlineItemModel::setTypedSearch(const std::optional<QString>& typed) {
    _typed = typed;
    runSearch(searchText());
}

const ItemSearch* OutlineItemModel::searchMatching(const Dict& item) const {
    ensureBuilt();
    if (_searches.empty())
        return nullptr;
    const Node* node = nodeOf(&item);
    return node && node->ownMatch && !node->keyHidden ? &_searches.back().words : nullptr;
}

bool OutlineItemModel::searchHides(const Dict& item) const {
    ensureBuilt();
    if (_searches.empty())
        return false;
    const Node* node = nodeOf(&item);
    return node && !node->keyHidden && !node->shown;
}

void OutlineItemModel::forgetPastSearches() {
    if (_searches.empty())
        return;
    _searches.erase(_searches.begin(), _searches.end() - 1);
    _searches.back().matches.clear();
    _searches.back().matchesKnown = false;
}

const std::vector<OutlineItemModel::Node*>& OutlineItemModel::currentMatches() {
    Search& current = _searches.back();
    if (!current.matchesKnown) {
        current.matches.clear();
        forEachNode([&](Node* node) {
            if (node->ownMatch)
                current.matches.push_back(node);
        });
        current.matchesKnown = true;
    }
    return current.matches;
}

void OutlineItemModel::runSearch(const QString& text) {
    if (!_built)
        return; // the search is found when the model is
    const ItemSearch words(text);
    if (words.isEmpty()) {
        if (_searches.empty())
            return;
        _searches.clear();
        forEachNode([](Node* node) { node->ownMatch = true; });
        std::vector<Node*> dirty;
        settle(_root, dirty);
        tellRows(dirty);
        return;
    }
    if (!_searches.empty() && _searches.back().text == text)
        return;
    // Back to the last search typed that this one narrows: each one after it showed part of what
    // it showed.
    if (!_searches.empty())
        currentMatches();
    while (!_searches.empty() && !words.narrows(_searches.back().words))
        _searches.pop_back();
    if (_searches.empty()) {
        searchEverything(text, words);
        return;
    }
    std::vector<Node*> dirty;
    Search& previous = _searches.back();
    if (previous.text == text) {
        // A deleted letter: what it showed comes back.
        for (Node* node : previous.matches)
            if (!node->ownMatch) {
                node->ownMatch = true;
                reconsider(node, dirty);
            }
    } else {
        // A narrower search reads only the previous one's matches.
        Search narrower{text, words, {}, true};
        for (Node* node : previous.matches) {
            const bool matches = matchesWords(node, words);
            if (matches)
                narrower.matches.push_back(node);
            if (matches != node->ownMatch) {
                node->ownMatch = matches;
                reconsider(node, dirty);
            }
        }
        _searches.push_back(std::move(narrower));
    }
    tellRows(dirty);
}

void OutlineItemModel::searchEverything(const QString& text, const ItemSearch& words) {
    Search search{text, words, {}, true};
    forEachNode([&](Node* node) {
        node->ownMatch = matchesWords(node, words);
        if (node->ownMatch)
            search.matches.push_back(node);
    });
    _searches = {std::move(search)};
    std::vector<Node*> dirty;
    settle(_root, dirty);
    tellRows(dirty);
}

} // namespace tardigo
