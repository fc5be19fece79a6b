#include "model/tree_operations.h"

#include "model/clock.h"
#include "model/core_log.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

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
    return &candidate == &target || isSameItem(candidate, target) || candidate.equals(target);
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
            counts.complete += isCompleted(*item) ? 1 : 0;
            pending.push_back(childrenOf(*item));
        }
    }
    return counts;
}

int itemLevels(const Dict& item) {
    // Without recursion, like the counts.
    int deepest = 0;
    std::vector<std::pair<ArrayPtr, int>> pending{{childrenOf(item), 1}};
    while (!pending.empty()) {
        auto [children, level] = std::move(pending.back());
        pending.pop_back();
        deepest = std::max(deepest, level);
        if (!children)
            continue;
        for (const Value& child : children->items)
            if (const DictPtr c = child.asDict())
                pending.emplace_back(childrenOf(*c), level + 1);
    }
    return deepest;
}

NodePtr childAfter(const Dict& parent, const Dict* child) {
    const ArrayPtr children = childrenOf(parent);
    if (!children)
        return nullptr;
    const auto found = std::find_if(children->items.begin(), children->items.end(),
                                    [&](const Value& c) { return c.dictAddress() == child; });
    return found == children->items.end() || found + 1 == children->items.end() ? nullptr
                                                                                : (found + 1)->asDict();
}

void collectCategories(const Dict& node, QStringList& categories) {
    if (const QString* category = node.value(key::category).asString())
        categories.append(*category);
    forEachChild(node, [&](const Dict& child) { collectCategories(child, categories); });
}

ItemCounts countItemAndChildren(const Dict& item) {
    ItemCounts counts = countItemsIncludingChildren(item);
    counts += {1, isCompleted(item) ? 1 : 0};
    return counts;
}

bool isSameItem(const Dict& a, const Dict& b) {
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

bool hasDescendant(const Dict& node, const Dict& target) {
    if (matches(node, target))
        return true;
    bool found = false;
    forEachChild(node, [&](const Dict& child) { found = found || hasDescendant(child, target); });
    return found;
}

NodePtr findIdenticalChild(const NodePtr& node, const Dict& target) {
    // Usually the target is a node of this very tree (the minder hands over the document's own
    // node): finding it by address first spares comparing the values of every node before it.
    if (NodePtr same = findNode(node, [&](const Dict& candidate) { return &candidate == &target; }))
        return same;
    return findNode(node, [&](const Dict& candidate) { return matches(candidate, target); });
}

std::vector<NodePtr> ancestorsInTree(const Dict* item,
                                     const std::function<ArrayPtr(const NodePtr&)>& listBelow) {
    auto found = ancestorsInTree(std::unordered_set<const Dict*>{item}, listBelow);
    return found.empty() ? std::vector<NodePtr>() : std::move(found.begin()->second);
}

std::unordered_map<const Dict*, std::vector<NodePtr>>
ancestorsInTree(const std::unordered_set<const Dict*>& items,
                const std::function<ArrayPtr(const NodePtr&)>& listBelow) {
    std::unordered_map<const Dict*, std::vector<NodePtr>> found;
    // Without recursion: the path down to the level being walked is the stack itself.
    struct Level {
        NodePtr node;
        ArrayPtr children;
        size_t next = 0;
    };
    std::vector<Level> path;
    if (ArrayPtr top = listBelow(nullptr))
        path.push_back({nullptr, std::move(top)});
    while (!path.empty() && found.size() < items.size()) {
        Level& level = path.back();
        if (level.next >= level.children->items.size()) {
            path.pop_back();
            continue;
        }
        NodePtr child = level.children->items[level.next++].asDict();
        if (!child)
            continue;
        // The first place of a node a tree holds twice.
        if (items.contains(child.get()) && !found.contains(child.get())) {
            std::vector<NodePtr>& ancestors = found[child.get()];
            for (size_t i = 1; i < path.size(); ++i)
                ancestors.push_back(path[i].node);
        }
        if (ArrayPtr children = listBelow(child); children && !children->items.empty())
            path.push_back({std::move(child), std::move(children)});
    }
    return found;
}

std::unordered_map<const Dict*, std::vector<NodePtr>>
ancestorsInTree(const std::unordered_set<const Dict*>& items, const Dict& root) {
    return ancestorsInTree(items, [&root](const NodePtr& node) { return childrenOf(node ? *node : root); });
}

namespace {

void deleteNodes(const NodePtr& node, const QSet<const Dict*>& wanted, std::vector<RemovedChild>* removed) {
    // Depth first without recursion; a child's subtree is walked before the child itself may go, so
    // that a target inside another target is removed from within it.
    struct Level {
        NodePtr node;
        ArrayPtr children;
        size_t next = 0;
        bool childWalked = false;
    };
    std::vector<Level> stack;
    if (ArrayPtr children = childrenOf(*node))
        stack.push_back({node, std::move(children)});
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.children->items.size()) {
            stack.pop_back();
            continue;
        }
        const Value& child = level.children->items[level.next];
        if (child.dictAddress() && !level.childWalked) {
            level.childWalked = true;
            NodePtr item = child.asDict();
            if (ArrayPtr grandchildren = childrenOf(*item); grandchildren && !grandchildren->items.empty()) {
                stack.push_back({std::move(item), std::move(grandchildren)});
                continue;
            }
        }
        level.childWalked = false;
        if (child.dictAddress() && wanted.contains(child.dictAddress())) {
            if (removed) {
                std::vector<NodePtr> ancestors;
                for (size_t i = 1; i < stack.size(); ++i)
                    ancestors.push_back(stack[i].node);
                removed->push_back({level.node, level.next, child, std::move(ancestors)});
            }
            level.children->items.erase(level.children->items.begin() + qsizetype(level.next));
        } else {
            ++level.next;
        }
    }
}

} // namespace

