#include "platform/preference_table.h"

#include "model/keys.h"

#include <algorithm>

namespace tardigo {

namespace {

Value stringArray(std::initializer_list<const char*> strings) {
    ArrayPtr array = Array::create(false);
    for (const char* s : strings)
        array->items.emplace_back(s);
    return array;
}

Value iconConditions() {
    DictPtr dict = Dict::create(false);
    const std::pair<const char*, int> conditions[] = {
        {"vk_newitem", 0}, {"vk_red-star-2", 1}, {"vk_red-star-1", 2}, {"vk_time", 4},   {"vk_phone2", 5},
        {"vk_pencil", 6},  {"vk_signal", 7},     {"vk_check6", 8},     {"vk_notdone", 9}};
    for (const auto& [icon, status] : conditions)
        dict->set(QString::fromLatin1(icon), Value::integer(status));
    return dict;
}

std::vector<Preference> makeTable() {
    using K = PreferenceKind;
    const Value yes = Value::boolean(true), no = Value::boolean(false);
    return {
        {pref::todoItemIcons, K::StringList,
         stringArray(
             {"vk_newitem",     "vk_notdone",    "vk_check1",        "vk_check2",        "vk_check3",
              "vk_check4",      "vk_check5",     "vk_check6",        "vk_black-bullet",  "vk_green-bullet",
              "vk_blue-bullet", "vk_red-bullet", "vk_yellow-star-1", "vk_yellow-star-2", "vk_red-star-1",
              "vk_red-star-2",  "vk_mosaic",     "vk_finger",        "vk_gears",         "vk_heart",
              "vk_pencil",      "vk_phone1",     "vk_phone2",        "vk_pirate",        "vk_radioactive",
              "vk_bubble",      "vk_signal",     "vk_smiley",        "vk_umbrella"})},
        {pref::todoItemIconConditions, K::IntegerDictionary, iconConditions(), NumberRange{0, 9}},
        {pref::todoItemIconCategories, K::StringDictionary, Dict::create(false)},
        {pref::minderAlertDialog, K::Boolean, yes},
        {pref::minderAlertSound, K::Boolean, no},
        {pref::minderSpeak, K::Boolean, no},
        {pref::minderEmail, K::Boolean, no},
        {pref::tardigoMinderEnabled, K::Boolean, yes},
        // A week at most: the minder's timer counts milliseconds in 32 bits.
        {pref::tardigoMinderRunIntervalMin, K::Integer, Value::integer(15), NumberRange{1, 10080}},
        {pref::loadPreviousListOnStartup, K::Boolean, yes},
        {pref::autoSave, K::Boolean, no},
        {pref::categoriesLocalScope, K::Boolean, yes},
        {pref::categoriesGlobalList, K::StringList, Array::create(false)},
        {pref::drawerSide, K::Integer, Value::integer(2), NumberRange{0, 2, true}},
        {pref::oldDays, K::Integer, Value::integer(90), NumberRange{1, 36500}},
        {pref::tardigoMinderDocs, K::StringList, Array::create(false)},
        {pref::lastWindowCloseQuits, K::Boolean, yes},
        {pref::borderPulldowns, K::Boolean, yes},
        {pref::printCheckboxes, K::Boolean, yes},
        {pref::printIcons, K::Boolean, yes},
        {pref::printNotes, K::Boolean, yes},
        // Linux additions: desktop notifications, and mail through any MTA's sendmail.
        {pref::minderDesktopNotification, K::Boolean, yes},
        {pref::minderSendmailPath, K::String, Value("/usr/sbin/sendmail")},
        // Run before and after "tardigo-cli sync --all", e.g. "vdirsyncer sync tasks".
        {pref::syncCommand, K::String, {}},
        // The list quick add adds to; none: the first open list.
        {pref::quickAddList, K::String, {}},
        {pref::agendaShowsUndated, K::Boolean, no},
        // Read without a registered default.
        {pref::minderEmailAddress, K::String, {}},
        {pref::lastDocumentSet, K::StringList, {}},
        // Ten years of hours at most; 0 or less, read as no value, gives the repeat's own hours.
        {pref::frequentRepeatHours, K::Integer, {}, NumberRange{1, 87600}},
        {pref::infrequentHours, K::Integer, {}, NumberRange{1, 87600}},
        {pref::userShortDateFormat, K::String, {}},
        {pref::userTimeFormat, K::String, {}},
        {pref::userFont, K::String, {}},
        {pref::userFontSize, K::Real, {}, NumberRange{1, 1000}},
        {pref::toolbarItemIdentifiers, K::StringList, {}},
        {pref::recentDocuments, K::StringList, {}},
    };
}

} // namespace

const std::vector<Preference>& preferenceTable() {
    static const std::vector<Preference> table = makeTable();
    return table;
}

bool NumberRange::contains(double number) const {
    return endsOnly ? number == lowest || number == highest : number >= lowest && number <= highest;
}

QString NumberRange::description() const {
    return (endsOnly ? QStringLiteral("%1 or %2") : QStringLiteral("from %1 to %2")).arg(lowest).arg(highest);
}

const Preference* preferenceForKey(const QString& key) {
    for (const Preference& preference : preferenceTable())
        if (preference.key == key)
            return &preference;
    return nullptr;
}

bool preferenceAccepts(const QString& key, const Value& value) {
    const Preference* preference = preferenceForKey(key);
    if (!preference || !preference->range)
        return true;
    const auto inRange = [&](const Value& number) {
        return !number.isNumber() || preference->range->contains(number.asNumber()->toDouble());
    };
    if (const DictPtr table = value.asDict())
        return std::all_of(table->entries.begin(), table->entries.end(),
                           [&](const auto& entry) { return inRange(entry.second); });
    return inRange(value);
}

std::optional<PreferenceKind> preferenceKind(const QString& key) {
    if (const Preference* preference = preferenceForKey(key))
        return preference->kind;
    if (key.startsWith(pref::windowFramePrefix) || key.startsWith(pref::outlineColumnsPrefix))
        return PreferenceKind::Data;
    return std::nullopt;
}

QString preferenceKindDescription(PreferenceKind kind) {
    switch (kind) {
    case PreferenceKind::Boolean:
        return QStringLiteral("true or false");
    case PreferenceKind::Integer:
        return QStringLiteral("a whole number");
    case PreferenceKind::Real:
        return QStringLiteral("a number");
    case PreferenceKind::String:
        return QStringLiteral("a text");
    case PreferenceKind::StringList:
        return QStringLiteral("a list of texts separated by commas");
    case PreferenceKind::IntegerDictionary:
        return QStringLiteral("a list of NAME=NUMBER pairs separated by commas");
    case PreferenceKind::StringDictionary:
        return QStringLiteral("a list of NAME=TEXT pairs separated by commas");
    case PreferenceKind::Data:
        return QStringLiteral("base64 data");
    }
    return QString();
}

} // namespace tardigo
