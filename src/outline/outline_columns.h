#pragma once

#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace tardigo {

/// The outline's columns in the window layout's order; a column's model index is its value.
enum class Column { Icon, Name, Category, Due, Notes, Completion };

inline size_t qHash(Column column, size_t seed = 0) noexcept {
    return ::qHash(int(column), seed);
}

/// Every column, in model order.
const QList<Column>& outlineColumns();
/// The column's model index.
constexpr int columnIndex(Column column) {
    return int(column);
}
/// The column at a model index; none outside the model.
std::optional<Column> columnFromIndex(int index);

/// The identifier a list stores for the column (its sort direction, the sorted column): the item key
/// its cells show.
const QString& columnIdentifier(Column column);
/// The column a stored identifier names; none for any other text.
std::optional<Column> columnFromIdentifier(QStringView identifier);

/// Whether the View menu shows and hides the column (all but the icon and name columns).
bool isColumnOptional(Column column);
/// Whether the column's cells are edited by typing in them (the name, category and due date); the
/// others change through clicks and the inspector.
bool isColumnTypedIn(Column column);
/// The header title a user sees for the column; empty for the icon column.
QString columnTitle(Column column);

} // namespace tardigo