void deleteItemsFromTree(const NodePtr& node, const std::vector<NodePtr>& targets,
                         std::vector<RemovedChild>* removed) {
    QSet<const Dict*> wanted;
    for (const NodePtr& target : targets)
        wanted.insert(target.get());
    deleteNodes(node, wanted, removed);
}

void deleteItemFromTree(const NodePtr& node, const Dict* target, std::vector<RemovedChild>* removed) {
    deleteNodes(node, {target}, removed);
}

bool removeChild(const NodePtr& parent, const Dict* item, std::vector<NodePtr> ancestors,
                 std::vector<RemovedChild>& removed) {
    const ArrayPtr children = childrenOf(*parent);
    if (!children)
        return false;
    const auto place = std::find_if(children->items.begin(), children->items.end(),
                                    [&](const Value& child) { return child.dictAddress() == item; });
    if (place == children->items.end())
        return false;
    removed.push_back({parent, size_t(place - children->items.begin()), *place, std::move(ancestors)});
    children->items.erase(place);
    return true;
}

namespace {

/// Whether the node stands in the tree below root: first along the chain it stood in, else by a
/// search of the whole tree.
bool standsInTree(const Dict& root, const Dict& node, const std::vector<NodePtr>& ancestors) {
    const Dict* level = &root;
    bool chainHolds = true;
    for (const NodePtr& ancestor : ancestors) {
        const ArrayPtr children = childrenOf(*level);
        chainHolds = children &&
                     std::any_of(children->items.begin(), children->items.end(),
                                 [&](const Value& child) { return child.dictAddress() == ancestor.get(); });
        if (!chainHolds)
            break;
        level = ancestor.get();
    }
    if (chainHolds)
        return true;
    std::vector<const Dict*> pending{&root};
    while (!pending.empty()) {
        const Dict* next = pending.back();
        pending.pop_back();
        if (next == &node)
            return true;
        forEachChild(*next, [&](const Dict& child) { pending.push_back(&child); });
    }
    return false;
}

} // namespace

void restoreRemovedChildren(
    const NodePtr& root, const std::vector<RemovedChild>& removed,
    const std::function<void(const NodePtr& home, size_t place, const Value& item)>& put) {
    for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
        const bool inTree = it->parent == root || standsInTree(*root, *it->parent, it->ancestors);
        const NodePtr& home = inTree ? it->parent : root;
        if (!childrenOf(*home))
            home->set(key::children, Array::create());
        std::vector<Value>& items = childrenOf(*home)->items;
        const size_t place = inTree ? std::min(it->index, items.size()) : items.size();
        if (put)
            put(home, place, it->item);
        else
            items.insert(items.begin() + qsizetype(place), it->item);
    }
}

void purgeCompleted(Dict& node) {
    const ArrayPtr children = childrenOf(node);
    if (!children)
        return;
    forEachChild(node, [](const Dict& child) { purgeCompleted(const_cast<Dict&>(child)); });
    std::erase_if(children->items, [](const Value& child) {
        const DictPtr c = child.asDict();
        return c && isCompleted(*c);
    });
}

void cleanForExport(Dict& node,
                    const std::function<std::optional<QString>(const QByteArray&)>& notesPlainText) {
    for (const QString* k : {&key::icon, &key::thisIconOnly, &key::fontName, &key::fontSize, &key::color,
                             &key::minderTimestampTodo, &key::minderTimestampReminder, &key::reminderMark})
        node.remove(*k);
    if (const QByteArray* notes = node.value(key::notes).asData()) {
        if (const std::optional<QString> text = notesPlainText(*notes))
            node.set(key::notes, *text);
    }
    forEachChild(node, [&](const Dict& child) { cleanForExport(const_cast<Dict&>(child), notesPlainText); });
}

void fixTimeStamps(Dict& node) {
    for (const QString* k : {&key::dateCreated, &key::dateCompleted, &key::due}) {
        const Value value = node.value(*k); // a copy: the node changes below
        // A plain date keeps its instant, written in the local zone, so early lists keep their dates.
        if (const Date* date = value.asDate())
            node.set(*k, storedDateString(dateTimeFromReferenceSeconds(date->seconds).toLocalTime()));
        else if (const CalendarDate* calendarDate = value.asCalendarDate())
            node.set(*k, storedDateString(dateTimeFromCalendarDate(*calendarDate)));
    }
    forEachChild(node, [](const Dict& child) { fixTimeStamps(const_cast<Dict&>(child)); });
}

void fixDuplicateNodes(Dict& node, SeenNodes& seen) {
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
        fixDuplicateNodes(*c, seen);
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
