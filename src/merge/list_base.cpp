#include "merge/list_base.h"

#include "model/item_walk.h"
#include "model/keys.h"

#include <cmath>
#include <limits>

namespace tardigo {

namespace {

/// The root's own keys, copied so that later changes of the list leave them as they were.
ListBase::Entries settingsOf(const Dict& root) {
    ListBase::Entries settings;
    for (const auto& [key, value] : root.entries)
        if (key != key::children)
            settings.emplace_back(key, value.deepCopy());
    return settings;
}

} // namespace

const QStringList& ListBase::stampKeys() {
    static const QStringList keys{key::minderTimestampTodo, key::minderTimestampReminder};
    return keys;
}

const QStringList& ListBase::keysBesideContent() {
    static const QStringList keys = QStringList{key::children, key::uid} + stampKeys();
    return keys;
}

double ListBase::stampOf(const Dict& item, size_t which) {
    const Date* date = item.value(stampKeys().at(qsizetype(which))).asDate();
    return date ? date->seconds : std::numeric_limits<double>::quiet_NaN();
}

ListBase::Item ListBase::itemOf(const Dict& item, NodePtr node, ContentFingerprint content, qint32 parent,
                                qint32 index) {
    constexpr double absent = std::numeric_limits<double>::quiet_NaN();
    Item entry{std::move(node), {}, {}, {}, content, {absent, absent}, parent, index};
    // One look at each key: this runs for every item at every save.
    for (const auto& [key, value] : item.entries) {
        const QString* text = value.asString();
        if (key == key::name)
            entry.name = text ? *text : QString();
        else if (key == key::dateCreated)
            entry.created = text ? *text : QString();
        else if (key == key::uid)
            entry.uid = text ? *text : QString();
        else if (const Date* date = value.asDate(); date && key == stampKeys().at(0))
            entry.stamps[0] = date->seconds;
        else if (date && key == stampKeys().at(1))
            entry.stamps[1] = date->seconds;
    }
    return entry;
}

ListBase::ListBase(const Dict& root) : _settings(settingsOf(root)) {
    // The items from the top level down to the one met last: a pre-order walk meets each parent
    // there. Nothing is looked up by address, as this runs at every save.
    std::vector<std::pair<const Dict*, qint32>> ancestors{{&root, -1}};
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype index) {
        while (ancestors.back().first != &parent)
            ancestors.pop_back();
        ancestors.emplace_back(item.get(), qint32(_items.size()));
        _items.push_back(itemOf(*item, item, contentFingerprint(*item, keysBesideContent()),
                                ancestors[ancestors.size() - 2].second, qint32(index)));
    });
}

ListBase::ListBase(std::vector<Item> items, const Dict& root)
    : _items(std::move(items)), _settings(settingsOf(root)) {}

} // namespace tardigo
