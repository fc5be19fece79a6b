#include "outline/icon_preferences.h"

#include "platform/settings.h"

namespace tardigo {

namespace {

// An icon table of the settings: its getter and setter.
struct IconTable {
    DictPtr (Settings::*get)() const;
    void (Settings::*set)(const DictPtr&);
};
const IconTable kConditions{&Settings::iconConditions, &Settings::setIconConditions};
const IconTable kCategories{&Settings::iconCategories, &Settings::setIconCategories};

DictPtr copyOf(const IconTable& table) {
    const DictPtr stored = (Settings::instance().*table.get)();
    return stored ? stored->deepCopy() : Dict::create();
}

std::optional<QString> iconAt(int row) {
    const QStringList icons = IconPreferences::icons();
    if (row < 0 || row >= icons.size())
        return std::nullopt;
    return icons.at(row);
}

// One value belongs to one icon: every icon that had it loses it, then the icon takes it.
void assign(const IconTable& table, int row, const std::optional<Value>& value) {
    const std::optional<QString> icon = iconAt(row);
    if (!icon)
        return;
    const DictPtr dict = copyOf(table);
    if (value)
        std::erase_if(dict->entries, [&](const auto& entry) { return entry.second == *value; });
    dict->remove(*icon);
    if (value)
        dict->set(*icon, *value);
    (Settings::instance().*table.set)(dict);
}

} // namespace

QStringList IconPreferences::icons() {
    return Settings::instance().itemIcons();
}

std::optional<QString> IconPreferences::categoryOfIcon(const QString& icon) {
    const DictPtr categories = Settings::instance().iconCategories();
    const QString* category = categories ? categories->value(icon).asString() : nullptr;
    return category ? std::optional(*category) : std::nullopt;
}

std::optional<int> IconPreferences::statusOfIcon(const QString& icon) {
    const DictPtr conditions = Settings::instance().iconConditions();
    const Number* status = conditions ? conditions->value(icon).asNumber() : nullptr;
    return status ? std::optional(int(status->toInt64())) : std::nullopt;
}

void IconPreferences::setCategory(int row, const std::optional<QString>& category) {
    assign(kCategories, row, category ? std::optional<Value>(*category) : std::nullopt);
}

void IconPreferences::setStatus(int row, const std::optional<int>& status) {
    assign(kConditions, row, status ? std::optional(Value::integer(*status)) : std::nullopt);
}

void IconPreferences::addIcon(const QString& path) {
    QStringList list = icons();
    list.append(path);
    Settings::instance().setItemIcons(list);
}

bool IconPreferences::removeIcon(int row) {
    const std::optional<QString> icon = iconAt(row);
    if (!icon)
        return false;
    for (const IconTable& table : {kConditions, kCategories}) {
        const DictPtr dict = copyOf(table);
        dict->remove(*icon);
        (Settings::instance().*table.set)(dict);
    }
    QStringList list = icons();
    list.removeAt(row);
    Settings::instance().setItemIcons(list);
    return true;
}

} // namespace tardigo
