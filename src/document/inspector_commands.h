#pragma once

#include "model/item_codes.h"
#include "model/rgba.h"
#include "model/value.h"
#include "outline/outline_columns.h"

#include <QDateTime>

#include <functional>
#include <optional>
#include <vector>

namespace tardigo {

class TardigoDocument;

/// A font as an item stores it: the platform's PostScript-style name and the size in points.
struct StoredFont {
    QString name;
    double pointSize = 0.0;
    bool operator==(const StoredFont& other) const = default;
};

/// What the inspector's tools do to the selected items: due date and repeat, reminder, icon, font
/// and colour, and where the inspector shows. The widgets only forward what the user did; each
/// change of items is one undoable step, logged in their history where the tool logs it. Calls
/// made while the document itself is changing the model (its refresh filling the tools) are ignored.
class InspectorCommands {
public:
    InspectorCommands(const InspectorCommands&) = delete;
    InspectorCommands& operator=(const InspectorCommands&) = delete;

    // Due date and repeat: the selected item.

    /// A date picked in the calendar, at the time of day the time picker shows.
    void calendarViewChanged(const QDateTime& picked);
    /// The time picker changed: `combined` is the calendar's date at the new time, none when the
    /// calendar holds no date.
    void dueTimeChanged(const std::optional<QDateTime>& combined);
    /// The repeat check box in its new state, with the period the popup shows (0: none yet).
    /// Answers whether the popup must open so that the user picks a period.
    bool repeatCheckboxAction(bool on, int shownPeriod);
    /// A period chosen in the popup; choosing one turns repetition on.
    void periodChosen(int period);

    // Reminder: the selected item. Every action restarts the reminder from now.

    void reminderCheckboxAction(bool on);
    /// The length typed: its leading number; a positive length turns the reminder on.
    void reminderLengthAction(const QString& text);
    /// A unit chosen (0 minutes to 6 years); choosing one turns the reminder on.
    void reminderUnitAction(int unit);
    /// Repeating reminders count from now.
    void reminderRepeatAction(bool on);
    /// The radio buttons: before the due date, or from now.
    void reminderWhenceAction(bool beforeDueDate);
    /// A notice's "remind me later": the item reminds once, that long from now.
    void remindFromNow(const NodePtr& item, float length, ReminderUnit unit);

    // Icon, font and colour: every selected item.

    /// A row of the "todoItemIcons" list chosen (the item shows only that icon), or none.
    void iconSelected(std::optional<int> row);
    /// Whether the chosen icon is the only one the items show, or the rules may show others.
    void iconExclusivityAction(bool exclusive);
    /// An image file becomes one of the icons and the selected items' icon.
    void addOwnIcon(const QString& path);
    /// The font chosen for the items; none removes their own font.
    void changeFont(const std::optional<StoredFont>& font);
    /// The items show the default font again.
    void useDefaultFont();
    /// The application's default font, a preference: none is the system's.
    void setDefaultFont(const std::optional<StoredFont>& font);
    /// The colour of the items' names; none removes it.
    void changeColor(const std::optional<Rgba>& color);

    // Where the inspector shows: saved with the list.

    /// The inspector was shown or hidden; a change the user asked for marks the list changed.
    void inspectorShown(bool visible, bool fromUser);
    /// The inspector moved between the window's side and a floating panel, and shows; answers
    /// whether it is a panel now.
    bool tearOffInspector();

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit InspectorCommands(TardigoDocument& document) : _document(document) {}

    /// The selected item, unless the document itself is changing the model.
    NodePtr itemToChange() const;
    /// The selected items, unless the document itself is changing the model.
    std::vector<NodePtr> itemsToChange() const;
    /// Stores the due date, warning of one in the past.
    void storeDueDate(const NodePtr& item, const QDateTime& due);
    /// Stores a new repeat period under the action name.
    void storePeriod(const NodePtr& item, int period, const QString& actionName);
    /// Warns of a repeat without a due date and lets the minder announce the item afresh.
    void finishDueDateChange(const NodePtr& item);
    /// Removes a minder timestamp, records the change with its history entry, and restarts the
    /// reminder; `change` sets the keys after registering each one's undo.
    void changeReminder(const QString& actionName, const std::function<void(const NodePtr&)>& change);
    void changeReminderOf(const NodePtr& item, const QString& actionName,
                          const std::function<void(const NodePtr&)>& change);
    /// Sets key to value in every item, or removes it for an absent value, as one step.
    void setForItems(const std::vector<NodePtr>& items, const QString& key, const Value& value);
    void setFontOfItems(const std::optional<StoredFont>& font);
    void warn(const QString& message);
    void sortAgainIfSortedBy(Column column);

    TardigoDocument& _document;
};

} // namespace tardigo
