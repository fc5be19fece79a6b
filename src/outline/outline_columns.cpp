#include "outline/outline_columns.h"

#include "model/keys.h"

#include <QCoreApplication>

#include <array>

namespace tardigo {

namespace {

struct ColumnTraits {
    Column column;
    const QString& identifier;
    const char* title; // the header's text in English; none for the icon column
    bool optional;     // the View menu shows and hides it
    bool typedIn;      // its cells are edited by typing
};

// In model order: a column's row is its value.
const std::array<ColumnTraits, 6>& traits() {
    static const std::array<ColumnTraits, 6> table{{
        {Column::Icon, key::icon, nullptr, false, false},
        {Column::Name, key::name, QT_TRANSLATE_NOOP("OutlineColumns", "Item"), false, true},
        {Column::Category, key::category, QT_TRANSLATE_NOOP("OutlineColumns", "Category"), true, true},
        {Column::Due, key::due, QT_TRANSLATE_NOOP("OutlineColumns", "Due Date"), true, true},
        {Column::Notes, key::notes, QT_TRANSLATE_NOOP("OutlineColumns", "Notes"), true, false},
        {Column::Completion, key::completion, QT_TRANSLATE_NOOP("OutlineColumns", "Completion"), true, false},
    }};
    return table;
}

const ColumnTraits& traitsOf(Column column) {
    return traits().at(size_t(column));
}

} // namespace

const QList<Column>& outlineColumns() {
    static const QList<Column> all = [] {
        QList<Column> columns;
        for (const ColumnTraits& row : traits()) {
            Q_ASSERT(columnIndex(row.column) == columns.size());
            columns.append(row.column);
        }
        return columns;
    }();
    return all;
}

std::optional<Column> columnFromIndex(int index) {
    if (index < 0 || index >= outlineColumns().size())
        return std::nullopt;
    return Column(index);
}

const QString& columnIdentifier(Column column) {
    return traitsOf(column).identifier;
}

std::optional<Column> columnFromIdentifier(QStringView identifier) {
    for (const ColumnTraits& row : traits())
        if (row.identifier == identifier)
            return row.column;
    return std::nullopt;
}

bool isColumnOptional(Column column) {
    return traitsOf(column).optional;
}

bool isColumnTypedIn(Column column) {
    return traitsOf(column).typedIn;
}

QString columnTitle(Column column) {
    const char* title = traitsOf(column).title;
    return title ? QCoreApplication::translate("OutlineColumns", title) : QString();
}

} // namespace tardigo
