#include "document/inspector_commands.h"

#include "alerts/alert_queue.h"
#include "archive/color_value.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "outline/icon_preferences.h"
#include "outline/outline_selection.h"
#include "platform/preference_signals.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace tardigo {

namespace {

/// The number a text begins with, as the platform reads a float from a string; 0 when it begins
/// with none.
double leadingNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured().trimmed().toDouble() : 0.0;
}

} // namespace

NodePtr InspectorCommands::itemToChange() const {
    return _document.syncingModel() ? nullptr : _document.selection().lastSelectedItem();
}

std::vector<NodePtr> InspectorCommands::itemsToChange() const {
    if (_document.syncingModel())
        return {};
    return _document.selection().selectedItems();
}

void InspectorCommands::warn(const QString& message) {
    if (AlertQueue* alerts = _document.alertQueue())
        alerts->addAlert(QCoreApplication::translate("InspectorCommands", "Warning"), message, false,
                         std::nullopt, std::nullopt, std::nullopt);
}

void InspectorCommands::sortAgainIfSortedBy(Column column) {
    if (_document.sorting().lastSortedColumn() == column)
        _document.sorting().sortUpdate();
}

// Due date and repeat

void InspectorCommands::storeDueDate(const NodePtr& item, const QDateTime& due) {
    const QString actionName = QCoreApplication::translate("InspectorCommands", "set date due");
    _document.restoring().registerSetInDict(item, key::due);
    _document.undoStack().setUndoText(actionName);
    appendToLog(*item, actionName);
    if (due <= Clock::now())
        warn(QCoreApplication::translate("InspectorCommands", "You have set a date due in the past."));
    item->set(key::due, storedDateString(due));
}

void InspectorCommands::finishDueDateChange(const NodePtr& item) {
    const Number* period = item->value(key::dateDueRepeatPeriod).asNumber();
    if (!item->contains(key::due) && period && period->toInt64() > 0)
        warn(QCoreApplication::translate("InspectorCommands", "This item does not yet have a date due."));
    forgetDueDateNotices(*item);
    const bool wasCompleted = isCompleted(*item);
    if (_document.sorting().lastSortedColumn() == Column::Due) {
        emit _document.itemChanged(item, {key::due});
        _document.sorting().sortUpdate();
        _document.updateUI();
    } else {
        _document.refreshItem(item, key::due, wasCompleted);
    }
}

void InspectorCommands::calendarViewChanged(const QDateTime& picked) {
    const NodePtr item = itemToChange();
    if (!item || !picked.isValid())
        return;
    {
        const TardigoDocument::SyncingModel syncing(_document);
        storeDueDate(item, picked);
    }
    finishDueDateChange(item);
}

void InspectorCommands::dueTimeChanged(const std::optional<QDateTime>& combined) {
    const NodePtr item = itemToChange();
    if (!item || !combined || !combined->isValid())
        return;
    {
        const TardigoDocument::SyncingModel syncing(_document);
        storeDueDate(item, *combined);
    }
    finishDueDateChange(item);
}

void InspectorCommands::storePeriod(const NodePtr& item, int period, const QString& actionName) {
    const TardigoDocument::SyncingModel syncing(_document);
    _document.restoring().registerSetInDict(item, key::dateDueRepeatPeriod);
    _document.undoStack().setUndoText(actionName);
    appendToLog(*item, actionName);
    item->set(key::dateDueRepeatPeriod, Value::integer(period));
}

bool InspectorCommands::repeatCheckboxAction(bool on, int shownPeriod) {
    const NodePtr item = itemToChange();
    if (!item)
        return false;
    const QString actionName = QCoreApplication::translate("InspectorCommands", "set date due repeat");
    if (on && shownPeriod == 0) {
        // No period yet: the user picks one in the popup, and that pick tells the minder.
        storePeriod(item, 0, actionName);
        return true;
    }
    storePeriod(item, on ? shownPeriod : 0, actionName);
    _document.undoStack().setUndoText(
        QCoreApplication::translate("InspectorCommands", "Set Due Date Repeat"));
    finishDueDateChange(item);
    return false;
}

void InspectorCommands::periodChosen(int period) {
    const NodePtr item = itemToChange();
    if (!item)
        return;
    storePeriod(item, period, QCoreApplication::translate("InspectorCommands", "set date due repeat"));
    finishDueDateChange(item);
}

// Reminder

void InspectorCommands::changeReminder(const QString& actionName,
                                       const std::function<void(const NodePtr&)>& change) {
    if (const NodePtr item = itemToChange())
        changeReminderOf(item, actionName, change);
}

