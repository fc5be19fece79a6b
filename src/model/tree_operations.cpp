#include "model/tree_operations.h"

#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"

#include <QLoggingCategory>
#include <QStringList>

#include <algorithm>

Q_LOGGING_CATEGORY(lcModel, "tardigo.model")

namespace tardigo {

namespace {

/// Calls visit for every child node of node, in order.
template <typename Visit> void forEachChild(const Dict& node, Visit&& visit) {
    if (const ArrayPtr children = childrenOf(node))
        for (const Value& child : children->items)
            if (const DictPtr c = child.asDict())
                visit(*c);
}

/// The three matching tests: the very same node, equal in value, or the same item.
bool matches(const Dict& candidate, const Dict& target) {
    return &candidate == &target || VKisEqualToDictionary(candidate, target) || candidate.equals(target);
}

QString nameForLog(const Dict& node) {
    const QString* name = node.value(key::name).asString();
    return name ? *name : QStringLiteral("(null)");
}

/// The first node of the subtree, in pre-order, that passes the test.
template <typename Test> NodePtr findNode(const NodePtr& node, const Test& test) {
    if (!node)
        return nullptr;
    if (test(*node))
        return node;
    if (const ArrayPtr children = childrenOf(*node)) {
        for (const Value& child : children->items) {
            if (NodePtr found = findNode(child.asDict(), test))
                return found;
        }
    }
    return nullptr;
}

} // namespace

ItemCounts countItemsIncludingChildren(const Dict& node) {
    // Without recursion: a list may nest deeper than the stack allows.
    ItemCounts counts;
    std::vector<ArrayPtr> pending{childrenOf(node)};
    while (!pending.empty()) {
        const ArrayPtr children = std::move(pending.back());
        pending.pop_back();
        if (!children)
            continue;
        for (const Value& child : children->items) {
            const DictPtr item = child.asDict();
            if (!item)
                continue;
            ++counts.total;
            counts.complete += VKisCompleted(*item) ? 1 : 0;
            pending.push_back(childrenOf(*item));
        }
    }
    return counts;
}

void VKenumerateCategoriesInto(const Dict& node, QStringList& categories) {
    if (const QString* category = node.value(key::category).asString())
        categories.append(*category);
    forEachChild(node, [&](const Dict& child) { VKenumerateCategoriesInto(child, categories); });
}

bool VKisEqualToDictionary(const Dict& a, const Dict& b) {
    const QString* nameA = a.value(key::name).asString();
    const QString* nameB = b.value(key::name).asString();
    if (nameA && nameB && *nameA != *nameB)
        return false;
    const QString* createdA = a.value(key::dateCreated).asString();
    const QString* createdB = b.value(key::dateCreated).asString();
    if (createdA && createdB && *createdA != *createdB)
        return false;
    return nameA && nameB;
}

bool VKhasDescendentNode(const Dict& node, const Dict& target) {
    if (matches(node, target))
        return true;
    bool found = false;
    forEachChild(node, [&](const Dict& child) { found = found || VKhasDescendentNode(child, target); });
    return found;
}

NodePtr VKfindChildNodeIdenticalTo(const NodePtr& node, const Dict& target) {
    // Usually the target is a node of this very tree (the minder hands over the document's own
    // node): finding it by address first spares comparing the values of every node before it.
    if (NodePtr same = findNode(node, [&](const Dict& candidate) { return &candidate == &target; }))
        return same;
    return findNode(node, [&](const Dict& candidate) { return matches(candidate, target); });
}

void VKdeleteItem(Dict& node, const Dict* target, std::vector<RemovedChild>* removed) {
    const ArrayPtr children = childrenOf(node);
    if (!children)
        return;
    for (size_t i = 0; i < children->items.size();) {
        const DictPtr child = children->items[i].asDict();
        if (child)
            VKdeleteItem(*child, target, removed);
        if (child && child.get() == target) {
            if (removed)
                removed->push_back({children, i, children->items[i]});
            children->items.erase(children->items.begin() + qsizetype(i));
        } else {
            ++i;
        }
    }
}

void VKdeleteItems(Dict& node, const std::vector<NodePtr>& targets, std::vector<RemovedChild>* removed) {
    for (const NodePtr& target : targets)
        VKdeleteItem(node, target.get(), removed);
}

void VKrestoreRemovedChildren(const std::vector<RemovedChild>& removed) {
    for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
        std::vector<Value>& items = it->children->items;
        items.insert(items.begin() + qsizetype(std::min(it->index, items.size())), it->item);
    }
}

void VKpurgeCompleted(Dict& node) {
    const ArrayPtr children = childrenOf(node);
    if (!children)
        return;
    forEachChild(node, [](const Dict& child) { VKpurgeCompleted(const_cast<Dict&>(child)); });
    std::erase_if(children->items, [](const Value& child) {
        const DictPtr c = child.asDict();
        return c && VKisCompleted(*c);
    });
}

void VKcleanForExport(Dict& node,
                      const std::function<std::optional<QString>(const QByteArray&)>& notesPlainText) {
    for (const QString* k : {&key::icon, &key::thisIconOnly, &key::fontName, &key::fontSize, &key::color,
                             &key::minderTimestampTodo, &key::minderTimestampReminder, &key::reminderMark})
        node.remove(*k);
    if (const QByteArray* notes = node.value(key::notes).asData()) {
        if (const std::optional<QString> text = notesPlainText(*notes))
            node.set(key::notes, *text);
    }
    forEachChild(node,
                 [&](const Dict& child) { VKcleanForExport(const_cast<Dict&>(child), notesPlainText); });
}

void VKfixupTimeStamps(Dict& node) {
    for (const QString* k : {&key::dateCreated, &key::dateCompleted, &key::due}) {
        const Value value = node.value(*k); // a copy: the node changes below
        // A plain date keeps its instant, written in the local zone, so early lists keep their dates.
        if (const Date* date = value.asDate())
            node.set(*k, storedDateString(dateTimeFromReferenceSeconds(date->seconds).toLocalTime()));
        else if (const CalendarDate* calendarDate = value.asCalendarDate())
            node.set(*k, storedDateString(dateTimeFromCalendarDate(*calendarDate)));
    }
    forEachChild(node, [](const Dict& child) { VKfixupTimeStamps(const_cast<Dict&>(child)); });
}

void VKfixupDuplicateNodesWithHash(Dict& node, SeenNodes& seen) {
    const ArrayPtr children = childrenOf(node);
    if (!children)
        return;
    std::vector<size_t> duplicates; // positions, so a node object listed twice loses only its repeat
    QStringList duplicateNames;
    for (size_t i = 0; i < children->items.size(); ++i) {
        const DictPtr c = children->items[i].asDict();
        if (!c)
            continue;
        if (!seen.add(*c)) {
            qCInfo(lcModel).noquote()
                << QStringLiteral("in node %1, duplicate node %2").arg(nameForLog(node), nameForLog(*c));
            duplicates.push_back(i);
            duplicateNames.append(nameForLog(*c));
            continue;
        }
        VKfixupDuplicateNodesWithHash(*c, seen);
    }
    if (duplicates.empty())
        return;
    qCInfo(lcModel).noquote()
        << QStringLiteral("removing duplicate nodes (%1)").arg(duplicateNames.join(QStringLiteral(", ")));
    for (auto it = duplicates.rbegin(); it != duplicates.rend(); ++it) {
        // Children arrays may be shared, so the removed node may be one the set remembers.
        seen.keep(children->items[*it].asDict());
        children->items.erase(children->items.begin() + qsizetype(*it));
    }
}

} // namespace tardigo
