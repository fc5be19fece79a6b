// The reminder: a VALARM that every client shows (before the due date: a trigger related to the due
// date; from a moment: an absolute trigger), and the exact settings beside it, which stand as long
// as the alarm they give is the alarm the to-do holds. The reminder is the first alarm that comes at
// a time; alarms that come at a place, and every other alarm, are other clients' and stay as they are.
#include "ical/calendar_reader.h"
#include "ical/ical_properties.h"
#include "ical/ical_time.h"
#include "ical/todo_field.h"
#include "model/item_codes.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"

#include <cmath>

namespace tardigo {

namespace {

constexpr const char* kSettings = "X-TARDIGO-REMINDER";

enum class Kind { Boolean, Float, Integer, Date };
struct Setting {
    const char* name;
    const QString& key;
    Kind kind;
};
const Setting kSettingsKeys[] = {
    {"set", key::reminderSet, Kind::Boolean},       {"length", key::reminderTimeLength, Kind::Float},
    {"unit", key::reminderTimeUnit, Kind::Integer}, {"due", key::reminderMarkDueDate, Kind::Boolean},
    {"now", key::reminderMarkNow, Kind::Boolean},   {"repeat", key::reminderRepeat, Kind::Boolean},
    {"mark", key::reminderMark, Kind::Date},
};

constexpr double kLongestInterval = 2e9;        // some 60 years, within an int of seconds
constexpr double kFirstSecond = -62135596800.0; // 0001-01-01 00:00:00 UTC
constexpr double kLastSecond = 253402300799.0;  // 9999-12-31 23:59:59 UTC

/// When the alarm comes: `seconds` before the due date, or at `seconds` since 1970.
struct Trigger {
    bool beforeDue = false;
    qint64 seconds = 0;
    bool operator==(const Trigger&) const = default;
};

/// The alarm the minder's rules give for these settings; none where it would never come or
/// cannot be placed in time.
std::optional<Trigger> triggerOf(const Dict& settings) {
    if (!flagOf(settings, key::reminderSet))
        return std::nullopt;
    // Bounded, so that the alarm's time stays within the years iCalendar writes.
    const double interval = std::min(reminderIntervalForNode(settings), kLongestInterval);
    if (flagOf(settings, key::reminderMarkDueDate))
        return Trigger{true, std::llround(interval)};
    const Date* mark = settings.value(key::reminderMark).asDate();
    if (!flagOf(settings, key::reminderMarkNow) || !mark || !std::isfinite(mark->seconds))
        return std::nullopt;
    const double at = std::floor(double(Date::referenceUnixSeconds) + mark->seconds + interval);
    if (at < kFirstSecond || at > kLastSecond ||
        !icalUtcTime(QDateTime::fromSecsSinceEpoch(qint64(at), Qt::UTC)))
        return std::nullopt;
    return Trigger{false, qint64(at)};
}

QString settingsText(const Dict& item) {
    QStringList parts;
    for (const Setting& s : kSettingsKeys) {
        const Value& value = item.value(s.key);
        if (const Number* number = value.asNumber())
            parts.append(QStringLiteral("%1=%2").arg(QLatin1String(s.name),
                                                     QString::number(number->toDouble(), 'g', 17)));
        else if (const Date* date = value.asDate())
            parts.append(
                QStringLiteral("%1=%2").arg(QLatin1String(s.name), QString::number(date->seconds, 'g', 17)));
    }
    return parts.join(u' ');
}

Value settingValue(Kind kind, double number) {
    switch (kind) {
    case Kind::Boolean:
        return Value::boolean(number != 0.0);
    case Kind::Float:
        return Value::float32(number);
    case Kind::Integer:
        return Value::integer(qint64(number));
    case Kind::Date:
        return Date{number};
    }
    return {};
}

/// The settings an extension property holds; parts that do not read are left out.
DictPtr parseSettings(const QString& text) {
    DictPtr settings = Dict::create();
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString name = part.section(u'=', 0, 0);
        bool ok = false;
        const double number = part.section(u'=', 1).toDouble(&ok);
        if (!ok || !std::isfinite(number) || std::abs(number) > 1e15)
            continue;
        for (const Setting& s : kSettingsKeys) {
            if (name == QLatin1String(s.name))
                settings->set(s.key, settingValue(s.kind, number));
        }
    }
    return settings;
}

/// Whether the alarm comes at a place rather than a time, however its trigger reads.
bool isLocationAlarm(icalcomponent* alarm) {
    for (icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(alarm, ICAL_ANY_PROPERTY)) {
        const char* xName = icalproperty_isa(p) == ICAL_X_PROPERTY ? icalproperty_get_x_name(p) : nullptr;
        const QString name =
            xName ? QString::fromLatin1(xName) : QString::fromLatin1(icalproperty_get_property_name(p));
        const QString unread = name.compare(QLatin1String(kUnreadProperty), Qt::CaseInsensitive) == 0
                                   ? icalString(icalproperty_get_x(p))
                                   : QString();
        for (const QString& location : {name, unread}) {
            if (location.compare(QLatin1String("X-APPLE-PROXIMITY"), Qt::CaseInsensitive) == 0 ||
                location.compare(QLatin1String("X-APPLE-STRUCTURED-LOCATION"), Qt::CaseInsensitive) == 0 ||
                location.compare(QLatin1String("PROXIMITY"), Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

/// The trigger of an alarm we can express: an absolute one, or one related to the due date (or to
/// a start that is the due date).
std::optional<Trigger> alarmTrigger(icalcomponent* alarm, icalcomponent* todo) {
    icalproperty* property = firstProperty(alarm, ICAL_TRIGGER_PROPERTY);
    if (!property)
        return std::nullopt;
    const icaltriggertype trigger = icalproperty_get_trigger(property);
    if (!icaltime_is_null_time(trigger.time)) {
        const std::optional<QDateTime> at = propertyInstant(property, alarm);
        return at ? std::optional<Trigger>(Trigger{false, at->toSecsSinceEpoch()}) : std::nullopt;
    }
    icalparameter* related = icalproperty_get_first_parameter(property, ICAL_RELATED_PARAMETER);
    const bool fromStart = !related || icalparameter_get_related(related) != ICAL_RELATED_END;
    if (fromStart) {
        // Counted from a start of the writer's own, which the item does not keep.
        const std::optional<QDateTime> start = instantOf(todo, ICAL_DTSTART_PROPERTY);
        if (!start || start != instantOf(todo, ICAL_DUE_PROPERTY))
            return std::nullopt;
    }
    return Trigger{true, -qint64(icaldurationtype_as_int(trigger.duration))};
}

/// The alarm the reminder is: the first that comes at a time we can express. Other alarms, those
/// that come at a place among them, belong to other clients; a cancelled to-do has none of ours.
icalcomponent* managedAlarm(icalcomponent* todo, std::optional<Trigger>* trigger = nullptr) {
    if (isCancelledTodo(todo))
        return nullptr;
    for (icalcomponent* alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(todo, ICAL_VALARM_COMPONENT)) {
        if (isLocationAlarm(alarm))
            continue;
        if (const std::optional<Trigger> found = alarmTrigger(alarm, todo)) {
            if (trigger)
                *trigger = found;
            return alarm;
        }
    }
    return nullptr;
}

icalproperty* triggerProperty(const Trigger& trigger) {
    icaltriggertype value{};
    value.time = icaltime_null_time();
    value.duration = icaldurationtype_null_duration();
    if (trigger.beforeDue)
        value.duration = icaldurationtype_from_int(int(-trigger.seconds));
    else
        value.time =
            *icalUtcTime(QDateTime::fromSecsSinceEpoch(trigger.seconds, Qt::UTC)); // checked by triggerOf
    icalproperty* property = icalproperty_new_trigger(value);
    if (trigger.beforeDue)
        icalproperty_add_parameter(property, icalparameter_new_related(ICAL_RELATED_END));
    return property;
}

/// A display alarm needs a text to show: the item's name, or a word where it has none.
QString alarmText(const Dict& item) {
    const QString* name = item.value(key::name).asString();
    return name && !name->isEmpty() ? *name : QStringLiteral("Reminder");
}

void writeAlarm(const Trigger& trigger, const Dict& item, icalcomponent* todo) {
    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(alarmText(item).toUtf8().constData()));
    icalcomponent_add_property(alarm, triggerProperty(trigger));
    icalcomponent_add_component(todo, alarm);
}

void writeReminder(const TodoContent& content, icalcomponent* todo) {
    const Dict& item = *content.item;
    const QString settings = settingsText(item);
    if (!settings.isEmpty())
        addXProperty(todo, kSettings, settings);
    if (const std::optional<Trigger> trigger = triggerOf(item))
        writeAlarm(*trigger, item, todo);
}

/// The unit a client's interval reads best in as a whole number: the one the settings had, else
/// the largest that divides it.
qint64 unitFor(qint64 seconds, const Dict& settings) {
    const auto divides = [seconds](qint64 unit) {
        const qint64 unitSeconds = qint64(secondsPerReminderUnit(unit));
        return unitSeconds > 0 && seconds % unitSeconds == 0;
    };
    if (const Number* unit = settings.value(key::reminderTimeUnit).asNumber();
        unit && divides(unit->toInt64()))
        return unit->toInt64();
    for (qint64 unit : {ReminderWeeks, ReminderDays, ReminderHours}) {
        if (divides(unit))
            return unit;
    }
    return ReminderMinutes;
}

/// Settings for an alarm another client set or changed, keeping what still fits of ours.
void deriveSettings(const Trigger& trigger, const Dict& ours, Dict& item) {
    item.set(key::reminderSet, Value::boolean(true));
    item.set(key::reminderMarkDueDate, Value::boolean(trigger.beforeDue));
    item.set(key::reminderMarkNow, Value::boolean(!trigger.beforeDue));
    if (trigger.beforeDue) {
        const qint64 seconds =
            std::max<qint64>(trigger.seconds, 0); // an alarm after the due date comes at it
        const qint64 unit = unitFor(seconds, ours);
        item.set(key::reminderTimeUnit, Value::integer(unit));
        item.set(key::reminderTimeLength, Value::float32(double(seconds) / secondsPerReminderUnit(unit)));
        item.set(key::reminderRepeat, Value::boolean(false));
        if (const Value* mark = ours.find(key::reminderMark))
            item.set(key::reminderMark, *mark);
        return;
    }
    // From a moment: keep our interval and move the moment it counts from. Without an interval a
    // reminder comes at once, whatever its moment: an alarm of another client's comes a minute
    // after a moment a minute before it.
    const bool ownInterval = ours.contains(key::reminderTimeLength) && reminderIntervalForNode(ours) > 0;
    const double interval = ownInterval ? reminderIntervalForNode(ours) : 60.0;
    item.set(key::reminderTimeUnit,
             ownInterval ? ours.value(key::reminderTimeUnit) : Value::integer(ReminderMinutes));
    item.set(key::reminderTimeLength, ownInterval ? ours.value(key::reminderTimeLength) : Value::float32(1));
    item.set(key::reminderRepeat, Value::boolean(flagOf(ours, key::reminderRepeat)));
    item.set(key::reminderMark,
             Date{double(trigger.seconds) - interval - double(Date::referenceUnixSeconds)});
}

void readReminder(icalcomponent* todo, TodoContent& content) {
    const std::optional<QString> text = xPropertyText(todo, kSettings);
    const DictPtr ours = parseSettings(text.value_or(QString()));
    std::optional<Trigger> found;
    icalcomponent* alarm = managedAlarm(todo, &found);
    Dict& item = *content.item;
    if (ours->size() > 0 && triggerOf(*ours) == found) {
        for (const auto& [key, value] : ours->entries)
            item.set(key, value);
    } else if (found) {
        deriveSettings(*found, *ours, item);
    } else {
        // Another client removed the alarm: the reminder is off, its settings stay.
        for (const auto& [key, value] : ours->entries)
            item.set(key, value);
        if (ours->size() > 0)
            item.set(key::reminderSet, Value::boolean(false));
    }
    // Dealt with elsewhere once it came: it does not come again here.
    const std::optional<QDateTime> acknowledged =
        alarm ? instantOf(alarm, ICAL_ACKNOWLEDGED_PROPERTY) : std::nullopt;
    const std::optional<QDateTime> due = parseStoredDate(item.value(key::due));
    const std::optional<qint64> came = !found              ? std::nullopt
                                       : !found->beforeDue ? std::optional(found->seconds)
                                       : due ? std::optional(due->toSecsSinceEpoch() - found->seconds)
                                             : std::nullopt;
    if (acknowledged && came && acknowledged->toSecsSinceEpoch() >= *came)
        content.reminderAcknowledged = acknowledged;
}

void removeReminder(icalcomponent* todo) {
    removeXProperties(todo, kSettings);
    if (icalcomponent* alarm = managedAlarm(todo)) {
        icalcomponent_remove_component(todo, alarm);
        icalcomponent_free(alarm);
    }
}

/// Changes the alarm in place, so that whatever else its writer put in it stays: only its trigger
/// moves, and its text where it was the item's name.
void updateReminder(const TodoContent& before, const TodoContent& after, icalcomponent* todo) {
    if (settingsText(*before.item) != settingsText(*after.item)) {
        removeXProperties(todo, kSettings);
        if (const QString settings = settingsText(*after.item); !settings.isEmpty())
            addXProperty(todo, kSettings, settings);
    }
    const std::optional<Trigger> trigger = triggerOf(*after.item);
    icalcomponent* alarm = managedAlarm(todo);
    if (!trigger) {
        if (alarm) {
            icalcomponent_remove_component(todo, alarm);
            icalcomponent_free(alarm);
        }
        return;
    }
    if (!alarm) {
        writeAlarm(*trigger, *after.item, todo);
        return;
    }
    if (trigger != triggerOf(*before.item)) {
        removeProperties(alarm, ICAL_TRIGGER_PROPERTY);
        removeProperties(alarm, ICAL_ACKNOWLEDGED_PROPERTY); // it no longer says when it came
        addProperty(alarm, triggerProperty(*trigger));
    }
    icalproperty* description = firstProperty(alarm, ICAL_DESCRIPTION_PROPERTY);
    if (description && icalString(icalproperty_get_description(description)) == alarmText(*before.item)) {
        removeProperties(alarm, ICAL_DESCRIPTION_PROPERTY);
        addProperty(alarm, icalproperty_new_description(alarmText(*after.item).toUtf8().constData()));
    }
}

} // namespace

TodoField reminderField() {
    return {writeReminder, readReminder, removeReminder, updateReminder};
}

} // namespace tardigo
