#include "window/outline_model.h"

#include "appearance/icon_for_name.h"
#include "appearance/item_appearance.h"
#include "dates/due_date_format.h"
#include "document/item_mime_data.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_columns.h"
#include "window/row_status_text.h"

#include <QDateTime>
#include <QIcon>
#include <QMimeData>
#include <QSet>

#include <algorithm>

namespace tardigo {

namespace {

// More changes than this in one synchronization go to the view as one layout change: each inserted
// or removed range makes the view and its persistent indexes do work of their own.
constexpr size_t kMostRangesRowByRow = 16;
// Lists up to this many items, old and new together, are compared by scanning them.
constexpr qsizetype kLongestScannedList = 64;

/// The list's items that are nodes; anything else in a children array is not shown.
ArrayPtr nodesOf(const Array& list) {
    ArrayPtr nodes = Array::create();
    nodes->items.reserve(list.items.size());
    for (const Value& item : list.items)
        if (item.dictAddress())
            nodes->items.push_back(item);
    return nodes;
}

/// The told list of every item without children: one list, so that a layout asking each leaf for
/// its rows finds it in the cache. Never changed: a told list about to change is made its own first.
const ArrayPtr& emptyToldList() {
    static const ArrayPtr empty = Array::create();
    return empty;
}

/// Whether the stored list holds the told nodes in the same order (besides anything not a node).
bool sameNodes(const Array& told, const Array& stored) {
    auto next = stored.items.begin();
    for (const Value& item : told.items) {
        while (next != stored.items.end() && !next->dictAddress())
            ++next;
        if (next == stored.items.end() || next->dictAddress() != item.dictAddress())
            return false;
        ++next;
    }
    while (next != stored.items.end() && !next->dictAddress())
        ++next;
    return next == stored.items.end();
}

/// Ranges of consecutive positions whose items `isMember` does not take.
template <typename IsMember>
std::vector<std::pair<qsizetype, qsizetype>> rangesNotIn(const Array& list, const IsMember& isMember) {
    std::vector<std::pair<qsizetype, qsizetype>> ranges;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (isMember(list.items[size_t(i)].dictAddress()))
            continue;
        if (!ranges.empty() && ranges.back().second == i - 1)
            ranges.back().second = i;
        else
            ranges.emplace_back(i, i);
    }
    return ranges;
}

// An index identifier is a place's slot with its generation above it, so that a slot given to another
// item no longer answers to the identifiers of the item it held before.
constexpr int kSlotBits = sizeof(quintptr) >= 8 ? 32 : 24;
constexpr quintptr kSlotMask = (quintptr(1) << kSlotBits) - 1;

/// The flags of each column's cells: the view asks for them at every row of every layout.
const std::vector<Qt::ItemFlags>& columnFlags() {
    static const std::vector<Qt::ItemFlags> flags = [] {
        std::vector<Qt::ItemFlags> all;
        for (const QString& identifier : outlineColumnIdentifiers()) {
            Qt::ItemFlags cell =
                Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
            if (isOutlineColumnTypedIn(identifier))
                cell |= Qt::ItemIsEditable;
            all.push_back(cell);
        }
        return all;
    }();
    return flags;
}

} // namespace

OutlineModel::OutlineModel(OutlineDataSource& dataSource, QObject* parent)
    : QAbstractItemModel(parent), _dataSource(dataSource), _places(1) {}

// The places and lists the view was told

quintptr OutlineModel::idOf(Slot slot) const {
    return (quintptr(_places[slot].generation) << kSlotBits) | slot;
}

OutlineModel::Slot OutlineModel::slotOfId(quintptr id) const {
    if (id == 0)
        return kRootSlot;
    const Slot slot = Slot(id & kSlotMask);
    if (slot == kRootSlot || slot >= _places.size() || !_places[slot].item || idOf(slot) != id)
        return kNoSlot;
    return slot;
}

OutlineModel::Slot OutlineModel::slotOfIndex(const QModelIndex& index) const {
    // Only the place table is consulted: an index from before a change must not reach its node.
    return index.isValid() ? slotOfId(index.internalId()) : kRootSlot;
}

