#include "ical/sibling_order.h"

#include <algorithm>

namespace tardigo {

namespace {

/// The siblings that keep their keys: the heaviest run, in the list's order, of keys that do not
/// go down. O(n log n): a Fenwick tree of the best run ending at each key.
std::vector<bool> standingInOrder(const std::vector<SiblingKey>& siblings) {
    std::vector<qint64> keys;
    for (const SiblingKey& sibling : siblings)
        if (sibling.key)
            keys.push_back(*sibling.key);
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    struct Best {
        int weight = 0;
        qsizetype index = -1;
    };
    std::vector<Best> tree(keys.size() + 1);
    std::vector<qsizetype> previous(siblings.size(), -1);
    Best overall;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (!siblings[i].key)
            continue;
        const size_t rank =
            size_t(std::lower_bound(keys.begin(), keys.end(), *siblings[i].key) - keys.begin()) + 1;
        Best before;
        for (size_t r = rank; r > 0; r -= r & (~r + 1))
            if (tree[r].weight > before.weight)
                before = tree[r];
        const Best here{before.weight + (siblings[i].written ? 1 : 2), qsizetype(i)};
        previous[i] = before.index;
        for (size_t r = rank; r < tree.size(); r += r & (~r + 1))
            if (here.weight > tree[r].weight)
                tree[r] = here;
        if (here.weight > overall.weight)
            overall = here;
    }
    std::vector<bool> standing(siblings.size(), false);
    for (qsizetype i = overall.index; i >= 0; i = previous[size_t(i)])
        standing[size_t(i)] = true;
    // A to-do written anyway does not share its key with a neighbour: who stands first between
    // them would be each reader's guess.
    std::optional<qint64> before;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (!siblings[i].key)
            continue;
        std::optional<qint64> after;
        for (size_t j = i + 1; j < siblings.size() && !after; ++j)
            after = siblings[j].key;
        if (siblings[i].written && (before == siblings[i].key || after == siblings[i].key))
            standing[i] = false;
        before = siblings[i].key;
    }
    return standing;
}

} // namespace

std::vector<std::optional<qint64>> siblingKeys(const std::vector<SiblingKey>& siblings) {
    const std::vector<bool> standing = standingInOrder(siblings);
    std::vector<std::optional<qint64>> keys(siblings.size());
    std::optional<qint64> last;
    bool lastGiven = false; // the last key was given here, so the next must be greater, not equal
    // A sibling without a key keeps none, unless it is written anyway: then it gets one, so that
    // it keeps its place for those who read it.
    const auto placed = [&](size_t i) { return siblings[i].key || siblings[i].written; };
    for (size_t i = 0; i < siblings.size();) {
        if (!placed(i)) {
            ++i;
            continue;
        }
        if (siblings[i].key && standing[i]) {
            qint64 key = *siblings[i].key;
            lastGiven = last && (key < *last || (key == *last && lastGiven));
            if (lastGiven)
                key = *last + 1; // moved up: what came before it took its place
            keys[i] = last = key;
            ++i;
            continue;
        }
        std::vector<size_t> run;
        size_t next = i;
        for (; next < siblings.size() && !(siblings[next].key && standing[next]); ++next)
            if (placed(next))
                run.push_back(next);
        const qint64 count = qint64(run.size());
        const std::optional<qint64> following = next < siblings.size() ? siblings[next].key : std::nullopt;
        const qint64 start = following && (!last || *following - *last - 1 >= count) ? *following - count
                             : last                                                  ? *last + 1
                                    : siblings[run.front()].key.value_or(0);
        for (qint64 k = 0; k < count; ++k)
            keys[run[size_t(k)]] = start + k;
        last = start + count - 1;
        lastGiven = true;
        i = next;
    }
    return keys;
}

} // namespace tardigo
