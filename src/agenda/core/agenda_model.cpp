#include "agenda/core/agenda_model.h"

#include "agenda/core/agenda_lists.h"
#include "dates/due_date_format.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <limits>

namespace tardigo {

namespace {

constexpr qint64 kNoDue = std::numeric_limits<qint64>::max();
constexpr quintptr kSectionRow = 0;

bool shownBefore(const auto& a, const auto& b) {
    if (a.due != b.due)
        return a.due < b.due;
    if (a.entry->list != b.entry->list)
        return a.entry->list < b.entry->list;
    return a.entry->path < b.entry->path;
}

} // namespace

AgendaModel::AgendaModel(AgendaLists& lists, QObject* parent)
    : QAbstractItemModel(parent), _lists(lists), _now(Clock::now()) {
    connect(&_lists, &AgendaLists::listChanged, this, &AgendaModel::listChanged);
    connect(&_lists, &AgendaLists::listsChanged, this, [this] {
        beginResetModel();
        collectAll();
        filterAll();
        endResetModel();
    });
    collectAll();
    filterAll();
}

QString AgendaModel::sectionTitle(AgendaSection section) {
    switch (section) {
    case AgendaSection::Overdue:
        return tr("Overdue");
    case AgendaSection::Today:
        return tr("Today");
    case AgendaSection::Tomorrow:
        return tr("Tomorrow");
    case AgendaSection::ThisWeek:
        return tr("This Week");
    case AgendaSection::Later:
        return tr("Later");
    case AgendaSection::NoDate:
        return tr("No Due Date");
    }
    return {};
}

// Filters and time

void AgendaModel::setCategory(const QString& category) {
    if (category == _category)
        return;
    beginResetModel();
    _category = category;
    filterAll();
    endResetModel();
}

void AgendaModel::setSearch(const QString& typed) {
    beginResetModel();
    _search = ItemSearch(typed);
    filterAll();
    endResetModel();
}

void AgendaModel::setShowsUndated(bool shows) {
    if (shows == _showsUndated)
        return;
    beginResetModel();
    _showsUndated = shows;
    // Items without a due date are collected only while they are shown: most items have none.
    collectAll();
    filterAll();
    endResetModel();
}

void AgendaModel::setNow(const QDateTime& now) {
    beginResetModel();
    _now = now;
    makeSections();
    endResetModel();
}

QStringList AgendaModel::categories() const {
    QSet<QString> found;
    for (const QSet<QString>& categories : _categories)
        found.unite(categories);
    QStringList sorted(found.begin(), found.end());
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return sorted;
}

// Collecting and filtering

void AgendaModel::collectAll() {
    _collected.clear();
    _categories.clear();
    for (const AgendaLists::List& list : _lists.lists())
        collect(list.path);
}

void AgendaModel::collect(const QString& path) {
    const AgendaLists::List* list = _lists.list(path);
    if (!list || !list->root) {
        _collected.remove(path);
        _categories.remove(path);
        return;
    }
    std::vector<AgendaEntry> entries = agendaEntries(path, *list->root, _now, ItemSearch(), _showsUndated);
    QSet<QString> categories;
    for (const AgendaEntry& entry : entries)
        if (const QString category = stringOf(*entry.item, key::category); !category.isEmpty())
            categories.insert(category);
    _categories.insert(path, std::move(categories));
    _collected.insert(path, std::move(entries));
}

void AgendaModel::listChanged(const QString& path) {
    beginResetModel();
    // The rows of the other lists stay where they are: only this list's are taken out and merged in.
    const std::vector<AgendaEntry> old = _collected.take(path);
    const AgendaEntry* oldBegin = old.data();
    const AgendaEntry* oldEnd = old.data() + old.size();
    std::erase_if(_shown,
                  [&](const Shown& shown) { return shown.entry >= oldBegin && shown.entry < oldEnd; });
    collect(path);
    filterList(path);
    makeSections();
    endResetModel();
}

bool AgendaModel::passes(const AgendaEntry& entry) const {
    if (!entry.due.isValid() && !_showsUndated)
        return false;
    if (!_category.isEmpty() && stringOf(*entry.item, key::category) != _category)
        return false;
    return _search.matches(*entry.item);
}

AgendaModel::Shown AgendaModel::shownOf(const AgendaEntry& entry) const {
    return {entry.due.isValid() ? entry.due.toMSecsSinceEpoch() : kNoDue, &entry};
}

void AgendaModel::filterAll() {
    _shown.clear();
    for (const std::vector<AgendaEntry>& entries : std::as_const(_collected))
        for (const AgendaEntry& entry : entries)
            if (passes(entry))
                _shown.push_back(shownOf(entry));
    std::sort(_shown.begin(), _shown.end(), [](const Shown& a, const Shown& b) { return shownBefore(a, b); });
    makeSections();
}

void AgendaModel::filterList(const QString& path) {
    const auto found = _collected.constFind(path);
    if (found == _collected.constEnd())
        return;
    std::vector<Shown> added;
    for (const AgendaEntry& entry : *found)
        if (passes(entry))
            added.push_back(shownOf(entry));
    const auto before = [](const Shown& a, const Shown& b) { return shownBefore(a, b); };
    std::sort(added.begin(), added.end(), before);
    std::vector<Shown> merged;
    merged.reserve(_shown.size() + added.size());
    std::merge(_shown.begin(), _shown.end(), added.begin(), added.end(), std::back_inserter(merged), before);
    _shown = std::move(merged);
}

void AgendaModel::makeSections() {
    // The rows are in order of due date, so each section is a run of them: its end is the first row
    // at or past its limit.
    const QDate today = _now.toLocalTime().date();
    const std::pair<AgendaSection, qint64> limits[] = {
        {AgendaSection::Overdue, _now.toMSecsSinceEpoch()},
        {AgendaSection::Today, today.addDays(1).startOfDay().toMSecsSinceEpoch()},
        {AgendaSection::Tomorrow, today.addDays(2).startOfDay().toMSecsSinceEpoch()},
        {AgendaSection::ThisWeek, today.addDays(7).startOfDay().toMSecsSinceEpoch()},
        {AgendaSection::Later, kNoDue},
        {AgendaSection::NoDate, std::numeric_limits<qint64>::min()},
    };
    _sections.clear();
    int begin = 0;
    const int count = static_cast<int>(_shown.size());
    for (const auto& [section, limit] : limits) {
        int end = begin;
        if (section == AgendaSection::NoDate)
            end = count;
        else
            end = static_cast<int>(
                std::partition_point(_shown.begin() + begin, _shown.end(),
                                     [bound = limit](const Shown& shown) { return shown.due < bound; }) -
                _shown.begin());
        if (end > begin)
            _sections.push_back({section, begin, end});
        begin = end;
    }
}

// Places

const AgendaEntry* AgendaModel::entry(const QModelIndex& index) const {
    if (!index.isValid() || index.internalId() == kSectionRow)
        return nullptr;
    const Section& section = _sections[index.internalId() - 1];
    return _shown[section.begin + index.row()].entry;
}

AgendaSection AgendaModel::section(const QModelIndex& sectionRow) const {
    return _sections[sectionRow.row()].section;
}

AgendaModel::Place AgendaModel::placeOf(const QModelIndex& index) const {
    const AgendaEntry* found = entry(index);
    return found ? Place{found->list, found->item.get()} : Place{};
}

QModelIndex AgendaModel::indexOf(const Place& place) const {
    for (int s = 0; s < static_cast<int>(_sections.size()); ++s)
        for (int row = _sections[s].begin; row < _sections[s].end; ++row)
            if (const AgendaEntry* found = _shown[row].entry;
                found->item.get() == place.item && found->list == place.list)
                return createIndex(row - _sections[s].begin, 0, quintptr(s + 1));
    return {};
}

// QAbstractItemModel

QModelIndex AgendaModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, kSectionRow);
    return createIndex(row, column, quintptr(parent.row() + 1));
}

