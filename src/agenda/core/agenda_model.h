#pragma once

#include "agenda/core/agenda.h"
#include "search/item_search.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QHash>
#include <QSet>

#include <functional>
#include <vector>

namespace tardigo {

class AgendaLists;

/// The agenda as a Qt model: one top-level row for each section that holds items (Overdue, Today,
/// Tomorrow, This Week, Later, No Due Date), its items below in order of due date. It owns no items:
/// each row points at an item of a list that AgendaLists holds. A change in one list collects that
/// list's items again and merges them with the others; the model is then reset.
class AgendaModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { NameColumn, ListColumn, CategoryColumn, DueColumn, ColumnCount };
    /// Where an item row stands: its list's file and its item, so that a selection outlives a reset.
    struct Place {
        QString list;
        const Dict* item = nullptr;
    };
    /// Stores a typed due date through the item's list; answers why not, in words, when it could not.
    using DueDateEditor =
        std::function<std::optional<QString>(const AgendaEntry& entry, const QString& typed)>;

    explicit AgendaModel(AgendaLists& lists, QObject* parent = nullptr);

    /// Only items of this category (empty: every item).
    void setCategory(const QString& category);
    QString category() const { return _category; }
    /// Only items whose text holds every word.
    void setSearch(const QString& typed);
    /// Items without a due date in a last section of their own; they are collected only then.
    void setShowsUndated(bool shows);
    bool showsUndated() const { return _showsUndated; }
    /// Sorts the items into sections again as of this moment (a new minute or a new day).
    void setNow(const QDateTime& now);
    /// Where a due date typed into a cell goes; without one the due dates cannot be edited.
    void setDueDateEditor(DueDateEditor editor) { _dueDateEditor = std::move(editor); }

    /// The categories of the items the agenda may show, sorted, whatever the category and search.
    QStringList categories() const;
    /// The item of a row; null for a section's row.
    const AgendaEntry* entry(const QModelIndex& index) const;
    AgendaSection section(const QModelIndex& sectionRow) const;
    Place placeOf(const QModelIndex& index) const;
    /// The row of the item at that place now; invalid when it is no longer shown.
    QModelIndex indexOf(const Place& place) const;
    /// How many items the agenda shows.
    int entryCount() const { return static_cast<int>(_shown.size()); }
    /// The title of a section as its row shows it.
    static QString sectionTitle(AgendaSection section);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    /// A typed due date was not stored: why, in words.
    void dueDateRefused(const QString& why);

private:
    struct Shown {
        qint64 due; // msecs since the epoch; the largest number without a due date
        const AgendaEntry* entry;
    };
    struct Section {
        AgendaSection section;
        int begin;
        int end;
    };

    void collectAll();
    void collect(const QString& list);
    void listChanged(const QString& list);
    /// The shown rows again from the collected items, all of them or one list's, then the sections.
    void filterAll();
    void filterList(const QString& list);
    bool passes(const AgendaEntry& entry) const;
    void makeSections();
    Shown shownOf(const AgendaEntry& entry) const;

    AgendaLists& _lists;
    QHash<QString, std::vector<AgendaEntry>> _collected; // every outstanding item shown or not, by list
    QHash<QString, QSet<QString>> _categories;           // their categories, by list
    std::vector<Shown> _shown;                           // those that pass the filters, in order
    std::vector<Section> _sections;
    QString _category;
    ItemSearch _search;
    bool _showsUndated = false;
    QDateTime _now;
    DueDateEditor _dueDateEditor;
};

} // namespace tardigo
