#include "outline/icon_rules.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/settings.h"
#include "rich_text/notes_text.h"

#include <QDir>
#include <QFileInfo>

namespace tardigo {

namespace {

NodePtr& mostRecentlyCreatedItem() {
    static NodePtr item;
    return item;
}

std::function<bool(const QString&)>& imageAvailability() {
    static std::function<bool(const QString&)> test = [](const QString& name) {
        return !QDir::isAbsolutePath(name) || QFileInfo(name).isFile();
    };
    return test;
}

bool hasNotes(const Dict& item) {
    // Read only as far as the first character that is not white space: notes may be megabytes.
    const QByteArray* notes = item.value(key::notes).asData();
    return notes && notesHaveText(*notes);
}

} // namespace

IconRules::IconRules(const Dict* conditions, const Dict* categories, qint64 oldDays) : _oldDays(oldDays) {
    if (conditions) {
        for (const auto& [name, code] : conditions->entries) {
            const Number* n = code.asNumber();
            if (n && double(n->toInt64()) == n->toDouble() && !_statusIcons.contains(n->toInt64()))
                _statusIcons.insert(n->toInt64(), name);
        }
    }
    if (categories) {
        for (const auto& [name, category] : categories->entries) {
            const QString* assigned = category.asString();
            if (assigned && !_categoryIcons.contains(*assigned))
                _categoryIcons.insert(*assigned, name);
        }
    }
}

IconRules IconRules::current() {
    const Settings& settings = Settings::instance();
    return IconRules(settings.iconConditions().get(), settings.iconCategories().get(), settings.oldDays());
}

std::optional<QString> IconRules::iconNameForItemStatus(int status) const {
    const auto it = _statusIcons.constFind(status);
    return it == _statusIcons.cend() ? std::nullopt : std::optional<QString>(*it);
}

std::optional<QString> IconRules::iconNameForCategoryName(const QString& category) const {
    const auto it = _categoryIcons.constFind(category);
    return it == _categoryIcons.cend() ? std::nullopt : std::optional<QString>(*it);
}

std::optional<QString> IconRules::shown(const std::optional<QString>& name) const {
    return name && !name->isEmpty() && hasImage(*name) ? name : std::nullopt;
}

std::optional<QString> IconRules::iconNameForItem(const Dict* item) const {
    if (!item)
        return std::nullopt;
    const std::optional<QString> defaultName = iconNameForItemStatus(IconStatusDefault);
    if (isCompleted(*item)) {
        const std::optional<QString> completed = iconNameForItemStatus(IconStatusCompleted);
        return shown(completed ? completed : defaultName);
    }
    const Value* own = item->find(key::icon);
    if (own && flagOf(*item, key::thisIconOnly) && item->contains(key::completion)) {
        // The user's own choice shows even when its image is gone: then no icon at all.
        const QString* name = own->asString();
        return shown(name ? std::optional<QString>(*name) : std::nullopt);
    }
    if (const std::optional<QString> name = shown(ruleIcon(*item)))
        return name;
    return shown(defaultName);
}

std::optional<QString> IconRules::ruleIcon(const Dict& item) const {
    // Each rule yields the icon of its status; the status's icon is looked up first so that the
    // costlier conditions (notes decoding) are only worked out when they could matter.
    const auto rule = [this](int status, auto&& condition) -> std::optional<QString> {
        std::optional<QString> name = iconNameForItemStatus(status);
        return name && condition() ? name : std::nullopt;
    };
    if (auto name = rule(IconStatusPastDue, [&] { return isOverdue(item); }))
        return name;
    if (const QString* category = item.value(key::category).asString(); category && !category->isEmpty())
        if (auto name = iconNameForCategoryName(*category))
            return name;
    if (auto name = rule(IconStatusOld, [&] { return isOld(item, _oldDays); }))
        return name;
    if (auto name = rule(IconStatusHasDueDate, [&] { return item.contains(key::due); }))
        return name;
    if (auto name = rule(IconStatusHasReminder, [&] { return flagOf(item, key::reminderSet); }))
        return name;
    if (auto name = rule(IconStatusHasNotes, [&] { return hasNotes(item); }))
        return name;
    if (auto name = rule(IconStatusPartiallyCompleted, [&] { return hasPartialCompletion(item); }))
        return name;
    return rule(IconStatusNew, [&] { return isMostRecentlyCreatedItem(item); });
}

void IconRules::setMostRecentlyCreatedItem(NodePtr item) {
    mostRecentlyCreatedItem() = std::move(item);
}

bool IconRules::isMostRecentlyCreatedItem(const Dict& item) {
    return mostRecentlyCreatedItem().get() == &item;
}

void IconRules::setImageAvailability(std::function<bool(const QString&)> test) {
    imageAvailability() = std::move(test);
}

bool IconRules::hasImage(const QString& name) {
    return imageAvailability()(name);
}

} // namespace tardigo
