#include "document/tree_edits.h"

#include "document/tardigo_document.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <algorithm>

namespace tardigo {

namespace {

// More edits than this in one change are announced as one rearrangement: the outline tells its
// views of each edit alone, each making them do work of their own.
constexpr size_t kMostEditsOneByOne = 16;

std::optional<size_t> placeAmong(const Dict& parent, const Dict* item) {
    const ArrayPtr children = childrenOf(parent);
    if (!children || !item)
        return std::nullopt;
    const auto found = std::find_if(children->items.begin(), children->items.end(),
                                    [item](const Value& child) { return child.dictAddress() == item; });
    return found == children->items.end() ? std::nullopt
                                          : std::optional(size_t(found - children->items.begin()));
}

} // namespace

TreeEdits::Batch::Batch(TreeEdits& edits, size_t expected)
    : _edits(edits), _collects(expected > kMostEditsOneByOne || edits._collecting > 0) {
    if (_collects)
        ++_edits._collecting;
}

TreeEdits::Batch::~Batch() {
    if (_collects)
        _edits.endCollecting();
}

void TreeEdits::endCollecting() {
    if (--_collecting > 0)
        return;
    std::vector<NodePtr> parents = std::exchange(_touched, {});
    if (std::exchange(_touchedEveryList, false))
        emit _document.itemsRearranged({});
    else if (!parents.empty())
        emit _document.itemsRearranged(parents);
}

void TreeEdits::touch(const NodePtr& parent) {
    if (std::find(_touched.begin(), _touched.end(), parent) == _touched.end())
        _touched.push_back(parent);
}

std::optional<std::pair<NodePtr, size_t>> TreeEdits::find(const NodePtr& parent, const Dict* item,
                                                          std::vector<NodePtr>& ancestors) const {
    if (parent)
        if (const std::optional<size_t> place = placeAmong(*parent, item))
            return std::pair(parent, *place);
    // Not where it was known to stand: wherever it is.
    const NodePtr& root = _document.data();
    const auto found = ancestorsInTree({item}, *root);
    if (found.empty())
        return std::nullopt;
    ancestors = found.begin()->second;
    NodePtr home = ancestors.empty() ? root : ancestors.back();
    const std::optional<size_t> place = placeAmong(*home, item);
    return place ? std::optional(std::pair(std::move(home), *place)) : std::nullopt;
}

void TreeEdits::insert(const NodePtr& parent, size_t position, const std::vector<Value>& items) {
    if (items.empty())
        return;
    if (!childrenOf(*parent))
        parent->set(key::children, Array::create());
    std::vector<Value>& children = childrenOf(*parent)->items;
    position = std::min(position, children.size());
    const int first = int(position);
    const int last = first + int(items.size()) - 1;
    if (announces())
        emit _document.itemsAboutToBeInserted(parent, first, last);
    children.insert(children.begin() + qsizetype(position), items.begin(), items.end());
    if (announces())
        emit _document.itemsInserted(parent, first, last);
    else
        touch(parent);
}

bool TreeEdits::remove(const NodePtr& parent, const Dict* item, std::vector<NodePtr> ancestors,
                       std::vector<RemovedChild>& removed) {
    const auto found = find(parent, item, ancestors);
    if (!found)
        return false;
    const auto& [home, place] = *found;
    if (announces())
        emit _document.itemsAboutToBeRemoved(home, int(place), int(place));
    std::vector<Value>& children = childrenOf(*home)->items;
    removed.push_back({home, place, children[place], std::move(ancestors)});
    children.erase(children.begin() + qsizetype(place));
    if (announces())
        emit _document.itemsRemoved(home, int(place), int(place));
    else
        touch(home);
    return true;
}

bool TreeEdits::move(const NodePtr& from, const Dict* item, const NodePtr& to, const Dict* anchor) {
    std::vector<NodePtr> ancestors;
    const auto found = find(from, item, ancestors);
    if (!found)
        return false;
    const auto& [home, place] = *found;
    if (!childrenOf(*to))
        to->set(key::children, Array::create());
    const std::optional<size_t> anchorPlace = placeAmong(*to, anchor);
    const size_t destination = anchorPlace ? *anchorPlace : size_t(childrenOf(*to)->size());
    // Already there: nothing moves.
    if (home == to && (destination == place || destination == place + 1))
        return true;
    if (announces())
        emit _document.itemsAboutToBeMoved(home, int(place), int(place), to, int(destination));
    std::vector<Value>& source = childrenOf(*home)->items;
    const Value moving = source[place];
    source.erase(source.begin() + qsizetype(place));
    std::vector<Value>& target = childrenOf(*to)->items;
    const size_t at = home == to && destination > place ? destination - 1 : destination;
    target.insert(target.begin() + qsizetype(at), moving);
    if (announces()) {
        emit _document.itemsMoved(home, int(place), int(place), to, int(destination));
    } else {
        touch(home);
        touch(to);
    }
    return true;
}

void TreeEdits::restore(const std::vector<RemovedChild>& removed) {
    restoreRemovedChildren(
        _document.data(), removed,
        [this](const NodePtr& home, size_t place, const Value& item) { insert(home, place, {item}); });
}

void TreeEdits::rearrange(const std::vector<NodePtr>& parents, const std::function<void()>& change) {
    ++_collecting;
    change();
    if (parents.empty())
        _touchedEveryList = true;
    for (const NodePtr& parent : parents)
        touch(parent);
    endCollecting();
}

} // namespace tardigo
