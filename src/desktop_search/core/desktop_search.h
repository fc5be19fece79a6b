#pragma once

#include "desktop_search/core/list_index.h"
#include "search/item_search.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace tardigo {

/// The desktop shows a handful of results; more would only cost time.
constexpr int kMostDesktopResults = 30;
/// A name or description longer than this is cut, as one line of a result has no room for it.
constexpr int kLongestResultText = 200;
/// A query of more characters than this finds nothing: no one types one, and any program on the
/// bus may send megabytes of words to be split and folded.
constexpr qsizetype kLongestDesktopQuery = 1000;

using SearchedLists = std::vector<std::shared_ptr<const ListIndex>>;

/// What finds a result's item again: its list's file, and the item's uid, or else (an item that
/// never left this machine has none) its place and a check of its name, so that an item standing
/// there now in its stead is not taken for it.
struct ResultKey {
    QString list;
    QString uid;
    QList<int> place;
    quint16 nameCheck = 0;

    /// The key as the desktop keeps it: one line of text.
    QString toId() const;
    /// None when the text is no key of ours.
    static std::optional<ResultKey> fromId(const QString& id);
};

/// The key of an item of the list.
ResultKey resultKeyFor(const ListIndex& list, const IndexedItem& item);

/// The item the key finds in the tree, with its place: the one with its uid, else the one at its
/// place when its name still checks; none otherwise.
std::optional<FoundItem> findResultItem(const Dict& root, const ResultKey& key);

/// The ids of the items of the lists that hold every word of the terms: those whose name holds them
/// first, then the others, each group in the lists' order; at most `limit`.
QStringList searchLists(const SearchedLists& lists, const QStringList& terms,
                        int limit = kMostDesktopResults);

/// What one result shows: the item's name, and the list's name with the names of the items above it.
struct ResultMeta {
    QString id;
    QString name;
    QString description;
};

/// The result's texts, plain and on one line; none when the id names no item of the lists (any
/// longer).
std::optional<ResultMeta> resultMeta(const SearchedLists& lists, const QString& id);

/// A text as one plain line: control characters become spaces, and a long one is cut with "…".
QString resultLine(const QString& text);

} // namespace tardigo
