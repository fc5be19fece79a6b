#include "ical/tree_placement.h"

#include "archive/list_file.h"
#include "ical/ical_log.h"
#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <QSet>

#include <algorithm>

namespace tardigo {

TreePlacement::TreePlacement(Dict& root) : TreePlacement(root, nullptr) {}

TreePlacement::TreePlacement(Dict& root, KeyOf keyOf) : _root(root), _keyOf(std::move(keyOf)) {
    forEachItemBelow(root, [this](const NodePtr& item, const Dict& parent, qsizetype) {
        _parents[item.get()] = const_cast<Dict*>(&parent);
        if (const QString* uid = item->value(key::uid).asString(); uid && !uid->isEmpty())
            _byUid.insert(*uid, item);
    });
}

NodePtr TreePlacement::itemWithUid(const QString& uid) const {
    return _byUid.value(uid);
}

QString TreePlacement::parentUidOf(const Dict& item) const {
    const auto parent = _parents.find(&item);
    const QString* uid = parent == _parents.end() ? nullptr : parent->second->value(key::uid).asString();
    return uid ? *uid : QString();
}

void TreePlacement::place(const NodePtr& item, const QString& parentUid, std::optional<qint64> key) {
    if (const QString* uid = item->value(key::uid).asString();
        uid && !uid->isEmpty() && !_byUid.contains(*uid))
        _byUid.insert(*uid, item);
    if (const auto asked = _requested.find(item.get()); asked != _requested.end()) {
        _requests[asked->second].parentUid = parentUid; // asked again: the later place stands
        _requests[asked->second].key = key;
        return;
    }
    _requested[item.get()] = _requests.size();
    _requests.push_back({item, parentUid, key});
}

Dict* TreePlacement::finalParentOf(const Dict* node) const {
    if (const auto requested = _requested.find(node); requested != _requested.end()) {
        const Request& request = _requests[requested->second];
        if (request.parent)
            return request.parent;
        const NodePtr wanted = request.parentUid.isEmpty() ? nullptr : _byUid.value(request.parentUid);
        return wanted ? wanted.get() : &_root;
    }
    const auto parent = _parents.find(node);
    return parent == _parents.end() ? nullptr : parent->second;
}

Dict* TreePlacement::decideParent(Request& request) {
    Dict* wanted = finalParentOf(request.item.get());
    // Walk up from the wanted parent: meeting the item itself, or no end within the depth a list
    // may have, means the place would be a loop or too deep.
    const Dict* ancestor = wanted;
    for (int steps = 0; ancestor && ancestor != &_root; ++steps) {
        if (ancestor == request.item.get() || steps >= kMaxItemDepth) {
            qCInfo(lcIcal) << "placing at the top level, not under" << request.parentUid
                           << "(a loop or too deep)";
            return &_root;
        }
        ancestor = finalParentOf(ancestor);
    }
    return ancestor ? wanted : &_root;
}

void TreePlacement::removeFromOldPlaces() {
    QHash<Dict*, QSet<const Dict*>> leaving;
    for (const Request& request : _requests) {
        if (const auto parent = _parents.find(request.item.get()); parent != _parents.end())
            leaving[parent->second].insert(request.item.get());
    }
    for (auto it = leaving.cbegin(); it != leaving.cend(); ++it) {
        const ArrayPtr children = childrenOf(*it.key());
        std::erase_if(children->items, [&](const Value& child) {
            const DictPtr node = child.asDict();
            return node && it.value().contains(node.get());
        });
    }
}

void TreePlacement::insertAtNewPlaces() {
    QHash<Dict*, std::vector<const Request*>> arriving;
    for (const Request& request : _requests)
        arriving[request.parent].push_back(&request);
    for (auto it = arriving.begin(); it != arriving.end(); ++it) {
        std::vector<const Request*>& requests = it.value();
        std::stable_sort(requests.begin(), requests.end(), [](const Request* a, const Request* b) {
            if (a->key.has_value() != b->key.has_value())
                return a->key.has_value(); // those with a key first, the others after them as they came
            return a->key && *a->key < *b->key;
        });
        if (!childrenOf(*it.key()))
            it.key()->set(key::children, Array::create());
        std::vector<Value>& children = childrenOf(*it.key())->items;
        // One pass over the children, each arrival before the first child whose key is not less.
        std::vector<Value> placed;
        placed.reserve(children.size() + requests.size());
        auto next = requests.begin();
        for (Value& child : children) {
            const DictPtr node = child.asDict();
            const std::optional<qint64> key = _keyOf && node ? _keyOf(*node) : std::nullopt;
            for (; key && next != requests.end() && (*next)->key && *(*next)->key <= *key; ++next)
                placed.push_back((*next)->item);
            placed.push_back(std::move(child));
        }
        for (; next != requests.end(); ++next)
            placed.push_back((*next)->item);
        children = std::move(placed);
    }
}

int TreePlacement::depth() const {
    int deepest = 0;
    std::vector<std::pair<const Dict*, int>> pending{{&_root, 0}};
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, level);
        if (const ArrayPtr children = childrenOf(*node)) {
            for (const Value& child : children->items) {
                if (const DictPtr item = child.asDict())
                    pending.emplace_back(item.get(), level + 1);
            }
        }
    }
    return deepest;
}

bool TreePlacement::apply() {
    for (Request& request : _requests)
        request.parent = decideParent(request);
    removeFromOldPlaces();
    insertAtNewPlaces();
    for (const Request& request : _requests)
        _parents[request.item.get()] = request.parent;
    _requests.clear();
    _requested.clear();
    return depth() <= kMaxItemDepth;
}

} // namespace tardigo
