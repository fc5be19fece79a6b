#include "model/keys.h"
#include "platform/user_defaults.h"

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
    const std::pair<const char*, int> conditions[] = {{"vk_newitem", 0}, {"vk_red-star-2", 1}, {"vk_red-star-1", 2},
                                                      {"vk_time", 4},    {"vk_phone2", 5},     {"vk_pencil", 6},
                                                      {"vk_signal", 7},  {"vk_check6", 8},     {"vk_notdone", 9}};
    for (const auto& [icon, status] : conditions)
        dict->set(QString::fromLatin1(icon), Value::integer(status));
    return dict;
}

} // namespace

void registerTardigoDefaults(UserDefaults& defaults) {
    const Value yes = Value::boolean(true), no = Value::boolean(false);
    defaults.registerDefaults({
        {pref::todoItemIcons,
         stringArray({"vk_newitem", "vk_notdone", "vk_check1", "vk_check2", "vk_check3", "vk_check4", "vk_check5",
                      "vk_check6", "vk_black-bullet", "vk_green-bullet", "vk_blue-bullet", "vk_red-bullet",
                      "vk_yellow-star-1", "vk_yellow-star-2", "vk_red-star-1", "vk_red-star-2", "vk_mosaic",
                      "vk_finger", "vk_gears", "vk_heart", "vk_pencil", "vk_phone1", "vk_phone2", "vk_pirate",
                      "vk_radioactive", "vk_bubble", "vk_signal", "vk_smiley", "vk_umbrella"})},
        {pref::todoItemIconConditions, iconConditions()},
        {pref::todoItemIconCategories, Dict::create(false)},
        {pref::minderAlertDialog, yes},
        {pref::minderAlertSound, no},
        {pref::minderSpeak, no},
        {pref::minderEmail, no},
        {pref::tardigoMinderEnabled, yes},
        {pref::tardigoMinderRunIntervalMin, Value::integer(15)},
        {pref::loadPreviousListOnStartup, yes},
        {pref::autoSave, no},
        {pref::categoriesLocalScope, yes},
        {pref::categoriesGlobalList, Array::create(false)},
        {pref::drawerSide, Value::integer(2)},
        {pref::oldDays, Value::integer(90)},
        {pref::tardigoMinderDocs, Array::create(false)},
        {pref::lastWindowCloseQuits, yes},
        {pref::borderPulldowns, yes},
        {pref::printCheckboxes, yes},
        {pref::printIcons, yes},
        {pref::printNotes, yes},
        // Linux additions: desktop notifications, and mail through any MTA's sendmail.
        {pref::minderDesktopNotification, yes},
        {pref::minderSendmailPath, Value("/usr/sbin/sendmail")},
    });
}

} // namespace tardigo
