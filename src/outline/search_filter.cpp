#include "outline/search_filter.h"

#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "rich_text/notes_text.h"

namespace tardigo {

namespace {

/// The item's name and category folded into one text, a space between them: a word holds no space,
/// so none is found across the two.
QString foldedNameAndCategory(const Dict& item) {
    const QString* category = item.value(key::category).asString();
    const QString name = stringOf(item, key::name);
    return foldForSearch(category && !category->isEmpty() ? name + u' ' + *category : name);
}

} // namespace

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
    _places.reserve(qsizetype(_shown.size()));
    for (size_t place = 0; place < _shown.size(); ++place)
        _places.insert(_shown[place].item.get(), qsizetype(place));
}

bool SearchFilter::matches(const Dict& item) const {
    const auto found = _places.constFind(&item);
    return found != _places.cend() && _shown[size_t(*found)].matched;
}

void SearchFilter::walkTree(const Dict& root, NotesTextCache& notes) {
    // The items from the top level down to the one visited, each with its place once shown.
    struct OnPath {
        NodePtr item;
        qsizetype place = -1;
    };
    std::vector<OnPath> path;
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        while (!path.empty() && path.back().item.get() != &parent)
            path.pop_back();
        path.push_back({item});
        QString nameAndCategory = foldedNameAndCategory(*item);
        const QByteArray* notesData = item->value(key::notes).asData();
        const QString notesText = notesData ? notes.foldedText(*notesData) : QString();
        if (!_search.matchesFoldedParts({nameAndCategory, notesText}))
            return;
        // Its ancestors not yet shown come first, the outermost first, keeping the tree's order.
        size_t first = path.size() - 1;
        while (first > 0 && path[first - 1].place < 0)
            --first;
        for (size_t i = first; i < path.size(); ++i) {
            path[i].place = qsizetype(_shown.size());
            _shown.push_back({path[i].item, i == 0 ? -1 : path[i - 1].place, false, {}, {}});
        }
        Shown& match = _shown.back();
        match.matched = true;
        match.foldedNameAndCategory = std::move(nameAndCategory);
        match.foldedNotes = notesText;
    });
}

void SearchFilter::narrow(const SearchFilter& previous) {
    const std::vector<Shown>& before = previous._shown;
    // Each previous item's place among these, -1 while it is not shown.
    std::vector<qsizetype> placeNow(before.size(), -1);
    std::vector<qsizetype> unshownAncestors;
    for (size_t i = 0; i < before.size(); ++i) {
        if (!before[i].matched || !matchesTexts(before[i]))
            continue;
        // Its ancestors not yet shown come first, the outermost first, keeping the tree's order.
        unshownAncestors.clear();
        for (qsizetype up = before[i].parent; up >= 0 && placeNow[size_t(up)] < 0;
             up = before[size_t(up)].parent)
            unshownAncestors.push_back(up);
        for (auto up = unshownAncestors.rbegin(); up != unshownAncestors.rend(); ++up) {
            const Shown& ancestor = before[size_t(*up)];
            placeNow[size_t(*up)] = qsizetype(_shown.size());
            _shown.push_back(
                {ancestor.item, ancestor.parent < 0 ? -1 : placeNow[size_t(ancestor.parent)], false, {}, {}});
        }
        placeNow[i] = qsizetype(_shown.size());
        _shown.push_back({before[i].item, before[i].parent < 0 ? -1 : placeNow[size_t(before[i].parent)],
                          true, before[i].foldedNameAndCategory, before[i].foldedNotes});
    }
    // A list lost rows where a previous item is no longer shown; a list that left with its owner
    // needs no word.
    std::vector<NodePtr> lists;
    std::vector<bool> noted(before.size(), false);
    bool topLevelNoted = false;
    for (size_t i = 0; i < before.size(); ++i) {
        if (placeNow[i] >= 0)
            continue;
        const qsizetype parent = before[i].parent;
        if (parent < 0 && !topLevelNoted) {
            topLevelNoted = true;
            lists.push_back(nullptr);
        } else if (parent >= 0 && placeNow[size_t(parent)] >= 0 && !noted[size_t(parent)]) {
            noted[size_t(parent)] = true;
            lists.push_back(before[size_t(parent)].item);
        }
    }
    _narrowedLists = std::move(lists);
}

bool SearchFilter::matchesTexts(const Shown& shown) const {
    return _search.matchesFoldedParts({shown.foldedNameAndCategory, shown.foldedNotes});
}

} // namespace tardigo
