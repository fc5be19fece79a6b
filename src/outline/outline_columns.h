#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tardigo {

/// The outline's six columns in the window layout's order; a column's model index is its place here.
/// Each identifier is also the item key its column shows.
const QStringList& outlineColumnIdentifiers();
/// The model column of an identifier; -1 for an unknown one.
int outlineColumnIndex(const QString& identifier);
/// The View menu's tag of an optional column (2 to 5); 0 for the icon and name columns.
int outlineColumnTag(const QString& identifier);
/// The optional column of a View menu tag; none for any other number.
std::optional<QString> outlineColumnForTag(int tag);
/// Whether the column's cells are edited by typing in them (the name, category and due date); the
/// others change through clicks and the inspector.
bool isOutlineColumnTypedIn(const QString& identifier);
/// The header title a user sees for the column.
QString outlineColumnTitle(const QString& identifier);

} // namespace tardigo
