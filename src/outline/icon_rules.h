#pragma once

#include "model/value.h"

#include <QHash>

#include <functional>
#include <optional>

namespace tardigo {

/// The icon conditions a preference can assign to an icon.
enum IconStatus : int {
    IconStatusNew = 0,
    IconStatusOld = 1,
    IconStatusPastDue = 2,
    IconStatusReminderInProgress = 3,
    IconStatusHasDueDate = 4,
    IconStatusHasReminder = 5,
    IconStatusHasNotes = 6,
    IconStatusPartiallyCompleted = 7,
    IconStatusCompleted = 8,
    IconStatusDefault = 9,
    IconStatusDoNotUse = 10,
};

/// Which icon an item shows, by name: built-in icon names or image file paths. The GUI turns names
/// into images.
class IconRules {
public:
    /// The rules as the three icon preferences say now.
    static IconRules current();

    /// The icon assigned to a status code; none when no icon has it.
    std::optional<QString> iconNameForItemStatus(int status) const;
    /// The icon assigned to exactly this category; none when there is none.
    std::optional<QString> iconNameForCategoryName(const QString& category) const;
    /// The icon the item shows; none when it shows none.
    std::optional<QString> iconNameForItem(const Dict* item) const;

    /// The application's most recently created item, which the "New" condition marks.
    static void setMostRecentlyCreatedItem(NodePtr item);
    static bool isMostRecentlyCreatedItem(const Dict& item);

    /// Whether a name yields an image. The core only knows that a path must name a file; the GUI
    /// installs the real test.
    static void setImageAvailability(std::function<bool(const QString& name)> test);
    static bool hasImage(const QString& name);

private:
    IconRules(const Dict* conditions, const Dict* categories, qint64 oldDays);
    std::optional<QString> shown(const std::optional<QString>& name) const;
    std::optional<QString> ruleIcon(const Dict& item) const;

    // The first icon the preferences assign to each status code and to each category.
    QHash<qint64, QString> _statusIcons;
    QHash<QString, QString> _categoryIcons;
    qint64 _oldDays;
};

} // namespace tardigo
