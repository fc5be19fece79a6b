#pragma once

#include "model/value.h"

#include <QHash>
#include <QString>

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tardigo {

/// Puts items where their to-dos say they stand: under the item holding their parent's uid, by their
/// sort key among its children. An item goes to the top level instead when its parent is not in
/// the list, or when its place would make it its own ancestor or nest it too deep, as hostile or
/// careless calendars can ask.
class TreePlacement {
public:
    /// The sort key of an item of the list, as its to-do has it; none for an item that has none.
    using KeyOf = std::function<std::optional<qint64>(const Dict& item)>;

    /// Items placed under a parent go after its children, in the order of their keys.
    explicit TreePlacement(Dict& root);
    /// Items placed under a parent go among its children by their keys: before the first child
    /// whose key (by `keyOf`) is not less.
    TreePlacement(Dict& root, KeyOf keyOf);

    /// The item holding the uid, in the list or asked to be placed; null when none does.
    NodePtr itemWithUid(const QString& uid) const;
    /// The uid of the item's parent in the list as it stands; empty at the top level.
    QString parentUidOf(const Dict& item) const;
    /// Asks for the item (new, or already in the list) to stand under the item of parentUid, at its
    /// sort key; one without a key goes after those with one.
    void place(const NodePtr& item, const QString& parentUid, std::optional<qint64> key);
    /// Moves every item asked for to its place. False when the list would then nest deeper than
    /// kMaxItemDepth (what the list file holds), which leaves it changed but whole.
    bool apply();

private:
    struct Request {
        NodePtr item;
        QString parentUid;
        std::optional<qint64> key;
        Dict* parent = nullptr; // decided in apply()
    };

    Dict* decideParent(Request& request);
    Dict* finalParentOf(const Dict* node) const;
    void removeFromOldPlaces();
    void insertAtNewPlaces();
    int depth() const;

    Dict& _root;
    KeyOf _keyOf;
    QHash<QString, NodePtr> _byUid;
    std::unordered_map<const Dict*, Dict*> _parents; // every item in the list, to its parent
    std::vector<Request> _requests;
    std::unordered_map<const Dict*, size_t> _requested; // item to its request
};

} // namespace tardigo
