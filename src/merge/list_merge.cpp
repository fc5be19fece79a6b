#include "merge/list_merge.h"

#include "merge/conflict_copy.h"
#include "merge/item_fingerprint.h"
#include "merge/merge_fate.h"
#include "model/core_log.h"
#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace tardigo {

namespace {

constexpr qint32 kTop = -1; // the top level, as a parent
constexpr qint32 kNew = -2; // a parent the base did not hold

bool sameStamp(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

/// Which of the values stand in one longest increasing run of them: the others are those that moved.
std::vector<bool> inLongestIncreasingRun(const std::vector<qint32>& values) {
    std::vector<size_t> tails; // the last value of the best run of each length so far
    std::vector<qint64> previous(values.size(), -1);
    for (size_t i = 0; i < values.size(); ++i) {
        const auto place = std::lower_bound(tails.begin(), tails.end(), values[i],
                                            [&](size_t tail, qint32 value) { return values[tail] < value; });
        if (place != tails.begin())
            previous[i] = qint64(*(place - 1));
        if (place == tails.end())
            tails.push_back(i);
        else
            *place = i;
    }
    std::vector<bool> in(values.size(), false);
    for (qint64 i = tails.empty() ? -1 : qint64(tails.back()); i >= 0; i = previous[size_t(i)])
        in[size_t(i)] = true;
    return in;
}

/// How an item is known in another version of the list when it has no uid there.
QString createdAndName(const QString& created, const QString& name) {
    return created + u'\x1f' + name;
}

QString identityOf(const Dict& item) {
    const QString uid = stringOf(item, key::uid);
    return uid.isEmpty() ? createdAndName(stringOf(item, key::dateCreated), stringOf(item, key::name))
                         : u'\x1e' + uid;
}

class Merger {
public:
    Merger(const ListBase& base, const NodePtr& ours, const NodePtr& theirs)
        : _base(base), _items(base.items()), _ours(ours), _theirsRoot(theirs) {
        _entryOf.reserve(_items.size());
        for (size_t entry = 0; entry < _items.size(); ++entry)
            if (const NodePtr& node = _items[entry].node)
                _entryOf.emplace(node.get(), qint32(entry));
    }

    ListMerge run();

private:
    struct TheirItem {
        NodePtr node;
        qint32 parent = kTop; // into _theirs
        qint32 index = 0;
        qint32 base = -1; // the base entry it is; -1 when new there
        ContentFingerprint content;
        NodePtr merged; // what stands for it in the merged list; null when nothing does
    };

    void readOurs();
    void readTheirs();
    void matchTheirs();
    /// Which base entries a side moved: to another parent, or out of the order of their siblings.
    std::vector<bool> movedOn(const std::vector<qint32>& sideOrder,
                              const std::vector<qint32>& sideParent) const;
    void decide(qint32 entry);
    void mergeStampsAndUid(qint32 entry);
    void place();
    void placeUnder(const NodePtr& node, const NodePtr& parent, const NodePtr& anchor);
    bool isInside(const Dict* node, const Dict* ancestor) const;
    /// The parent, or the nearest ancestor of it that stays: a removed item's children take its place.
    Dict* shownParent(Dict* parent) const;
    Dict* shownParentOf(const Dict* node) const { return shownParent(_parentOf.at(node)); }
    std::vector<Value> childrenAfterMerge(const Dict& parent) const;
    /// Walks the merged tree: too deep, or unsound when it does not hold each item it should exactly once.
    ListMerge::Outcome check(const std::unordered_map<const Dict*, std::vector<Value>>& children) const;
    void mergeSettings();
    Dict& ownOf(const NodePtr& node);
    void count(ListMerge& merge) const;
    ListBase theirBase() const;

    /// The base entry of one of our items; -1 when it is new here.
    qint32 entryOf(const Dict* node) const {
        const auto found = _entryOf.find(node);
        return found == _entryOf.end() ? -1 : found->second;
    }

    const ListBase& _base;
    const std::vector<ListBase::Item>& _items;
    std::unordered_map<const Dict*, qint32> _entryOf; // our items the base holds
    NodePtr _ours;
    NodePtr _theirsRoot;

    // Our side.
    std::vector<NodePtr> _oursOf;                 // by base entry; null when gone here
    std::vector<ContentFingerprint> _oursContent; // by base entry
    std::vector<qint32> _oursOrder;               // base entries in our tree's order
    std::vector<qint32> _oursParent;              // by base entry: the entry of its parent here, kTop or kNew
    std::vector<NodePtr> _oursNew;                // items added here
    std::unordered_map<const Dict*, NodePtr> _nodes;        // every node of ours, and each one placed
    std::unordered_map<const Dict*, Dict*> _oursParentNode; // where each of our items stands now
    std::vector<bool> _movedHere;

    // Their side.
    std::vector<TheirItem> _theirs; // in their tree's order
    std::vector<qint32> _theirsOf;  // by base entry: into _theirs; -1 when gone there
    std::vector<bool> _movedThere;

    // The merge.
    std::vector<MergeFate> _fates; // by base entry
    QStringList _conflicts;
    std::unordered_map<const Dict*, DictPtr> _own;                 // our nodes whose own keys change
    std::unordered_set<const Dict*> _removed;                      // our items that go
    std::unordered_set<const Dict*> _detached;                     // our items that move
    std::unordered_set<const Dict*> _new;                          // their items that come in
    std::unordered_map<const Dict*, Dict*> _parentOf;              // where each item stands after the merge
    std::unordered_map<const Dict*, std::vector<NodePtr>> _first;  // items placed first under a parent
    std::unordered_map<const Dict*, std::vector<NodePtr>> _after;  // items placed right after an item
    std::unordered_map<const Dict*, std::vector<NodePtr>> _copies; // conflict copies after their item
};

ListMerge Merger::run() {
    readOurs();
    readTheirs();
    matchTheirs();
    _movedHere = movedOn(_oursOrder, _oursParent);
    std::vector<qint32> theirOrder, theirParent(_items.size(), kNew);
    for (const TheirItem& item : _theirs) {
        if (item.base < 0)
            continue;
        theirOrder.push_back(item.base);
        theirParent[size_t(item.base)] = item.parent == kTop ? kTop
                                         : _theirs[size_t(item.parent)].base >= 0
                                             ? _theirs[size_t(item.parent)].base
                                             : kNew;
    }
    _movedThere = movedOn(theirOrder, theirParent);

    _fates.resize(_items.size(), MergeFate::KeepOurs);
    for (qint32 entry = 0; entry < qint32(_items.size()); ++entry) {
        decide(entry);
        mergeStampsAndUid(entry);
    }
    place();
    mergeSettings();

    // The children of every node whose children change, the root's included.
    std::unordered_set<const Dict*> reshaped(_new.begin(), _new.end());
    for (const Dict* node : _removed)
        reshaped.insert(shownParentOf(node));
    for (const Dict* node : _detached)
        reshaped.insert(shownParent(_oursParentNode.at(node)));
    for (const auto& [parent, placed] : _first)
        reshaped.insert(parent);
    for (const auto& [anchor, placed] : _after)
        reshaped.insert(shownParentOf(anchor));
    for (const auto& [item, copies] : _copies)
        reshaped.insert(shownParentOf(item));
    std::unordered_map<const Dict*, std::vector<Value>> children;
    for (const Dict* parent : reshaped)
        children.emplace(parent, childrenAfterMerge(*parent));

    ListMerge merge;
    merge.conflicts = _conflicts;
    count(merge);
    merge.outcome = check(children);
    if (!merge.ok())
        return merge;
    std::unordered_set<const Dict*> changed(reshaped.begin(), reshaped.end());
    for (const auto& [node, own] : _own)
        changed.insert(node);
    for (const Dict* node : changed) {
        const NodePtr& item = _nodes.at(node);
        Dict content = _own.count(node) ? *_own.at(node) : *item;
        if (const auto list = children.find(node); list != children.end()) {
            const ArrayPtr before = childrenOf(content);
            const ArrayPtr array = Array::create(!before || before->isMutable);
            array->items = list->second;
            content.set(key::children, array);
        }
        if (_new.count(node))
            item->entries = std::move(content.entries); // not in the list yet: no step undoes it
        else
            merge.changes.push_back({item, std::move(content.entries)});
    }
    merge.base = theirBase();
    return merge;
}

void Merger::readOurs() {
    _oursOf.resize(_items.size());
    _oursContent.resize(_items.size());
    _oursParent.resize(_items.size(), kNew);
    _nodes.emplace(_ours.get(), _ours);
    forEachItemBelow(*_ours, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        _nodes.emplace(item.get(), item);
        _oursParentNode.emplace(item.get(), const_cast<Dict*>(&parent));
        const qint32 entry = entryOf(item.get());
        if (entry < 0) {
            _oursNew.push_back(item);
            return;
        }
        _oursOf[size_t(entry)] = item;
        _oursContent[size_t(entry)] = contentFingerprint(*item, ListBase::keysBesideContent());
        _oursOrder.push_back(entry);
        if (&parent != _ours.get()) {
            const qint32 parentEntry = entryOf(&parent);
            _oursParent[size_t(entry)] = parentEntry < 0 ? kNew : parentEntry;
        } else {
            _oursParent[size_t(entry)] = kTop;
        }
    });
    _parentOf = _oursParentNode;
}

void Merger::readTheirs() {
    std::unordered_map<const Dict*, qint32> placeOf{{_theirsRoot.get(), kTop}};
    forEachItemBelow(*_theirsRoot, [&](const NodePtr& item, const Dict& parent, qsizetype index) {
        placeOf.emplace(item.get(), qint32(_theirs.size()));
        _theirs.push_back({item, placeOf.at(&parent), qint32(index), -1,
                           contentFingerprint(*item, ListBase::keysBesideContent()), nullptr});
    });
}

void Merger::matchTheirs() {
    _theirsOf.assign(_items.size(), -1);
    QHash<QString, qint32> byUid;
    QHash<QString, std::vector<qint32>> byCreatedAndName; // each in the tree's order
    for (qint32 entry = qint32(_items.size()) - 1; entry >= 0; --entry) {
        const ListBase::Item& item = _items[size_t(entry)];
        if (!item.uid.isEmpty())
            byUid.insert(item.uid, entry);
        byCreatedAndName[createdAndName(item.created, item.name)].push_back(entry); // taken from the back
    }
    const auto match = [&](TheirItem& item, qint32 entry) {
        item.base = entry;
        _theirsOf[size_t(entry)] = qint32(&item - _theirs.data());
    };
    // A uid first, which a rename keeps; then the creation date and name, for lists never synced.
    for (TheirItem& item : _theirs) {
        const QString uid = stringOf(*item.node, key::uid);
        const auto found = uid.isEmpty() ? byUid.cend() : byUid.constFind(uid);
        if (found != byUid.cend() && _theirsOf[size_t(*found)] < 0)
            match(item, *found);
    }
    for (TheirItem& item : _theirs) {
        if (item.base >= 0)
            continue;
        const bool hasUid = !stringOf(*item.node, key::uid).isEmpty();
        std::vector<qint32>& candidates = byCreatedAndName[createdAndName(
            stringOf(*item.node, key::dateCreated), stringOf(*item.node, key::name))];
        while (!candidates.empty()) {
            const qint32 entry = candidates.back();
            // Two uids that differ are two items, however alike.
            if (_theirsOf[size_t(entry)] >= 0 || (hasUid && !_items[size_t(entry)].uid.isEmpty())) {
                candidates.pop_back();
                continue;
            }
            candidates.pop_back();
            match(item, entry);
            break;
        }
    }
}

std::vector<bool> Merger::movedOn(const std::vector<qint32>& sideOrder,
                                  const std::vector<qint32>& sideParent) const {
    std::vector<bool> moved(_items.size(), false);
    std::unordered_map<qint32, std::vector<qint32>> stayed; // by parent, in the side's order
    for (const qint32 entry : sideOrder) {
        const ListBase::Item& item = _items[size_t(entry)];
        if (sideParent[size_t(entry)] != item.parent)
            moved[size_t(entry)] = true;
        else
            stayed[item.parent].push_back(entry);
    }
    // Among siblings that kept their parent, those out of the longest run in the old order moved:
    // an item added or removed beside them moves none of them.
    for (const auto& [parent, entries] : stayed) {
        std::vector<qint32> places;
        places.reserve(entries.size());
        for (const qint32 entry : entries)
            places.push_back(_items[size_t(entry)].index);
        const std::vector<bool> inRun = inLongestIncreasingRun(places);
        for (size_t i = 0; i < entries.size(); ++i)
            if (!inRun[i])
                moved[size_t(entries[i])] = true;
    }
    return moved;
}

void Merger::decide(qint32 entry) {
    const ListBase::Item& item = _items[size_t(entry)];
    const NodePtr& ours = _oursOf[size_t(entry)];
    const qint32 their = _theirsOf[size_t(entry)];
    MergeSides sides{true, std::nullopt, std::nullopt};
    if (ours)
        sides.oursChanged = _oursContent[size_t(entry)] != item.content;
    if (their >= 0)
        sides.theirsChanged = _theirs[size_t(their)].content != item.content;
    const MergeFate fate = mergeFate(sides);
    _fates[size_t(entry)] = fate;
    if (!ours)
        return; // one that comes back is placed with their items
    switch (fate) {
    case MergeFate::KeepOurs:
        break;
    case MergeFate::TakeTheirs: {
        const Dict& theirs = *_theirs[size_t(their)].node;
        Dict& own = ownOf(ours);
        own.entries = theirs.entries;
        // Its children are ours, each merged by itself.
        if (const Value* children = ours->find(key::children))
            own.set(key::children, *children);
        else
            own.remove(key::children);
        break;
    }
    case MergeFate::RemoveOurs:
        _removed.insert(ours.get());
        break;
    case MergeFate::BothChanged:
        if (_oursContent[size_t(entry)] == _theirs[size_t(their)].content)
            break; // the same change on both sides
        const TheirItem& theirs = _theirs[size_t(their)];
        const QString uid = stringOf(*theirs.node, key::uid);
        _copies[ours.get()].push_back(conflictCopy(
            *theirs.node, uid.isEmpty() ? QString() : conflictCopyUid(uid, theirs.content.toBytes())));
        _conflicts.append(stringOf(*ours, key::name));
        break;
    }
}

void Merger::mergeStampsAndUid(qint32 entry) {
    const NodePtr& ours = _oursOf[size_t(entry)];
    const qint32 their = _theirsOf[size_t(entry)];
    if (!ours || their < 0)
        return;
    const Dict& theirs = *_theirs[size_t(their)].node;
    const Dict& now = _own.count(ours.get()) ? *_own.at(ours.get()) : *ours;
    const auto keep = [&](const QString& key, const Value& value) {
        if (now.value(key) == value)
            return;
        if (value.isNil())
            ownOf(ours).remove(key);
        else
            ownOf(ours).set(key, value);
    };
    for (size_t which = 0; which < size_t(ListBase::stampKeys().size()); ++which) {
        const QString& key = ListBase::stampKeys().at(qsizetype(which));
        const double was = _items[size_t(entry)].stamps[which];
        const double here = ListBase::stampOf(*ours, which);
        const double there = ListBase::stampOf(theirs, which);
        const bool takeTheirs =
            !sameStamp(there, was) &&
            (sameStamp(here, was) || (!std::isnan(here) && !std::isnan(there) && there > here));
        keep(key, takeTheirs ? theirs.value(key) : ours->value(key));
    }
    // A uid given there (by a sync) is the item's from now on; one it has here stays.
    const QString uid = stringOf(*ours, key::uid);
    keep(key::uid, uid.isEmpty() ? theirs.value(key::uid) : ours->value(key::uid));
}

void Merger::place() {
    // The item placed last under each of their parents that stands under the same parent here:
    // the next sibling from there follows it.
    std::vector<NodePtr> lastPlaced(_theirs.size() + 1);
    const auto lastUnder = [&](qint32 parent) -> NodePtr& {
        return lastPlaced[parent == kTop ? _theirs.size() : size_t(parent)];
    };
    QHash<QString, NodePtr> addedHere; // by identity
    for (const NodePtr& item : _oursNew)
        addedHere.insert(identityOf(*item), item);
    for (TheirItem& item : _theirs) {
        qint32 up = item.parent;
        while (up != kTop && !_theirs[size_t(up)].merged)
            up = _theirs[size_t(up)].parent;
        const NodePtr parent = up == kTop ? _ours : _theirs[size_t(up)].merged;
        NodePtr& anchor = lastUnder(item.parent);
        if (anchor && _parentOf.at(anchor.get()) != parent.get())
            anchor.reset();
        const NodePtr ours = item.base >= 0 ? _oursOf[size_t(item.base)] : NodePtr();
        if (ours) {
            item.merged = ours;
            const bool moves = _movedThere[size_t(item.base)] && !_movedHere[size_t(item.base)];
            // Where both moved an item so that each holds the other, ours stands.
            if (moves && !isInside(parent.get(), ours.get())) {
                _detached.insert(ours.get());
                placeUnder(ours, parent, anchor);
            }
        } else if (item.base < 0 || _fates[size_t(item.base)] == MergeFate::TakeTheirs) {
            const NodePtr same = item.base < 0 ? addedHere.value(identityOf(*item.node)) : NodePtr();
            if (same && contentFingerprint(*same, ListBase::keysBesideContent()) == item.content) {
                item.merged = same; // both added it
            } else {
                item.merged = item.node;
                _nodes.emplace(item.node.get(), item.node);
                _new.insert(item.node.get());
                placeUnder(item.node, parent, anchor);
            }
        }
        if (item.merged && _parentOf.at(item.merged.get()) == parent.get())
            anchor = item.merged;
    }
}

void Merger::placeUnder(const NodePtr& node, const NodePtr& parent, const NodePtr& anchor) {
    if (anchor)
        _after[anchor.get()].push_back(node);
    else
        _first[parent.get()].push_back(node);
    _parentOf[node.get()] = parent.get();
}

bool Merger::isInside(const Dict* node, const Dict* ancestor) const {
    for (const Dict* at = node; at && at != _ours.get(); at = _parentOf.at(at))
        if (at == ancestor)
            return true;
    return false;
}

Dict* Merger::shownParent(Dict* parent) const {
    while (_removed.count(parent))
        parent = _parentOf.at(parent);
    return parent;
}

std::vector<Value> Merger::childrenAfterMerge(const Dict& parent) const {
    struct Pending {
        Value item;
        bool whereItStood; // among the children it had here, not where the merge puts it
    };
    std::vector<Pending> pending;
    const auto push = [&](const std::vector<Value>& items, bool whereItStood) {
        for (auto item = items.rbegin(); item != items.rend(); ++item)
            pending.push_back({*item, whereItStood});
    };
    const auto pushNodes = [&](const auto& map, const Dict* key) {
        if (const auto found = map.find(key); found != map.end())
            for (auto item = found->second.rbegin(); item != found->second.rend(); ++item)
                pending.push_back({Value(*item), false});
    };
    if (!_new.count(&parent))
        if (const ArrayPtr children = childrenOf(parent))
            push(children->items, true);
    pushNodes(_first, &parent);
    std::vector<Value> merged;
    while (!pending.empty()) {
        const Pending next = std::move(pending.back());
        pending.pop_back();
        const Dict* node = next.item.dictAddress();
        if (node && next.whereItStood && _detached.count(node))
            continue;
        if (node && _removed.count(node)) {
            if (const ArrayPtr children = childrenOf(*node))
                push(children->items, true); // they take its place
            continue;
        }
        merged.push_back(next.item);
        if (!node)
            continue;
        pushNodes(_after, node);
        pushNodes(_copies, node);
    }
    return merged;
}

ListMerge::Outcome Merger::check(const std::unordered_map<const Dict*, std::vector<Value>>& children) const {
    struct Level {
        const std::vector<Value>* items;
        size_t next = 0;
    };
    const auto childrenAt = [&](const Dict& node) -> const std::vector<Value>* {
        if (const auto found = children.find(&node); found != children.end())
            return &found->second;
        const ArrayPtr array = childrenOf(node);
        return array ? &array->items : nullptr;
    };
    size_t copies = 0;
    for (const auto& [item, made] : _copies)
        copies += made.size();
    const size_t expected = _nodes.size() - 1 - _removed.size() + copies; // the new ones are in _nodes
    std::unordered_set<const Dict*> met;
    std::vector<Level> pending{{childrenAt(*_ours)}};
    while (!pending.empty()) {
        Level& level = pending.back();
        if (!level.items || level.next >= level.items->size()) {
            pending.pop_back();
            continue;
        }
        const Value& item = (*level.items)[level.next++];
        const Dict* node = item.dictAddress();
        if (!node)
            continue;
        if (int(pending.size()) > kMostItemLevels) // the item's level
            return ListMerge::Outcome::TooDeep;
        if (!met.insert(node).second) {
            qCWarning(lcMerge) << "the merged list would hold an item twice:" << stringOf(*node, key::name);
            return ListMerge::Outcome::Unsound;
        }
        pending.push_back({childrenAt(*node)});
    }
    if (met.size() != expected) {
        qCWarning(lcMerge) << "the merged list would hold" << met.size() << "items instead of" << expected;
        return ListMerge::Outcome::Unsound;
    }
    return ListMerge::Outcome::Merged;
}

void Merger::mergeSettings() {
    const auto valueIn = [](const ListBase::Entries& entries, const QString& key) -> Value {
        for (const auto& [entryKey, value] : entries)
            if (entryKey == key)
                return value;
        return Value();
    };
    QStringList keys;
    for (const Dict* root : {_ours.get(), _theirsRoot.get()})
        for (const auto& [key, value] : root->entries)
            if (key != key::children && !keys.contains(key))
                keys.append(key);
    for (const auto& [key, value] : _base.settings())
        if (!keys.contains(key))
            keys.append(key);
    for (const QString& key : std::as_const(keys)) {
        const Value was = valueIn(_base.settings(), key);
        const Value& here = _ours->value(key);
        const Value& there = _theirsRoot->value(key);
        if (there == was || here != was || here == there)
            continue;
        if (there.isNil())
            ownOf(_ours).remove(key);
        else
            ownOf(_ours).set(key, there);
    }
}

Dict& Merger::ownOf(const NodePtr& node) {
    DictPtr& own = _own[node.get()];
    if (!own)
        own = std::make_shared<Dict>(*node);
    return *own;
}

void Merger::count(ListMerge& merge) const {
    merge.changedHere = int(_oursNew.size());
    for (const TheirItem& item : _theirs)
        if (item.base < 0)
            ++merge.changedThere;
    for (size_t entry = 0; entry < _items.size(); ++entry) {
        const ContentFingerprint& content = _items[entry].content;
        if (!_oursOf[entry] || _oursContent[entry] != content || _movedHere[entry])
            ++merge.changedHere;
        const qint32 their = _theirsOf[entry];
        if (their < 0 || _theirs[size_t(their)].content != content || _movedThere[entry])
            ++merge.changedThere;
    }
}

ListBase Merger::theirBase() const {
    std::vector<ListBase::Item> items;
    items.reserve(_theirs.size());
    for (const TheirItem& item : _theirs)
        items.push_back(ListBase::itemOf(*item.node, item.merged, item.content, item.parent, item.index));
    return ListBase(std::move(items), *_theirsRoot);
}

} // namespace

ListMerge mergeLists(const ListBase& base, const NodePtr& ours, const NodePtr& theirs) {
    return Merger(base, ours, theirs).run();
}

} // namespace tardigo
