#include "document/node_comparators.h"

#include "document/icon_rules.h"
#include "model/keys.h"
#include "model/stored_date.h"
#include "storage/notes_text.h"

#include <memory>
#include <unordered_map>

namespace tardigo {

namespace {

const QString kNewItemIcon = QStringLiteral("vk_newitem");
const QString kCheckmarkIcon = QStringLiteral("vk_checkmark");

int sign(qint64 v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int compareCaseInsensitive(const QString& a, const QString& b) {
    return sign(QString::compare(a, b, Qt::CaseInsensitive));
}

/// A text that is missing when absent or empty; missing texts sort last.
using TextKey = std::optional<QString>;

TextKey textKey(const Dict& node, const QString& key) {
    const QString* s = node.value(key).asString();
    return s && !s->isEmpty() ? TextKey(*s) : std::nullopt;
}

int compareTextKeys(const TextKey& a, const TextKey& b) {
    if (!a || !b)
        return a ? -1 : (b ? 1 : 0);
    return compareCaseInsensitive(*a, *b);
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

NotesKey notesKey(const Dict& node) {
    const Value* notes = node.find(key::notes);
    if (!notes)
        return {2, {}};
    const QByteArray* bytes = notes->asData();
    const std::optional<QString> text = bytes ? notesPlainText(*bytes) : std::nullopt;
    return text && !text->isEmpty() ? NotesKey{0, *text} : NotesKey{1, {}};
}

int compareNotesKeys(const NotesKey& a, const NotesKey& b) {
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    return a.rank == 0 ? compareCaseInsensitive(a.text, b.text) : 0;
}

/// The new-item icon, any other icon (by name), the check mark.
struct IconKey {
    int rank;
    QString name;
};

IconKey iconKey(const IconRules& rules, const Dict& node) {
    const QString name = rules.iconNameForItem(&node).value_or(QString());
    return {name == kNewItemIcon ? 0 : (name == kCheckmarkIcon ? 2 : 1), name};
}

int compareIconKeys(const IconKey& a, const IconKey& b) {
    if (a.name == b.name)
        return 0;
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    return compareCaseInsensitive(a.name, b.name);
}

/// Decorates each node with its key on first sight, so a sort works each key out once.
template <typename Key, typename KeyOf, typename Compare>
NodeComparator memoized(KeyOf keyOf, Compare compare) {
    auto cache = std::make_shared<std::unordered_map<const Dict*, Key>>();
    return [cache, keyOf, compare](const Dict& a, const Dict& b) {
        const auto keyFor = [&](const Dict& node) -> const Key& {
            auto it = cache->find(&node);
            if (it == cache->end())
                it = cache->emplace(&node, keyOf(node)).first;
            return it->second;
        };
        const Key& keyA = keyFor(a); // element references survive rehashing
        return compare(keyA, keyFor(b));
    };
}

} // namespace

int VKcompare_name(const Dict& a, const Dict& b) {
    return compareTextKeys(nameKey(a), nameKey(b));
}

int VKcompare_category(const Dict& a, const Dict& b) {
    return compareTextKeys(categoryKey(a), categoryKey(b));
}

int VKcompare_due(const Dict& a, const Dict& b) {
    return compareDueKeys(dueKey(a), dueKey(b));
}

int VKcompare_completion(const Dict& a, const Dict& b) {
    return compareCompletionKeys(completionKey(a), completionKey(b));
}

int VKcompare_notes(const Dict& a, const Dict& b) {
    return compareNotesKeys(notesKey(a), notesKey(b));
}

int VKcompare_icon(const Dict& a, const Dict& b) {
    const IconRules rules = IconRules::current();
    return compareIconKeys(iconKey(rules, a), iconKey(rules, b));
}

NodeComparator comparatorFor(const QString& identifier) {
    if (identifier == key::name)
        return memoized<TextKey>(nameKey, compareTextKeys);
    if (identifier == key::category)
        return memoized<TextKey>(categoryKey, compareTextKeys);
    if (identifier == key::due)
        return memoized<DueKey>(dueKey, compareDueKeys);
    if (identifier == key::completion)
        return memoized<double>(completionKey, compareCompletionKeys);
    if (identifier == key::notes)
        return memoized<NotesKey>(notesKey, compareNotesKeys);
    if (identifier == key::icon) {
        const IconRules rules = IconRules::current();
        return memoized<IconKey>([rules](const Dict& node) { return iconKey(rules, node); }, compareIconKeys);
    }
    return {};
}

} // namespace tardigo