OutlineModel::Slot OutlineModel::slotOfItem(const Dict* item) const {
    if (!item)
        return kRootSlot;
    const Slot slot = _slotOf.value(item, kNoSlot);
    return slot != kNoSlot && _places[slot].item.get() == item ? slot : kNoSlot;
}

QModelIndex OutlineModel::indexForSlot(Slot slot, int column) const {
    return createIndex(_places[slot].row, column, idOf(slot));
}

OutlineModel::Slot OutlineModel::placeAt(const Value& item, Slot parent, int row) const {
    const Dict* address = item.dictAddress();
    Slot slot = _slotOf.value(address, kNoSlot);
    if (slot == kNoSlot || _places[slot].item.get() != address) { // none, or a stale entry
        if (_freeSlots.empty()) {
            slot = Slot(_places.size());
            _places.emplace_back();
        } else {
            slot = _freeSlots.back();
            _freeSlots.pop_back();
        }
        _places[slot].item = item.asDict();
        _slotOf.insert(address, slot);
    }
    // The item's own list stays: it moved, its children did not.
    Place& place = _places[slot];
    place.parent = idOf(parent);
    place.row = row;
    return slot;
}

const ArrayPtr& OutlineModel::toldList(Slot owner) const {
    Place& place = _places[owner];
    if (!place.children) {
        // A copy: the stored list changes before the view hears of it, and until synchronize()
        // the view must be answered as it was told.
        const ArrayPtr stored = _dataSource.visibleChildren(place.item);
        place.children = stored->items.empty() ? emptyToldList() : nodesOf(*stored);
        place.childSlots.assign(size_t(place.children->size()), kNoSlot);
    }
    return place.children;
}

Array& OutlineModel::changingList(Slot owner) {
    Place& place = _places[owner];
    if (place.children == emptyToldList())
        place.children = Array::create();
    return *place.children;
}

ArrayPtr OutlineModel::childrenOf(const NodePtr& item) const {
    const Slot slot = slotOfItem(item.get());
    if (slot == kNoSlot)
        return nodesOf(*_dataSource.visibleChildren(item)); // the view knows nothing of it
    return toldList(slot);
}

OutlineModel::Slot OutlineModel::knownList(const NodePtr& owner) const {
    const Slot slot = slotOfItem(owner.get());
    return slot != kNoSlot && _places[slot].children ? slot : kNoSlot;
}

OutlineModel::Slot OutlineModel::knownList(quintptr owner) const {
    const Slot slot = slotOfId(owner);
    return slot != kNoSlot && _places[slot].children ? slot : kNoSlot;
}

OutlineModel::Slot OutlineModel::childSlot(Slot owner, size_t row) const {
    const Place& place = _places[owner];
    const Dict* child = place.children->items[row].dictAddress();
    const Slot slot = place.childSlots[row];
    // A slot noted for the row may have been given to another item since.
    if (slot != kNoSlot && _places[slot].item.get() == child)
        return slot;
    return slotOfItem(child);
}

void OutlineModel::prefetchPlace(Slot slot) const {
    if (slot < _places.size())
        __builtin_prefetch(&_places[slot]);
}

QModelIndex OutlineModel::indexOfItem(const Dict* item, int column) const {
    const Slot slot = item ? slotOfItem(item) : kNoSlot;
    return slot == kNoSlot ? QModelIndex() : indexForSlot(slot, column);
}

// The Qt model

QModelIndex OutlineModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= columnCount() || (parent.isValid() && parent.column() != 0))
        return {};
    const Slot owner = slotOfIndex(parent);
    if (owner == kNoSlot)
        return {};
    const Array& children = *toldList(owner);
    if (row >= children.size())
        return {};
    // The view asks for every row at every layout: a place noted for the row costs no lookup.
    const std::vector<Slot>& childSlots = _places[owner].childSlots;
    // It asks in row order, and the places lie anywhere in memory: the place a few rows on is
    // fetched meanwhile.
    if (const size_t ahead = size_t(row) + 8; ahead < childSlots.size())
        prefetchPlace(childSlots[ahead]);
    Slot slot = childSlots[size_t(row)];
    const Place* known = slot == kNoSlot ? nullptr : &_places[slot];
    if (!known || known->item.get() != children.items[size_t(row)].dictAddress() || known->row != row ||
        known->parent != idOf(owner)) {
        slot = placeAt(children.items[size_t(row)], owner, row);
        _places[owner].childSlots[size_t(row)] = slot;
    }
    return createIndex(row, column, idOf(slot));
}

