#pragma once

#include "model/value.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>

#include <vector>

namespace tardigo {

/// A text folded for searching: each character in lower case and without its accents, one UTF-16
/// unit for one, so that a place found in the folded text is the same place in the text shown.
QString foldForSearch(const QString& text);

/// The item's name and category folded into one text, a space between them: a word holds no space,
/// so none is found across the two.
QString foldedNameAndCategory(const Dict& item);

/// What an item is searched by: its name, its category and the plain text of its notes, joined by
/// single spaces (a missing one counts as empty).
QString searchableText(const Dict& item);

/// A search as the user types it: the words it holds must all occur in an item's text, each anywhere,
/// ignoring case and accents.
class ItemSearch {
public:
    explicit ItemSearch(const QString& typed = QString());

    /// No words: everything matches.
    bool isEmpty() const { return _words.isEmpty(); }
    /// Whether the item's text holds every word; an empty search reads no text (the agenda lists every
    /// item through it).
    bool matches(const Dict& item) const {
        return isEmpty() || matchesFolded(foldForSearch(searchableText(item)));
    }
    /// Whether every item this search matches also matched the previous one: each previous word is
    /// part of one of these words.
    bool narrows(const ItemSearch& previous) const;
    /// Whether a text already folded with foldForSearch holds every word.
    bool matchesFolded(const QString& folded) const;
    /// The same for a text in parts joined by spaces (a word holds no space, so none spans two),
    /// without joining them.
    bool matchesFoldedParts(std::initializer_list<QStringView> parts) const;

    /// Where the words occur in a text as shown, for highlighting: the start and length of each
    /// occurrence, in order, overlapping ones merged.
    QList<std::pair<qsizetype, qsizetype>> occurrencesIn(const QString& shown) const;

private:
    QStringList _words; // folded
};

/// An item found in a list: its place (its index among its siblings at each level, from the top)
/// and the item.
struct FoundItem {
    QList<int> path;
    NodePtr item;
};

/// The items below the root that match the search, depth first in stored order.
std::vector<FoundItem> findItems(const Dict& root, const ItemSearch& search);

/// A place in a list as the command line writes it: "0/2".
QString itemPathText(const QList<int>& path);

} // namespace tardigo