void InspectorCommands::changeReminderOf(const NodePtr& item, const QString& actionName,
                                         const std::function<void(const NodePtr&)>& change) {
    const bool wasCompleted = isCompleted(*item);
    {
        const TardigoDocument::SyncingModel syncing(_document);
        item->remove(key::minderTimestampReminder);
        {
            const UndoGroup step(_document.undoStack(), actionName);
            appendToLog(*item, actionName);
            change(item);
        }
        // A reminder from now counts from here: any change starts it again.
        item->set(key::reminderMark, Date{referenceSecondsFromDateTime(Clock::now())});
    }
    _document.finishAllEditing();
    _document.refreshItem(item, key::reminderSet, wasCompleted);
}

void InspectorCommands::reminderCheckboxAction(bool on) {
    changeReminder(QCoreApplication::translate("InspectorCommands", "set reminder"),
                   [this, on](const NodePtr& item) {
                       _document.restoring().registerSetInDict(item, key::reminderSet);
                       item->set(key::reminderSet, Value::boolean(on));
                   });
}

void InspectorCommands::remindFromNow(const NodePtr& item, float length, ReminderUnit unit) {
    changeReminderOf(item, QCoreApplication::translate("InspectorCommands", "set reminder"),
                     [this, length, unit](const NodePtr& changed) {
                         const std::pair<QString, Value> keys[] = {
                             {key::reminderSet, Value::boolean(true)},
                             {key::reminderTimeLength, Value::float32(length)},
                             {key::reminderTimeUnit, Value::integer(unit)},
                             {key::reminderMarkNow, Value::boolean(true)},
                             {key::reminderMarkDueDate, Value::boolean(false)},
                             {key::reminderRepeat, Value::boolean(false)}};
                         for (const auto& [key, value] : keys) {
                             _document.restoring().registerSetInDict(changed, key);
                             changed->set(key, value);
                         }
                     });
}

void InspectorCommands::reminderLengthAction(const QString& text) {
    const double length = leadingNumber(text);
    changeReminder(QCoreApplication::translate("InspectorCommands", "set reminder interval"),
                   [this, length](const NodePtr& item) {
                       _document.restoring().registerSetInDict(item, key::reminderTimeLength);
                       item->set(key::reminderTimeLength, Value::float32(length));
                       if (length > 0) {
                           _document.restoring().registerSetInDict(item, key::reminderSet);
                           item->set(key::reminderSet, Value::boolean(true));
                       }
                   });
}

void InspectorCommands::reminderUnitAction(int unit) {
    changeReminder(QCoreApplication::translate("InspectorCommands", "set reminder type"),
                   [this, unit](const NodePtr& item) {
                       _document.restoring().registerSetInDict(item, key::reminderTimeUnit);
                       _document.restoring().registerSetInDict(item, key::reminderSet);
                       item->set(key::reminderSet, Value::boolean(true));
                       item->set(key::reminderTimeUnit, Value::integer(unit));
                   });
}

void InspectorCommands::reminderRepeatAction(bool on) {
    changeReminder(QCoreApplication::translate("InspectorCommands", "set reminder repeat"),
                   [this, on](const NodePtr& item) {
                       _document.restoring().registerSetInDict(item, key::reminderRepeat);
                       item->set(key::reminderRepeat, Value::boolean(on));
                       if (on) {
                           _document.restoring().registerSetInDict(item, key::reminderMarkDueDate);
                           _document.restoring().registerSetInDict(item, key::reminderMarkNow);
                           item->set(key::reminderMarkDueDate, Value::boolean(false));
                           item->set(key::reminderMarkNow, Value::boolean(true));
                       }
                   });
}

void InspectorCommands::reminderWhenceAction(bool beforeDueDate) {
    changeReminder(QCoreApplication::translate("InspectorCommands", "set reminder whence"),
                   [this, beforeDueDate](const NodePtr& item) {
                       _document.restoring().registerSetInDict(item, key::reminderMarkDueDate);
                       _document.restoring().registerSetInDict(item, key::reminderMarkNow);
                       item->set(key::reminderMarkDueDate, Value::boolean(beforeDueDate));
                       item->set(key::reminderMarkNow, Value::boolean(!beforeDueDate));
                       if (beforeDueDate) {
                           // A repeating reminder always counts from now.
                           _document.restoring().registerSetInDict(item, key::reminderRepeat);
                           item->set(key::reminderRepeat, Value::boolean(false));
                       }
                   });
}