QModelIndex OutlineModel::parent(const QModelIndex& child) const {
    const Slot slot = slotOfIndex(child);
    if (slot == kNoSlot || slot == kRootSlot)
        return {};
    const quintptr parentId = _places[slot].parent;
    const Slot parentSlot = slotOfId(parentId);
    if (parentSlot == kNoSlot || parentSlot == kRootSlot)
        return {};
    return createIndex(_places[parentSlot].row, 0, parentId);
}

NodePtr OutlineModel::itemForIndex(const QModelIndex& index) const {
    const Slot slot = slotOfIndex(index);
    return slot == kNoSlot ? nullptr : _places[slot].item; // the root's is null
}

int OutlineModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    const Slot slot = slotOfIndex(parent);
    return slot == kNoSlot ? 0 : int(toldList(slot)->size());
}

int OutlineModel::columnCount(const QModelIndex&) const {
    return int(outlineColumnIdentifiers().size());
}

bool OutlineModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant OutlineModel::displayData(const NodePtr& item, const QString& identifier) const {
    if (identifier == key::notes)
        return _notesCache.firstLine(item);
    const CellValue value = _dataSource.cellValue(identifier, item);
    if (const QDateTime* date = std::get_if<QDateTime>(&value))
        return formatDueDate(*date);
    const Value* stored = std::get_if<Value>(&value);
    if (!stored || identifier == key::icon)
        return {};
    if (const QString* text = stored->asString())
        return *text;
    if (const Number* number = stored->asNumber(); number && identifier == key::completion)
        return QStringLiteral("%1%").arg(qRound(boundedCompletion(number->toDouble()) * 100.0));
    return {};
}

QVariant OutlineModel::data(const QModelIndex& index, int role) const {
    const NodePtr item = itemForIndex(index);
    if (!item)
        return {};
    const QString& identifier = outlineColumnIdentifiers().at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return displayData(item, identifier);
    case Qt::EditRole: {
        if (identifier == key::due) {
            const CellValue value = _dataSource.cellValue(identifier, item);
            const QDateTime* date = std::get_if<QDateTime>(&value);
            return date ? QVariant(*date) : QVariant();
        }
        return identifier == key::name || identifier == key::category ? displayData(item, identifier)
                                                                      : QVariant();
    }
    case Qt::DecorationRole: {
        if (identifier != key::icon)
            return {};
        const CellValue value = _dataSource.cellValue(identifier, item);
        const Value* name = std::get_if<Value>(&value);
        const QString* text = name ? name->asString() : nullptr;
        return text ? QVariant(iconForName(*text)) : QVariant();
    }
    case Qt::FontRole:
        return itemFont(item.get());
    case Qt::ForegroundRole:
        if (identifier == key::name)
            if (const std::optional<QColor> color = itemColor(*item))
                return *color;
        return {};
    case Qt::ToolTipRole:
        return identifier == key::notes ? _notesCache.firstLine(item) : QVariant();
    case Qt::AccessibleTextRole:
        // The icon says the status to the eye only; a screen reader reads the cell's text.
        return identifier == key::icon ? rowStatusText(*item) : QVariant();
    case CompletionRole: {
        const Number* completion = item->value(key::completion).asNumber();
        return completion ? boundedCompletion(completion->toDouble()) : 0.0;
    }
    default:
        return {};
    }
}

bool OutlineModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const NodePtr item = itemForIndex(index);
    if (!item || role != Qt::EditRole)
        return false;
    const QString& identifier = outlineColumnIdentifiers().at(index.column());
    CellValue cell;
    if (identifier == key::due && value.typeId() == QMetaType::QString) {
        return _dataSource.setDueDateText(value.toString(), item);
    } else if (identifier == key::due) {
        if (const QDateTime date = value.toDateTime(); date.isValid())
            cell = date;
    } else if (identifier == key::completion) {
        cell = Value::float32(value.toDouble());
    } else if (identifier == key::name || identifier == key::category) {
        cell = Value(value.toString());
    } else {
        return false;
    }
    _dataSource.setCellValue(cell, identifier, item);
    return true;
}

