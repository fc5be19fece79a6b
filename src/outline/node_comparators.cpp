#include "outline/node_comparators.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "outline/icon_rules.h"
#include "rich_text/notes_text.h"

#include <QSet>

#include <algorithm>

namespace tardigo {

namespace {

const QString kNewItemIcon = QStringLiteral("vk_newitem");
const QString kCheckmarkIcon = QStringLiteral("vk_checkmark");

int sign(qint64 v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

/// Texts are kept folded to one case, so that comparing their code units compares them ignoring case.
int compareFolded(const QString& a, const QString& b) {
    return sign(QString::compare(a, b, Qt::CaseSensitive));
}

/// A folded text; missing when absent or empty. Missing texts sort last.
using TextKey = std::optional<QString>;

TextKey textKey(const Dict& node, const QString& key) {
    const QString* s = node.value(key).asString();
    return s && !s->isEmpty() ? TextKey(s->toCaseFolded()) : std::nullopt;
}

int compareTextKeys(const TextKey& a, const TextKey& b) {
    if (!a || !b)
        return a ? -1 : (b ? 1 : 0);
    return compareFolded(*a, *b);
}

TextKey nameKey(const Dict& node) {
    return textKey(node, key::name);
}
TextKey categoryKey(const Dict& node) {
    return textKey(node, key::category);
}

/// Milliseconds since the epoch, or missing.
using DueKey = std::optional<qint64>;

DueKey dueKey(const Dict& node) {
    const std::optional<QDateTime> due = parseStoredDate(node.value(key::due));
    return due ? DueKey(due->toMSecsSinceEpoch()) : std::nullopt;
}

int compareDueKeys(const DueKey& a, const DueKey& b) {
    if (!a || !b)
        return a ? -1 : (b ? 1 : 0);
    return sign(*a - *b);
}

double completionKey(const Dict& node) {
    const Number* n = node.value(key::completion).asNumber();
    return n ? n->toDouble() : 0.0;
}

int compareCompletionKeys(const double& a, const double& b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

/// Notes with text, then notes whose text is empty or unreadable, then no notes.
struct NotesKey {
    int rank;
    QString text;
};

// Notes are ordered by the start of their text: notes may be megabytes long, and notes that agree in
// their first lines are not told apart by a user reading the column either.
constexpr qsizetype kNotesKeyLength = 256;

NotesKey notesKey(const Dict& node) {
    const Value* notes = node.find(key::notes);
    if (!notes)
        return {2, {}};
    const QByteArray* bytes = notes->asData();
    const std::optional<NotesTextStart> start =
        bytes ? notesTextStart(*bytes, kNotesKeyLength) : std::nullopt;
    return start && !start->text.isEmpty() ? NotesKey{0, start->text.toCaseFolded()} : NotesKey{1, {}};
}

int compareNotesKeys(const NotesKey& a, const NotesKey& b) {
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    return a.rank == 0 ? compareFolded(a.text, b.text) : 0;
}

/// The new-item icon, any other icon (by name), the check mark.
struct IconKey {
    int rank;
    QString name;
};

IconKey iconKey(const IconRules& rules, const Dict& node) {
    const QString name = rules.iconNameForItem(&node).value_or(QString());
    return {name == kNewItemIcon ? 0 : (name == kCheckmarkIcon ? 2 : 1), name.toCaseFolded()};
}

int compareIconKeys(const IconKey& a, const IconKey& b) {
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    return compareFolded(a.name, b.name);
}

/// Sorts one level in place: each child decorated with its key, sorted stably, then put back in
/// order. Descending reverses the comparison, not the result, so tied children keep their order and
/// sorting a sorted list again moves nothing. Children that are not nodes go last.
template <typename Key, typename KeyOf, typename Compare>
void sortLevel(Dict& node, const KeyOf& keyOf, const Compare& compare, int direction) {
    const ArrayPtr children = childrenOf(node);
    struct Decorated {
        std::optional<Key> key; // none: not a node
        size_t index;
    };
    std::vector<Decorated> decorated;
    decorated.reserve(children->items.size());
    for (size_t i = 0; i < children->items.size(); ++i) {
        const DictPtr child = children->items[i].asDict();
        decorated.push_back({child ? std::optional<Key>(keyOf(*child)) : std::nullopt, i});
    }
    std::stable_sort(decorated.begin(), decorated.end(), [&](const Decorated& a, const Decorated& b) {
        if (!a.key || !b.key)
            return a.key && !b.key;
        return direction == -1 ? compare(*b.key, *a.key) < 0 : compare(*a.key, *b.key) < 0;
    });
    std::vector<Value> sorted;
    sorted.reserve(decorated.size());
    for (const Decorated& d : decorated)
        sorted.push_back(std::move(children->items[d.index]));
    children->items = std::move(sorted);
}

template <typename Key, typename KeyOf, typename Compare>
void sortTree(Dict& root, const KeyOf& keyOf, const Compare& compare, int direction) {
    // The nodes with children in pre-order; taken backwards, every child comes before its parent.
    std::vector<Dict*> parents;
    QSet<const Dict*> visited; // a node held twice is sorted once, and no cycle is followed
    std::vector<Dict*> pending{&root};
    while (!pending.empty()) {
        Dict* node = pending.back();
        pending.pop_back();
        const ArrayPtr children = childrenOf(*node);
        if (!children || children->items.empty() || visited.contains(node))
            continue;
        visited.insert(node);
        parents.push_back(node);
        for (const Value& child : children->items)
            if (const DictPtr c = child.asDict())
                pending.push_back(c.get());
    }
    for (auto it = parents.rbegin(); it != parents.rend(); ++it)
        sortLevel<Key>(**it, keyOf, compare, direction);
}

} // namespace

int compareNames(const Dict& a, const Dict& b) {
    return compareTextKeys(nameKey(a), nameKey(b));
}

int compareCategories(const Dict& a, const Dict& b) {
    return compareTextKeys(categoryKey(a), categoryKey(b));
}

int compareDueDates(const Dict& a, const Dict& b) {
    return compareDueKeys(dueKey(a), dueKey(b));
}

int compareCompletions(const Dict& a, const Dict& b) {
    return compareCompletionKeys(completionKey(a), completionKey(b));
}

int compareNotes(const Dict& a, const Dict& b) {
    return compareNotesKeys(notesKey(a), notesKey(b));
}

int compareIcons(const Dict& a, const Dict& b) {
    const IconRules rules = IconRules::current();
    return compareIconKeys(iconKey(rules, a), iconKey(rules, b));
}

void sortChildrenByColumn(Dict& root, Column column, int direction) {
    switch (column) {
    case Column::Name:
        return sortTree<TextKey>(root, nameKey, compareTextKeys, direction);
    case Column::Category:
        return sortTree<TextKey>(root, categoryKey, compareTextKeys, direction);
    case Column::Due:
        return sortTree<DueKey>(root, dueKey, compareDueKeys, direction);
    case Column::Completion:
        return sortTree<double>(root, completionKey, compareCompletionKeys, direction);
    case Column::Notes:
        return sortTree<NotesKey>(root, notesKey, compareNotesKeys, direction);
    case Column::Icon:
        return sortTree<IconKey>(
            root, [rules = IconRules::current()](const Dict& node) { return iconKey(rules, node); },
            compareIconKeys, direction);
    }
}

} // namespace tardigo
