#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

namespace tardigo {

/// One item among its siblings, in the list's order, as clients that share an order read it: by
/// its key, seconds since 2001-01-01 (its to-do's sort order, else its creation).
struct SiblingKey {
    std::optional<qint64> key; // none: it stands nowhere in particular, and gets no key
    bool written = false;      // its to-do is written anyway, so that a new key costs no write
};

/// The keys that give the siblings the list's order. The most siblings that already stand in order
/// keep theirs (those whose to-dos would not be written otherwise first); each other one gets its
/// next neighbour's key less one (the last one, its neighbour's more one), and only where no integer
/// fits between do the ones after it move up, as far as they must. A sibling without a key gets
/// one only when it is written anyway.
std::vector<std::optional<qint64>> siblingKeys(const std::vector<SiblingKey>& siblings);

} // namespace tardigo
