#include "window/outline_model.h"

#include "document/outline_columns.h"
#include "model/keys.h"
#include "window/due_date_format.h"
#include "window/icon_for_name.h"
#include "window/item_appearance.h"

#include <QDateTime>
#include <QIcon>

namespace tardigo {

OutlineModel::OutlineModel(OutlineDataSource& dataSource, QObject* parent)
    : QAbstractItemModel(parent), _dataSource(dataSource), _notesCache(dataSource) {}

const ArrayPtr& OutlineModel::childrenOf(const NodePtr& item) const {
    auto found = _children.find(item.get());
    if (found == _children.end()) {
        // A copy: the stored list changes before the view hears of it, and until the next reload
        // the view must be answered as it was told.
        ArrayPtr copy = Array::create();
        copy->items = _dataSource.filteredChildrenOfItem(item)->items;
        found = _children.insert(item.get(), std::move(copy));
    }
    return *found;
}

QModelIndex OutlineModel::indexAt(const NodePtr& item, const NodePtr& parent, int row, int column) const {
    if (!item)
        return {};
    const Place& place = *_places.insert(item.get(), Place{item, parent, row});
    return indexForPlace(place, column);
}

QModelIndex OutlineModel::indexOfItem(const Dict* item, int column) const {
    const auto found = _places.constFind(item);
    return found == _places.constEnd() ? QModelIndex() : indexForPlace(*found, column);
}

QModelIndex OutlineModel::indexForPlace(const Place& place, int column) const {
    return createIndex(place.row, column, place.item.get());
}

QModelIndex OutlineModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= columnCount() || (parent.isValid() && parent.column() != 0))
        return {};
    const NodePtr parentItem = itemForIndex(parent);
    if (parent.isValid() && !parentItem)
        return {};
    const ArrayPtr& children = childrenOf(parentItem);
    if (row >= children->size())
        return {};
    return indexAt(children->items[size_t(row)].asDict(), parentItem, row, column);
}

QModelIndex OutlineModel::parent(const QModelIndex& child) const {
    // Only the place table is consulted: an index from before a reset must not reach its node.
    const auto found = child.isValid() ? _places.constFind(static_cast<const Dict*>(child.internalPointer()))
                                       : _places.constEnd();
    if (found == _places.constEnd() || !found->parent)
        return {};
    const auto parentPlace = _places.constFind(found->parent.get());
    return parentPlace == _places.constEnd() ? QModelIndex() : indexForPlace(*parentPlace, 0);
}

NodePtr OutlineModel::itemForIndex(const QModelIndex& index) const {
    if (!index.isValid())
        return nullptr;
    const auto found = _places.constFind(static_cast<const Dict*>(index.internalPointer()));
    return found == _places.constEnd() ? nullptr : found->item;
}

int OutlineModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    const NodePtr item = itemForIndex(parent);
    if (parent.isValid() && !item)
        return 0;
    return int(childrenOf(item)->size());
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
    if (identifier == key::due) {
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
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
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

void OutlineModel::resetStructure() {
    beginResetModel();
    _children.clear();
    _places.clear();
    endResetModel();
}

void OutlineModel::refreshContents() {
    // The same rows with the same items: the lists are asked again, the places stay true.
    _children.clear();
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
}

void OutlineModel::itemChanged(const NodePtr& item) {
    _notesCache.invalidate(item.get());
    const auto found = item ? _places.constFind(item.get()) : _places.constEnd();
    if (found == _places.constEnd())
        return;
    emit dataChanged(indexForPlace(*found, 0), indexForPlace(*found, columnCount() - 1));
}

} // namespace tardigo