Qt::ItemFlags OutlineModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled; // below the last row: the top level
    return columnFlags().at(size_t(index.column()));
}

QVariant OutlineModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const QString& identifier = outlineColumnIdentifiers().at(section);
    if (role == Qt::DisplayRole)
        return outlineColumnTitle(identifier);
    if (role == Qt::ToolTipRole && identifier == key::icon)
        return outlineColumnTitle(key::icon);
    if (role == Qt::AccessibleTextRole && identifier == key::icon)
        return tr("Status"); // the icon column has no title to read
    return {};
}

QStringList OutlineModel::mimeTypes() const {
    return {kItemsMimeType, QStringLiteral("text/plain")};
}

QMimeData* OutlineModel::mimeData(const QModelIndexList& indexes) const {
    // Each row once, in row order, told by its path from the top.
    std::vector<std::pair<std::vector<int>, NodePtr>> rows;
    QSet<const Dict*> seen;
    for (const QModelIndex& index : indexes) {
        const NodePtr item = itemForIndex(index);
        if (!item || seen.contains(item.get()))
            continue;
        seen.insert(item.get());
        std::vector<int> path;
        for (QModelIndex level = index; level.isValid(); level = level.parent())
            path.insert(path.begin(), level.row());
        rows.emplace_back(std::move(path), item);
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<NodePtr> items;
    for (auto& [path, item] : rows)
        items.push_back(std::move(item));
    return _dataSource.dragData(items).release();
}

bool OutlineModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                const QModelIndex& parent) {
    return data && _dataSource.acceptDrop(*data, itemForIndex(parent), row);
}

Qt::DropActions OutlineModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions OutlineModel::supportedDragActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

void OutlineModel::showNewTree() {
    beginResetModel();
    _slotOf.clear();
    _freeSlots.clear();
    for (Slot slot = Slot(_places.size()); slot-- > 0;) {
        Place& place = _places[slot];
        place.children.reset();
        place.childSlots = {};
        if (slot == kRootSlot)
            continue;
        if (place.item)
            ++place.generation;
        place.item.reset();
        _freeSlots.push_back(slot); // the first slots are given out first, in the order asked
    }
    _notesCache.clear();
    endResetModel();
}

// Synchronization

std::vector<NodePtr> OutlineModel::synchronize() {
    std::vector<ListChange> changes;
    for (Slot slot = 0; slot < _places.size(); ++slot)
        if (_places[slot].children) // a free slot has none
            if (std::optional<ListChange> change = changeOf(slot))
                changes.push_back(std::move(*change));
    return apply(changes);
}

std::vector<NodePtr> OutlineModel::synchronize(const std::vector<NodePtr>& owners) {
    std::vector<ListChange> changes;
    QSet<const Dict*> asked;
    for (const NodePtr& owner : owners) {
        if (asked.contains(owner.get()))
            continue;
        asked.insert(owner.get());
        if (const Slot slot = knownList(owner); slot != kNoSlot) // a list never asked for has nothing to tell
            if (std::optional<ListChange> change = changeOf(slot))
                changes.push_back(std::move(*change));
    }
    return apply(changes);
}

