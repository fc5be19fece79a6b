#include "outline/icon_preferences.h"

#include "model/keys.h"
#include "platform/user_defaults.h"

namespace tardigo {

namespace {

DictPtr copyOf(const QString& key) {
    const DictPtr stored = UserDefaults::standard().objectForKey(key).asDict();
    return stored ? stored->deepCopy() : Dict::create();
}

std::optional<QString> iconAt(int row) {
    const QStringList icons = IconPreferences::icons();
    if (row < 0 || row >= icons.size())
        return std::nullopt;
    return icons.at(row);
}

// One value belongs to one icon: every icon that had it loses it, then the icon takes it.
void assign(const QString& key, int row, const std::optional<Value>& value) {
    const std::optional<QString> icon = iconAt(row);
    if (!icon)
        return;
    const DictPtr dict = copyOf(key);
    if (value)
        std::erase_if(dict->entries, [&](const auto& entry) { return entry.second == *value; });
    dict->remove(*icon);
    if (value)
        dict->set(*icon, *value);
    UserDefaults::standard().setObject(key, dict);
}

} // namespace

QStringList IconPreferences::icons() {
    return UserDefaults::standard().stringArrayForKey(pref::todoItemIcons);
}

std::optional<QString> IconPreferences::categoryOfIcon(const QString& icon) {
    const DictPtr categories = UserDefaults::standard().objectForKey(pref::todoItemIconCategories).asDict();
    const QString* category = categories ? categories->value(icon).asString() : nullptr;
    return category ? std::optional(*category) : std::nullopt;
}

std::optional<int> IconPreferences::statusOfIcon(const QString& icon) {
    const DictPtr conditions = UserDefaults::standard().objectForKey(pref::todoItemIconConditions).asDict();
    const Number* status = conditions ? conditions->value(icon).asNumber() : nullptr;
    return status ? std::optional(int(status->toInt64())) : std::nullopt;
}

void IconPreferences::setCategory(int row, const std::optional<QString>& category) {
    assign(pref::todoItemIconCategories, row, category ? std::optional<Value>(*category) : std::nullopt);
}

void IconPreferences::setStatus(int row, const std::optional<int>& status) {
    assign(pref::todoItemIconConditions, row, status ? std::optional(Value::integer(*status)) : std::nullopt);
}

void IconPreferences::addIcon(const QString& path) {
    QStringList list = icons();
    list.append(path);
    UserDefaults::standard().setStringArray(pref::todoItemIcons, list);
}

bool IconPreferences::removeIcon(int row) {
    const std::optional<QString> icon = iconAt(row);
    if (!icon)
        return false;
    for (const QString& key : {pref::todoItemIconConditions, pref::todoItemIconCategories}) {
        const DictPtr dict = copyOf(key);
        dict->remove(*icon);
        UserDefaults::standard().setObject(key, dict);
    }
    QStringList list = icons();
    list.removeAt(row);
    UserDefaults::standard().setStringArray(pref::todoItemIcons, list);
    return true;
}

} // namespace tardigo
