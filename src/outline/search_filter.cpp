#include "outline/search_filter.h"

#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_filter.h"
#include "rich_text/notes_text.h"

#include <numeric>

namespace tardigo {

const QString& NotesTextCache::foldedText(const QByteArray& notes) {
    auto found = _entries.find(notes.constData());
    if (found == _entries.end() || found->notes.size() != notes.size())
        found = _entries.insert(notes.constData(),
                                {notes, foldForSearch(notesPlainText(notes).value_or(QString()))});
    return found->folded;
}

SearchFilter::SearchFilter(const Dict& root, const QString& typed, const SearchFilter* previous,
                           NotesTextCache& notes)
    : _typed(typed), _search(typed) {
    if (previous && _search.narrows(previous->_search))
        narrow(*previous);
    else
        walkTree(root, notes);
}

SearchFilter::State SearchFilter::stateOf(const Dict& item) const {
    const auto found = _walk->places.constFind(&item);
    return found == _walk->places.cend() ? State::Hidden : _states[size_t(*found)];
}

void SearchFilter::walkTree(const Dict& root, NotesTextCache& notes) {
    auto walk = std::make_shared<Walk>();
    std::vector<Found>& found = walk->found;
    // The items from the top level down to the one visited, each with its place once found.
    struct OnPath {
        NodePtr item;
        qsizetype place = -1;
        bool hidden = false; // by the key filter, itself or an ancestor
    };
    std::vector<OnPath> path;
    // A match the key filter hides is no match: nothing would show it, and its ancestors would
    // show for nothing.
    const KeyFilter keyFilter(root);
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        while (!path.empty() && path.back().item.get() != &parent)
            path.pop_back();
        const bool hidden = (!path.empty() && path.back().hidden) || keyFilter.hides(*item);
        path.push_back({item, -1, hidden});
        if (hidden)
            return;
        const QString nameAndCategory = foldedNameAndCategory(*item);
        const QByteArray* notesData = item->value(key::notes).asData();
        const QString notesText = notesData ? notes.foldedText(*notesData) : QString();
        if (!_search.matchesFoldedParts({nameAndCategory, notesText}))
            return;
        // Its ancestors not yet found come first, the outermost first, keeping the tree's order.
        size_t first = path.size() - 1;
        while (first > 0 && path[first - 1].place < 0)
            --first;
        for (size_t i = first; i < path.size(); ++i) {
            path[i].place = qsizetype(found.size());
            found.push_back({path[i].item, {}, {}, {}});
            walk->parents.push_back(i == 0 ? -1 : path[i - 1].place);
        }
        Found& match = found.back();
        match.textStart = walk->namesAndCategories.size();
        match.nameAndCategoryLength = nameAndCategory.size();
        match.foldedNotes = notesText;
        walk->namesAndCategories.append(nameAndCategory);
        _matched.push_back(path.back().place);
    });
    walk->places.reserve(qsizetype(found.size()));
    for (size_t place = 0; place < found.size(); ++place)
        walk->places.insert(found[place].item.get(), qsizetype(place));
    _states.assign(found.size(), State::Ancestor);
    for (const qsizetype place : _matched)
        _states[size_t(place)] = State::Matched;
    _walk = std::move(walk);
}

void SearchFilter::narrow(const SearchFilter& previous) {
    _walk = previous._walk;
    const std::vector<Found>& found = _walk->found;
    const QStringView namesAndCategories = _walk->namesAndCategories;
    _states.assign(found.size(), State::Hidden);
    for (const qsizetype place : previous._matched) {
        const Found& match = found[size_t(place)];
        const QStringView nameAndCategory =
            namesAndCategories.sliced(match.textStart, match.nameAndCategoryLength);
        if (_search.matchesFoldedParts({nameAndCategory, match.foldedNotes}))
            showMatch(place);
    }
    _narrowedLists = listsNarrowedSince(previous);
}

std::vector<NarrowedList> SearchFilter::listsNarrowedSince(const SearchFilter& previous) const {
    const std::vector<qsizetype>& parents = _walk->parents;
    const auto shownBefore = [&previous](size_t place) { return previous._states[place] != State::Hidden; };
    const auto shown = [this](size_t place) { return _states[place] != State::Hidden; };
    // A list lost rows where a previously shown item is hidden now; a list that left with its owner
    // needs no word. Lists are numbered as found, the top level's by the slot after the last place.
    constexpr qsizetype kUnchanged = -1;
    std::vector<qsizetype> listOf(parents.size() + 1, kUnchanged);
    const auto listSlot = [&parents](size_t place) {
        return parents[place] < 0 ? parents.size() : size_t(parents[place]);
    };
    std::vector<size_t> owners; // each list's slot in listOf
    for (size_t place = 0; place < parents.size(); ++place) {
        if (!shownBefore(place) || shown(place))
            continue;
        const size_t owner = listSlot(place);
        if (listOf[owner] == kUnchanged && (owner == parents.size() || shown(owner))) {
            listOf[owner] = qsizetype(owners.size());
            owners.push_back(owner);
        }
    }
    // Each list's children shown before, in the tree's order, in one block: counted, then placed.
    std::vector<size_t> starts(owners.size() + 1, 0);
    for (size_t place = 0; place < parents.size(); ++place)
        if (const qsizetype list = listOf[listSlot(place)]; list != kUnchanged && shownBefore(place))
            ++starts[size_t(list) + 1];
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    auto children = std::make_shared<std::vector<NarrowedList::Child>>(starts.back());
    std::vector<size_t> next(starts.begin(), starts.end() - 1);
    for (size_t place = 0; place < parents.size(); ++place)
        if (const qsizetype list = listOf[listSlot(place)]; list != kUnchanged && shownBefore(place))
            (*children)[next[size_t(list)]++] = {_walk->found[place].item.get(), shown(place)};
    std::vector<NarrowedList> lists;
    lists.reserve(owners.size());
    for (size_t list = 0; list < owners.size(); ++list)
        lists.push_back({owners[list] == parents.size() ? nullptr : _walk->found[owners[list]].item,
                         std::span(*children).subspan(starts[list], starts[list + 1] - starts[list]),
                         children});
    return lists;
}

void SearchFilter::showMatch(qsizetype place) {
    _states[size_t(place)] = State::Matched;
    _matched.push_back(place);
    for (qsizetype up = _walk->parents[size_t(place)]; up >= 0 && _states[size_t(up)] == State::Hidden;
         up = _walk->parents[size_t(up)])
        _states[size_t(up)] = State::Ancestor;
}

} // namespace tardigo
