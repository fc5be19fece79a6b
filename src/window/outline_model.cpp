#include "window/outline_model.h"

#include "document/due_date_format.h"
#include "document/item_mime_data.h"
#include "document/outline_columns.h"
#include "model/keys.h"
#include "window/icon_for_name.h"
#include "window/item_appearance.h"

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

} // namespace

OutlineModel::OutlineModel(OutlineDataSource& dataSource, QObject* parent)
    : QAbstractItemModel(parent), _dataSource(dataSource) {}

// The places and lists the view was told

const ArrayPtr& OutlineModel::toldList(const NodePtr& owner, ArrayPtr& told) const {
    if (!told) {
        // A copy: the stored list changes before the view hears of it, and until synchronize()
        // the view must be answered as it was told.
        const ArrayPtr stored = _dataSource.filteredChildrenOfItem(owner);
        told = stored->items.empty() ? emptyToldList() : nodesOf(*stored);
    }
    return told;
}

ArrayPtr OutlineModel::changingList(ArrayPtr& told) {
    if (told == emptyToldList()) {
        told = Array::create();
        _lastAskedParent = {};
    }
    return told;
}

ArrayPtr OutlineModel::childrenOf(const NodePtr& item) const {
    if (!item)
        return toldList(nullptr, _rootList);
    const auto place = _places.find(item.get());
    if (place == _places.end())
        return nodesOf(*_dataSource.filteredChildrenOfItem(item)); // the view knows nothing of it
    return toldList(place->item, place->children);
}

ArrayPtr* OutlineModel::knownList(const NodePtr& owner) {
    if (!owner)
        return &_rootList;
    const auto place = _places.find(owner.get());
    return place == _places.end() || !place->children ? nullptr : &place->children;
}

QModelIndex OutlineModel::indexAt(const NodePtr& item, const NodePtr& parent, int row, int column) const {
    return item ? indexForPlace(placeAt(Value(item), parent, row), column) : QModelIndex();
}

OutlineModel::Place& OutlineModel::placeAt(const Value& item, const NodePtr& parent, int row) const {
    // Found by address: shares are taken only for a new place or a new parent, as a layout or a
    // renumbering passes every row and each share touches the node's counter, far off in memory.
    const auto place = _places.find(item.dictAddress());
    if (place == _places.end())
        return *_places.insert(item.dictAddress(), Place{item.asDict(), parent, row, nullptr});
    // The item's own list stays: it moved, its children did not.
    if (place->parent != parent)
        place->parent = parent;
    place->row = row;
    return *place;
}

QModelIndex OutlineModel::indexOfItem(const Dict* item, int column) const {
    const auto found = _places.constFind(item);
    return found == _places.constEnd() ? QModelIndex() : indexForPlace(*found, column);
}

QModelIndex OutlineModel::indexForPlace(const Place& place, int column) const {
    return createIndex(place.row, column, place.item.get());
}

OutlineModel::Place* OutlineModel::placeOf(const QModelIndex& index) const {
    // Only the place table is consulted: an index from before a change must not reach its node.
    if (!index.isValid())
        return nullptr;
    const auto found = _places.find(static_cast<const Dict*>(index.internalPointer()));
    return found == _places.end() ? nullptr : &*found;
}

const Array* OutlineModel::listBelow(const QModelIndex& parent) const {
    if (!parent.isValid())
        return toldList(nullptr, _rootList).get();
    Place* place = placeOf(parent);
    return place ? toldList(place->item, place->children).get() : nullptr;
}

// The Qt model

