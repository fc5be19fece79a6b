// The reminder: a VALARM that every client shows (before the due date: a trigger related to the due
// date; from a moment: an absolute trigger), and the exact settings beside it, which stand as long
// as the alarm they give is the alarm the to-do holds.
#include "ical/ical_properties.h"
#include "ical/ical_time.h"
#include "ical/todo_field.h"
#include "model/item_codes.h"
#include "model/keys.h"
#include "model/node_operations.h"

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
    if (!boolForKey(settings, key::reminderSet))
        return std::nullopt;
    // Bounded, so that the alarm's time stays within the years iCalendar writes.
    const double interval = std::min(reminderIntervalForNode(settings), kLongestInterval);
    if (boolForKey(settings, key::reminderMarkDueDate))
        return Trigger{true, std::llround(interval)};
    const Date* mark = settings.value(key::reminderMark).asDate();
    if (!boolForKey(settings, key::reminderMarkNow) || !mark || !std::isfinite(mark->seconds))
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

/// The trigger of an alarm we can express: an absolute one, or one related to the due date.
std::optional<Trigger> alarmTrigger(icalcomponent* alarm) {
    icalproperty* property = firstProperty(alarm, ICAL_TRIGGER_PROPERTY);
    if (!property)
        return std::nullopt;
    const icaltriggertype trigger = icalproperty_get_trigger(property);
    if (!icaltime_is_null_time(trigger.time)) {
        const std::optional<QDateTime> at = propertyInstant(property, alarm);
        return at ? std::optional<Trigger>(Trigger{false, at->toSecsSinceEpoch()}) : std::nullopt;
    }
    icalparameter* related = icalproperty_get_first_parameter(property, ICAL_RELATED_PARAMETER);
    if (!related || icalparameter_get_related(related) != ICAL_RELATED_END)
        return std::nullopt; // counted from a start date we do not keep
    return Trigger{true, -qint64(icaldurationtype_as_int(trigger.duration))};
}

/// Our alarm: the first whose trigger we can express. Other alarms belong to other clients.
icalcomponent* ownAlarm(icalcomponent* todo, std::optional<Trigger>* trigger = nullptr) {
    for (icalcomponent* alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(todo, ICAL_VALARM_COMPONENT)) {
        if (const std::optional<Trigger> found = alarmTrigger(alarm)) {
            if (trigger)
                *trigger = found;
            return alarm;
        }
    }
    return nullptr;
}

void writeReminder(const TodoContent& content, icalcomponent* todo) {
    const Dict& item = *content.item;
    const QString settings = settingsText(item);
    if (!settings.isEmpty())
        addXProperty(todo, kSettings, settings);
    const std::optional<Trigger> trigger = triggerOf(item);
    if (!trigger)
        return;
    icaltriggertype value{};
    value.time = icaltime_null_time();
    value.duration = icaldurationtype_null_duration();
    if (trigger->beforeDue)
        value.duration = icaldurationtype_from_int(int(-trigger->seconds));
    else
        value.time =
            *icalUtcTime(QDateTime::fromSecsSinceEpoch(trigger->seconds, Qt::UTC)); // checked by triggerOf
    icalproperty* triggerProperty = icalproperty_new_trigger(value);
    if (trigger->beforeDue)
        icalproperty_add_parameter(triggerProperty, icalparameter_new_related(ICAL_RELATED_END));
    // A display alarm needs a text to show: the item's name, or a word where it has none.
    const QString* name = item.value(key::name).asString();
    const QString text = name && !name->isEmpty() ? *name : QStringLiteral("Reminder");
    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(text.toUtf8().constData()));
    icalcomponent_add_property(alarm, triggerProperty);
    icalcomponent_add_component(todo, alarm);
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
    // From a moment: keep our interval and move the moment it counts from.
    const double interval = ours.contains(key::reminderTimeLength) ? reminderIntervalForNode(ours) : 0.0;
    item.set(key::reminderTimeUnit, ours.contains(key::reminderTimeUnit) ? ours.value(key::reminderTimeUnit)
                                                                         : Value::integer(ReminderMinutes));
    item.set(key::reminderTimeLength, ours.contains(key::reminderTimeLength)
                                          ? ours.value(key::reminderTimeLength)
                                          : Value::float32(0));
    item.set(key::reminderRepeat, Value::boolean(boolForKey(ours, key::reminderRepeat)));
    item.set(key::reminderMark,
             Date{double(trigger.seconds) - interval - double(Date::referenceUnixSeconds)});
}

void readReminder(icalcomponent* todo, TodoContent& content) {
    const std::optional<QString> text = xPropertyText(todo, kSettings);
    const DictPtr ours = parseSettings(text.value_or(QString()));
    std::optional<Trigger> found;
    ownAlarm(todo, &found);
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
}

void removeReminder(icalcomponent* todo) {
    removeXProperties(todo, kSettings);
    if (icalcomponent* alarm = ownAlarm(todo)) {
        icalcomponent_remove_component(todo, alarm);
        icalcomponent_free(alarm);
    }
}

} // namespace

TodoField reminderField() {
    return {writeReminder, readReminder, removeReminder};
}

} // namespace tardigo