QModelIndex AgendaModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == kSectionRow)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kSectionRow);
}

int AgendaModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(_sections.size());
    if (parent.internalId() != kSectionRow || parent.column() != 0)
        return 0;
    const Section& section = _sections[parent.row()];
    return section.end - section.begin;
}

int AgendaModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

QVariant AgendaModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const AgendaEntry* shown = entry(index);
    if (!shown) {
        const Section& section = _sections[index.row()];
        const int count = section.end - section.begin;
        if (index.column() != NameColumn)
            return {};
        if (role == Qt::DisplayRole)
            return tr("%1 (%2)").arg(sectionTitle(section.section)).arg(count);
        if (role == Qt::AccessibleTextRole)
            return tr("%1, %n item(s)", nullptr, count).arg(sectionTitle(section.section));
        return {};
    }
    const Dict& item = *shown->item;
    const QString due = shown->due.isValid() ? formatDueDate(shown->due) : QString();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case NameColumn:
            return stringOf(item, key::name);
        case ListColumn:
            return QFileInfo(shown->list).fileName();
        case CategoryColumn:
            return stringOf(item, key::category);
        case DueColumn:
            return due;
        }
        return {};
    case Qt::ToolTipRole:
        return index.column() == ListColumn ? shown->list : QVariant();
    case Qt::AccessibleTextRole: {
        QStringList parts{stringOf(item, key::name), tr("in %1").arg(QFileInfo(shown->list).fileName())};
        if (const QString category = stringOf(item, key::category); !category.isEmpty())
            parts << tr("category %1").arg(category);
        parts << (due.isEmpty() ? tr("no due date") : tr("due %1").arg(due));
        return parts.join(QStringLiteral(", "));
    }
    }
    return {};
}

QVariant AgendaModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return tr("Item");
    case ListColumn:
        return tr("List");
    case CategoryColumn:
        return tr("Category");
    case DueColumn:
        return tr("Due Date");
    }
    return {};
}

Qt::ItemFlags AgendaModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (!entry(index))
        return Qt::ItemIsEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == DueColumn && _dueDateEditor)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool AgendaModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const AgendaEntry* shown = entry(index);
    if (!shown || role != Qt::EditRole || index.column() != DueColumn || !_dueDateEditor)
        return false;
    // The list's document stores it; the change comes back through AgendaLists.
    const AgendaEntry edited = *shown;
    if (const std::optional<QString> why = _dueDateEditor(edited, value.toString())) {
        emit dueDateRefused(*why);
        return false;
    }
    return true;
}

} // namespace tardigo