std::optional<OutlineModel::ListChange> OutlineModel::changeOf(Slot owner) const {
    const Array& told = *_places[owner].children;
    const ArrayPtr stored = _dataSource.visibleChildren(_places[owner].item);
    if (sameNodes(told, *stored))
        return std::nullopt;
    ArrayPtr fresh = nodesOf(*stored);
    // Most lists are short: there a scan costs less than building tables.
    const bool scan = told.size() + fresh->size() <= kLongestScannedList;
    QHash<const Dict*, qsizetype> freshPlaces;
    QSet<const Dict*> toldNodes;
    if (!scan) {
        freshPlaces.reserve(fresh->size());
        for (qsizetype i = 0; i < fresh->size(); ++i)
            freshPlaces.insert(fresh->items[size_t(i)].dictAddress(), i);
        toldNodes.reserve(told.size());
        for (const Value& item : told.items)
            toldNodes.insert(item.dictAddress());
    }
    const auto placeInFresh = [&](const Dict* item) -> qsizetype {
        if (!scan)
            return freshPlaces.value(item, -1);
        const auto found = std::find_if(fresh->items.begin(), fresh->items.end(),
                                        [&](const Value& value) { return value.dictAddress() == item; });
        return found == fresh->items.end() ? -1 : found - fresh->items.begin();
    };
    const auto wasTold = [&](const Dict* item) {
        if (!scan)
            return toldNodes.contains(item);
        return std::any_of(told.items.begin(), told.items.end(),
                           [&](const Value& value) { return value.dictAddress() == item; });
    };
    ListChange change{idOf(owner), fresh, {}, {}, true};
    qsizetype lastPlace = -1;
    for (const Value& item : told.items) {
        const qsizetype place = placeInFresh(item.dictAddress());
        if (place < 0)
            continue;
        change.inOrder = change.inOrder && place > lastPlace;
        lastPlace = place;
    }
    change.left = rangesNotIn(told, [&](const Dict* item) { return placeInFresh(item) >= 0; });
    change.came = rangesNotIn(*fresh, wasTold);
    return change;
}

std::vector<NodePtr> OutlineModel::apply(const std::vector<ListChange>& changes) {
    if (changes.empty())
        return {};
    size_t ranges = 0;
    bool inOrder = true;
    for (const ListChange& change : changes) {
        ranges += change.left.size() + change.came.size();
        inOrder = inOrder && change.inOrder;
    }
    std::vector<NodePtr> came;
    if (inOrder && ranges <= kMostRangesRowByRow)
        applyRowByRow(changes, came);
    else
        applyAsLayoutChange(changes, came);
    return came;
}

void OutlineModel::applyRowByRow(const std::vector<ListChange>& changes, std::vector<NodePtr>& came) {
    // Every list loses its rows before any list gains some: a row that moved to another parent is
    // forgotten where it left before it is placed where it came.
    for (const ListChange& change : changes) {
        const Slot owner = knownList(change.owner);
        if (owner == kNoSlot)
            continue; // it left the view with an ancestor
        const QModelIndex parent = owner == kRootSlot ? QModelIndex() : indexForSlot(owner, 0);
        for (auto range = change.left.rbegin(); range != change.left.rend(); ++range) {
            const auto [first, last] = *range;
            beginRemoveRows(parent, int(first), int(last));
            for (qsizetype i = first; i <= last; ++i)
                forgetChild(owner, size_t(i));
            std::vector<Value>& told = changingList(owner).items;
            told.erase(told.begin() + first, told.begin() + last + 1);
            std::vector<Slot>& childSlots = _places[owner].childSlots;
            childSlots.erase(childSlots.begin() + first, childSlots.begin() + last + 1);
            renumber(owner, size_t(first));
            endRemoveRows();
        }
    }
    for (const ListChange& change : changes) {
        const Slot owner = knownList(change.owner);
        if (owner == kNoSlot)
            continue;
        const QModelIndex parent = owner == kRootSlot ? QModelIndex() : indexForSlot(owner, 0);
        for (const auto& [first, last] : change.came) {
            beginInsertRows(parent, int(first), int(last));
            const auto from = change.fresh->items.begin() + first;
            const auto to = change.fresh->items.begin() + last + 1;
            std::vector<Value>& told = changingList(owner).items;
            told.insert(told.begin() + first, from, to);
            std::vector<Slot>& childSlots = _places[owner].childSlots;
            childSlots.insert(childSlots.begin() + first, size_t(last - first + 1), kNoSlot);
            // The rows that came get places now, so that the view can open those it remembers.
            for (qsizetype row = first; row <= last; ++row) {
                const Slot slot = placeAt(told[size_t(row)], owner, int(row));
                _places[owner].childSlots[size_t(row)] = slot;
            }
            renumber(owner, size_t(last + 1));
            endInsertRows();
            for (auto item = from; item != to; ++item)
                came.push_back(item->asDict());
        }
    }
}

