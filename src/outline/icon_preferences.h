#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tardigo {

/// The three icon preferences as the preferences window edits them, keeping their rules: a status
/// code and a category each belong to one icon at most, and an icon removed from the list takes its
/// condition and category along. Rows are positions in "todoItemIcons".
class IconPreferences {
public:
    static QStringList icons();
    static std::optional<QString> categoryOfIcon(const QString& icon);
    static std::optional<int> statusOfIcon(const QString& icon);

    /// Gives the icon of the row the category, taking it from any other icon; none takes the
    /// row's category away. A row outside the list is ignored.
    static void setCategory(int row, const std::optional<QString>& category);
    /// The same for a status code (0 to 9).
    static void setStatus(int row, const std::optional<int>& status);
    /// Appends an image file to the icons; its path is its name.
    static void addIcon(const QString& path);
    /// Removes the icon of the row with its condition and category; false when the row is outside
    /// the list. Items showing the icon keep naming it.
    static bool removeIcon(int row);
};

} // namespace tardigo