// Icon, font and colour

void InspectorCommands::setForItems(const std::vector<NodePtr>& items, const QString& key,
                                    const Value& value) {
    for (const NodePtr& item : items) {
        _document.restoring().registerSetInDict(item, key);
        if (value.isNil())
            item->remove(key);
        else
            item->set(key, value);
    }
}

void InspectorCommands::iconSelected(std::optional<int> row) {
    const std::vector<NodePtr> items = itemsToChange();
    const QStringList icons = IconPreferences::icons();
    if (items.empty() || (row && (*row < 0 || *row >= icons.size())))
        return;
    _document.finishAllEditing();
    {
        const UndoGroup step(_document.undoStack(),
                             QCoreApplication::translate("InspectorCommands", "set icon"));
        const TardigoDocument::SyncingModel syncing(_document);
        setForItems(items, key::thisIconOnly, Value::boolean(row.has_value()));
        setForItems(items, key::icon, row ? Value(icons.at(*row)) : Value());
    }
    sortAgainIfSortedBy(Column::Icon);
    _document.refreshItems(items, key::icon);
}

void InspectorCommands::iconExclusivityAction(bool exclusive) {
    const std::vector<NodePtr> items = itemsToChange();
    if (items.empty())
        return;
    {
        const UndoGroup step(_document.undoStack(),
                             QCoreApplication::translate("InspectorCommands", "icon type"));
        const TardigoDocument::SyncingModel syncing(_document);
        setForItems(items, key::thisIconOnly, Value::boolean(exclusive));
    }
    _document.finishAllEditing();
    sortAgainIfSortedBy(Column::Icon);
    _document.refreshItems(items, key::icon);
}

void InspectorCommands::addOwnIcon(const QString& path) {
    if (path.isEmpty() || itemsToChange().empty())
        return;
    if (!IconPreferences::icons().contains(path)) {
        IconPreferences::addIcon(path);
        // Every window's icon list shows the new icon.
        emit PreferenceSignals::instance().preferencesChanged();
    }
    iconSelected(int(IconPreferences::icons().indexOf(path)));
}

void InspectorCommands::setFontOfItems(const std::optional<StoredFont>& font) {
    const std::vector<NodePtr> items = itemsToChange();
    if (items.empty())
        return;
    _document.finishAllEditing();
    {
        const UndoGroup step(_document.undoStack(),
                             QCoreApplication::translate("InspectorCommands", "set font"));
        const TardigoDocument::SyncingModel syncing(_document);
        setForItems(items, key::fontName, font ? Value(font->name) : Value());
        setForItems(items, key::fontSize, font ? Value::float32(font->pointSize) : Value());
    }
    _document.refreshItems(items, key::fontName);
}

void InspectorCommands::changeFont(const std::optional<StoredFont>& font) {
    setFontOfItems(font);
}

void InspectorCommands::useDefaultFont() {
    setFontOfItems(std::nullopt);
}

void InspectorCommands::setDefaultFont(const std::optional<StoredFont>& font) {
    if (_document.syncingModel())
        return;
    _document.finishAllEditing();
    if (font)
        Settings::instance().setUserFont(font->name, font->pointSize);
    else
        Settings::instance().removeUserFont();
    // A preference, not a change of the list: every open list shows it.
    emit PreferenceSignals::instance().preferencesChanged();
}

void InspectorCommands::changeColor(const std::optional<Rgba>& color) {
    const std::vector<NodePtr> items = itemsToChange();
    if (items.empty())
        return;
    {
        const UndoGroup step(_document.undoStack(),
                             QCoreApplication::translate("InspectorCommands", "set color"));
        const TardigoDocument::SyncingModel syncing(_document);
        setForItems(items, key::color, color ? Value::data(colorDataFromRgba(*color)) : Value());
    }
    _document.refreshItems(items, key::color);
}

// Where the inspector shows

void InspectorCommands::inspectorShown(bool visible, bool fromUser) {
    _document.data()->set(key::inspectorVisible, Value::boolean(visible));
    if (fromUser)
        _document.countChange(TardigoDocument::ChangeKind::Done);
}

bool InspectorCommands::tearOffInspector() {
    Dict& root = *_document.data();
    const bool panel = !flagOf(root, key::panelInspector);
    root.set(key::inspectorVisible, Value::boolean(true));
    root.set(key::panelInspector, Value::boolean(panel));
    _document.countChange(TardigoDocument::ChangeKind::Done);
    return panel;
}

} // namespace tardigo