QModelIndex OutlineModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= columnCount() || (parent.isValid() && parent.column() != 0))
        return {};
    const Array* children = nullptr;
    if (!parent.isValid()) {
        children = listBelow(parent);
    } else if (parent.internalPointer() == _lastAskedParent.parent) {
        children = _lastAskedParent.list;
    } else if (Place* parentPlace = placeOf(parent)) {
        children = toldList(parentPlace->item, parentPlace->children).get();
        _lastAskedParent = {parent.internalPointer(), children};
    }
    if (!children || row >= children->size())
        return {};
    const Value& child = children->items[size_t(row)];
    // The view asks for every row at every layout: a place that is known already costs no copy.
    const auto place = _places.constFind(child.dictAddress());
    const Dict* parentItem = static_cast<const Dict*>(parent.internalPointer());
    if (place != _places.constEnd() && place->row == row && place->parent.get() == parentItem)
        return indexForPlace(*place, column);
    // The first time the view asks for this row: its parent's place holds the parent's share.
    const NodePtr owner = parentItem ? _places.constFind(parentItem)->item : nullptr;
    return indexForPlace(placeAt(child, owner, row), column);
}

QModelIndex OutlineModel::parent(const QModelIndex& child) const {
    const Place* place = placeOf(child);
    if (!place || !place->parent)
        return {};
    const auto parentPlace = _places.constFind(place->parent.get());
    return parentPlace == _places.constEnd() ? QModelIndex() : indexForPlace(*parentPlace, 0);
}

NodePtr OutlineModel::itemForIndex(const QModelIndex& index) const {
    const Place* place = placeOf(index);
    return place ? place->item : nullptr;
}

int OutlineModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    const Array* children = listBelow(parent);
    return children ? int(children->size()) : 0;
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
    const CellValue value = _dataSource.objectValueForTableColumn(identifier, item);
    if (const QDateTime* date = std::get_if<QDateTime>(&value))
        return formatDueDate(*date);
    const Value* stored = std::get_if<Value>(&value);
    if (!stored || identifier == key::icon)
        return {};
    if (const QString* text = stored->asString())
        return *text;
    if (const Number* number = stored->asNumber(); number && identifier == key::completion)
        return QStringLiteral("%1%").arg(qRound(number->toDouble() * 100.0));
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
            const CellValue value = _dataSource.objectValueForTableColumn(identifier, item);
            const QDateTime* date = std::get_if<QDateTime>(&value);
            return date ? QVariant(*date) : QVariant();
        }
        return identifier == key::name || identifier == key::category ? displayData(item, identifier)
                                                                      : QVariant();
    }
    case Qt::DecorationRole: {
        if (identifier != key::icon)
            return {};
        const CellValue value = _dataSource.objectValueForTableColumn(identifier, item);
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
    case CompletionRole: {
        const Number* completion = item->value(key::completion).asNumber();
        return completion ? qBound(0.0, completion->toDouble(), 1.0) : 0.0;
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
    _dataSource.setObjectValue(cell, identifier, item);
    return true;
}

Qt::ItemFlags OutlineModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled; // below the last row: the top level
    Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    const QString& identifier = outlineColumnIdentifiers().at(index.column());
    if (identifier == key::name || identifier == key::category || identifier == key::due)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant OutlineModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const QString& identifier = outlineColumnIdentifiers().at(section);
    if (role == Qt::DisplayRole)
        return outlineColumnTitle(identifier);
    if (role == Qt::ToolTipRole && identifier == key::icon)
        return outlineColumnTitle(key::icon);
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
    return _dataSource.outlineViewWriteItems(items).release();
}

bool OutlineModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                const QModelIndex& parent) {
    return data && _dataSource.outlineViewAcceptDrop(*data, itemForIndex(parent), row);
}

Qt::DropActions OutlineModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions OutlineModel::supportedDragActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

void OutlineModel::showNewTree() {
    beginResetModel();
    _rootList.reset();
    _places.clear();
    _lastAskedParent = {};
    _notesCache.clear();
    endResetModel();
}

// Synchronization

std::vector<NodePtr> OutlineModel::synchronize() {
    std::vector<ListChange> changes;
    if (_rootList)
        if (std::optional<ListChange> change = changeOf(nullptr, *_rootList))
            changes.push_back(std::move(*change));
    for (const Place& place : std::as_const(_places))
        if (place.children)
            if (std::optional<ListChange> change = changeOf(place.item, *place.children))
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
        if (const ArrayPtr* told = knownList(owner)) // a list the view never asked for has nothing to tell
            if (std::optional<ListChange> change = changeOf(owner, **told))
                changes.push_back(std::move(*change));
    }
    return apply(changes);
}