void OutlineModel::applyAsLayoutChange(const std::vector<ListChange>& changes, std::vector<NodePtr>& came) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    // A row that moved to another parent stays known: only what is shown nowhere now is forgotten.
    QSet<const Dict*> shownAgain;
    for (const ListChange& change : changes)
        for (const auto& [first, last] : change.came)
            for (qsizetype i = first; i <= last; ++i)
                shownAgain.insert(change.fresh->items[size_t(i)].dictAddress());
    std::vector<quintptr> replaced;
    for (const ListChange& change : changes) {
        const Slot owner = knownList(change.owner);
        if (owner == kNoSlot)
            continue;
        for (const auto& [first, last] : change.left)
            for (qsizetype i = first; i <= last; ++i)
                if (!shownAgain.contains(_places[owner].children->items[size_t(i)].dictAddress()))
                    forgetChild(owner, size_t(i));
        for (const auto& [first, last] : change.came)
            for (qsizetype i = first; i <= last; ++i)
                came.push_back(change.fresh->items[size_t(i)].asDict());
        changingList(owner).items.swap(change.fresh->items); // the fresh list is not read again
        _places[owner].childSlots.assign(size_t(_places[owner].children->size()), kNoSlot);
        replaced.push_back(change.owner);
    }
    // Places last, so that a row that moved keeps the place its new parent gives it; a list whose
    // owner left the view meanwhile is not placed.
    for (const quintptr owner : replaced)
        if (const Slot slot = knownList(owner); slot != kNoSlot)
            findChildSlots(slot);
    movePersistentIndexes(before);
    emit layoutChanged();
}

void OutlineModel::movePersistentIndexes(const QModelIndexList& before) {
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        // The places lie anywhere in memory: the one a few indexes on is fetched meanwhile.
        if (i + 8 < before.size())
            prefetchPlace(Slot(before[i + 8].internalId() & kSlotMask));
        const Slot slot = slotOfIndex(before[i]);
        after.append(slot == kNoSlot || slot == kRootSlot ? QModelIndex()
                                                          : indexForSlot(slot, before[i].column()));
    }
    changePersistentIndexList(before, after);
}

