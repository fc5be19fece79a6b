#pragma once

#include "model/tree_operations.h"
#include "model/value.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace tardigo {

/// The font an item is drawn in: its own font name and whole point size, or the user's default
/// font when it has no "font name" (or the GUI cannot find that font).
struct ItemFont {
    std::optional<QString> name;
    int pointSize = 0;
    bool operator==(const ItemFont& other) const = default;
};

/// The font settings of an item; the default font without an item.
ItemFont itemFontSettings(const Dict* item);
/// The application's default font for items, a preference: no name means the system's font.
ItemFont userDefaultFont();

/// The icon, font and colour tools, filled from the item selected last, also with several selected.
struct AppearanceTools {
    ItemFont font;
    bool isDefaultFont = false;         // the item shows in the default font, its own or not
    Value color;                        // the archived colour; absent: black
    bool iconExclusive = false;         // "this icon only": the exclusive button, else the other
    std::optional<int> selectedIconRow; // the item's icon in the "todoItemIcons" list
};

/// The tools that show exactly one selected item.
struct ItemTools {
    std::weak_ptr<Dict> shown;       // the item itself: notes typed for it are stored in it
    std::optional<QByteArray> notes; // RTFD; none: empty text
    std::optional<QDateTime> due;
    bool repeatOn = false;
    int periodTag = 0;       // the period popup's item; 0 is its first
    QString completionLabel; // "25%"
    double completionSlider = 0.0;
    bool completedChecked = false;
    QString historyText; // one "timestamp: message" line per entry
    QString category;
    bool reminderSet = false;
    QString reminderLength;             // empty when absent
    std::optional<int> reminderUnitTag; // none: the popup's first item
    bool reminderMarkDueDate = false;
    bool reminderMarkNow = false;
    bool reminderRepeat = false;
};

/// Everything a refresh shows in the window, as plain values the window renders.
struct StatusDisplay {
    QString statusText;
    bool hideCompletedChecked = false;
    QString selectionLabel;
    ItemFont selectionFont;                       // also the in-place editor's font
    bool toolsEnabled = false;                    // false: every tool control is disabled and cleared
    std::optional<QString> tearOffInspectorTitle; // none: the menu items keep their state
    bool resizeDrawerEnabled = false;
    std::optional<AppearanceTools> appearance;
    std::optional<ItemTools> item;
};

/// What the window shows for the list and its selection: `statusText` is the status line, `item` the
/// item selected last, `currentTool` the inspector's tool.
StatusDisplay statusDisplayFor(const Dict& root, const QString& statusText, const NodePtr& item,
                               qsizetype selectedCount, int currentTool);

/// The status line: empty for an empty list, else how many of all items are outstanding.
QString outstandingText(const ItemCounts& counts);

} // namespace tardigo