std::optional<OutlineModel::ListChange> OutlineModel::changeOf(const NodePtr& owner,
                                                               const Array& told) const {
    const ArrayPtr stored = _dataSource.filteredChildrenOfItem(owner);
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
    ListChange change{owner, fresh, {}, {}, true};
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
        ArrayPtr* known = knownList(change.owner);
        if (!known)
            continue; // it left the view with an ancestor
        const ArrayPtr told = changingList(*known);
        const QModelIndex parent = change.owner ? indexOfItem(change.owner.get()) : QModelIndex();
        for (auto range = change.left.rbegin(); range != change.left.rend(); ++range) {
            const auto [first, last] = *range;
            beginRemoveRows(parent, int(first), int(last));
            for (qsizetype i = first; i <= last; ++i)
                forgetSubtree(told->items[size_t(i)].dictAddress());
            told->items.erase(told->items.begin() + first, told->items.begin() + last + 1);
            renumber(change.owner, *told, size_t(first));
            endRemoveRows();
        }
    }
    for (const ListChange& change : changes) {
        ArrayPtr* known = knownList(change.owner);
        if (!known)
            continue;
        const ArrayPtr told = changingList(*known);
        const QModelIndex parent = change.owner ? indexOfItem(change.owner.get()) : QModelIndex();
        for (const auto& [first, last] : change.came) {
            beginInsertRows(parent, int(first), int(last));
            const auto from = change.fresh->items.begin() + first;
            const auto to = change.fresh->items.begin() + last + 1;
            told->items.insert(told->items.begin() + first, from, to);
            renumber(change.owner, *told, size_t(first));
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
    std::vector<std::pair<NodePtr, ArrayPtr>> renumbered;
    for (const ListChange& change : changes) {
        ArrayPtr* known = knownList(change.owner);
        if (!known)
            continue;
        const ArrayPtr told = changingList(*known);
        for (const auto& [first, last] : change.left)
            for (qsizetype i = first; i <= last; ++i)
                if (const Dict* item = told->items[size_t(i)].dictAddress(); !shownAgain.contains(item))
                    forgetSubtree(item);
        for (const auto& [first, last] : change.came)
            for (qsizetype i = first; i <= last; ++i)
                came.push_back(change.fresh->items[size_t(i)].asDict());
        told->items.swap(change.fresh->items); // the fresh list is not read again
        renumbered.emplace_back(change.owner, told);
    }
    // Places last, so that a row that moved keeps the place its new parent gives it.
    for (const auto& [owner, told] : renumbered)
        if (!owner || _places.contains(owner.get()))
            renumber(owner, *told, 0);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        const Place* place = placeOf(index);
        after.append(place ? indexForPlace(*place, index.column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void OutlineModel::forgetSubtree(const Dict* item) {
    _lastAskedParent = {};
    std::vector<const Dict*> pending{item};
    while (!pending.empty()) {
        const auto place = _places.find(pending.back());
        pending.pop_back();
        if (place == _places.end())
            continue;
        if (place->children)
            for (const Value& child : place->children->items)
                pending.push_back(child.dictAddress());
        _places.erase(place);
    }
}

void OutlineModel::renumber(const NodePtr& owner, const Array& list, size_t first) {
    for (size_t row = first; row < list.items.size(); ++row)
        placeAt(list.items[row], owner, int(row));
}

void OutlineModel::itemChanged(const NodePtr& item) {
    _notesCache.invalidate(item.get());
    const auto found = item ? _places.constFind(item.get()) : _places.constEnd();
    if (found == _places.constEnd())
        return;
    emit dataChanged(indexForPlace(*found, 0), indexForPlace(*found, columnCount() - 1));
}

} // namespace tardigo