std::vector<NodePtr> OutlineModel::dropRows(const std::vector<NarrowedList>& lists) {
    std::vector<std::pair<Slot, const NarrowedList*>> known;
    for (const NarrowedList& list : lists) {
        // A list never asked for has nothing to tell.
        if (const Slot slot = knownList(list.owner); slot != kNoSlot)
            known.emplace_back(slot, &list);
    }
    if (known.empty())
        return {};
    // The table's order, which a layout walks; a list once, though a tree holding a node twice
    // names it twice.
    std::sort(known.begin(), known.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    known.erase(std::unique(known.begin(), known.end(),
                            [](const auto& a, const auto& b) { return a.first == b.first; }),
                known.end());
    std::vector<NodePtr> unmatched;
    std::vector<char> staying; // by row of each list in turn
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    for (size_t i = 0; i < known.size(); ++i) {
        prefetchListsAfter(known, i);
        const auto& [owner, list] = known[i];
        if (!_places[owner].children)
            continue; // it left the view with an ancestor meanwhile
        if (!rowsThatStay(*_places[owner].children, *list, staying)) {
            unmatched.push_back(list->owner);
            continue;
        }
        // Each row that stays moves up over those that left, with its place.
        std::vector<Value>& told = changingList(owner).items;
        std::vector<Slot>& childSlots = _places[owner].childSlots;
        // The places and the items of a list lie anywhere in memory: asked for all at once, they
        // come together rather than one after the other.
        for (size_t row = 0; row < told.size(); ++row) {
            prefetchPlace(childSlots[row]);
            if (!staying[row])
                __builtin_prefetch(told[row].dictAddress());
        }
        size_t kept = 0;
        for (size_t row = 0; row < told.size(); ++row) {
            if (!staying[row]) {
                forgetChild(owner, row);
                continue;
            }
            if (kept != row) {
                told[kept] = std::move(told[row]);
                childSlots[kept] = childSlots[row];
            }
            ++kept;
        }
        told.resize(kept);
        childSlots.resize(kept);
        renumber(owner, 0);
    }
    movePersistentIndexes(before);
    emit layoutChanged();
    return unmatched;
}

void OutlineModel::prefetchListsAfter(const std::vector<std::pair<Slot, const NarrowedList*>>& lists,
                                      size_t current) const {
    // A told list lies behind its place and its array, anywhere in memory: each step of the way
    // is fetched for a later list while the current one is read, rather than waited for in turn.
    if (current + 2 < lists.size())
        if (const Array* later = _places[lists[current + 2].first].children.get())
            __builtin_prefetch(later);
    if (current + 1 < lists.size()) {
        const Place& next = _places[lists[current + 1].first];
        if (next.children) {
            __builtin_prefetch(next.children->items.data());
            __builtin_prefetch(next.childSlots.data());
        }
    }
}

bool OutlineModel::rowsThatStay(const Array& told, const NarrowedList& list, std::vector<char>& staying) {
    staying.resize(size_t(told.size()));
    auto next = list.shownBefore.begin();
    for (size_t row = 0; row < staying.size(); ++row) {
        const Dict* item = told.items[row].dictAddress();
        next = std::find_if(next, list.shownBefore.end(),
                            [item](const NarrowedList::Child& child) { return child.item == item; });
        if (next == list.shownBefore.end())
            return false;
        staying[row] = next->stays;
        ++next;
    }
    return true;
}

void OutlineModel::forgetChild(Slot owner, size_t row) {
    std::vector<Slot>& pending = _forgetting;
    if (const Slot slot = childSlot(owner, row); slot != kNoSlot)
        pending.push_back(slot);
    while (!pending.empty()) {
        const Slot next = pending.back();
        pending.pop_back();
        if (!_places[next].item)
            continue; // met twice in a tree that holds a node twice
        if (_places[next].children)
            for (size_t i = 0; i < _places[next].childSlots.size(); ++i)
                if (const Slot child = childSlot(next, i); child != kNoSlot)
                    pending.push_back(child);
        freeSlot(next);
    }
    dropStaleAddresses();
}

void OutlineModel::freeSlot(Slot slot) {
    Place& place = _places[slot];
    place.item.reset();
    place.children.reset();
    place.childSlots = {};
    ++place.generation;
    _freeSlots.push_back(slot);
}

void OutlineModel::dropStaleAddresses() {
    const qsizetype live = qsizetype(_places.size() - 1 - _freeSlots.size());
    if (_slotOf.size() <= 2 * live + 1024)
        return;
    _slotOf.clear();
    _slotOf.reserve(live);
    for (Slot slot = kRootSlot + 1; slot < _places.size(); ++slot)
        if (const Dict* item = _places[slot].item.get())
            _slotOf.insert(item, slot);
}

void OutlineModel::renumber(Slot owner, size_t first) {
    const quintptr ownerId = idOf(owner);
    const Place& list = _places[owner];
    for (size_t row = first; row < list.childSlots.size(); ++row) {
        const Slot slot = list.childSlots[row];
        // Only a place this list gave: a slot noted here may belong to another item or list by now.
        if (slot == kNoSlot || _places[slot].parent != ownerId ||
            _places[slot].item.get() != list.children->items[row].dictAddress())
            continue;
        _places[slot].row = int(row);
    }
}

void OutlineModel::findChildSlots(Slot owner) {
    const size_t count = size_t(_places[owner].children->size());
    for (size_t row = 0; row < count; ++row) {
        // Read again each time: a new place may move the table.
        const Slot slot = placeAt(_places[owner].children->items[row], owner, int(row));
        _places[owner].childSlots[row] = slot;
    }
}

void OutlineModel::itemChanged(const NodePtr& item) {
    _notesCache.invalidate(item.get());
    const Slot slot = item ? slotOfItem(item.get()) : kNoSlot;
    if (slot == kNoSlot)
        return;
    emit dataChanged(indexForSlot(slot, 0), indexForSlot(slot, columnCount() - 1));
}

} // namespace tardigo
