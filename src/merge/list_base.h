#pragma once

#include "merge/item_fingerprint.h"
#include "model/value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <utility>
#include <vector>

namespace tardigo {

/// What a list held when it was last read or saved, without a copy of it: for each item what
/// identifies it, a fingerprint of what it says, the minder's stamps and where it stood, and the
/// list's own settings. The items themselves are remembered, so that an item of the list being
/// edited is known for the same however it changed since; in another version of the list (its file)
/// an item is known by its uid, else by its creation date and name.
class ListBase {
public:
    using Entries = std::vector<std::pair<QString, Value>>;

    struct Item {
        NodePtr node; // the item in the list being edited; null when it is not there
        QString uid;
        QString created;
        QString name;
        ContentFingerprint content;   // of every key but keysBesideContent()
        std::array<double, 2> stamps; // stampOf each of stampKeys()
        qint32 parent = -1;           // the entry of its parent; -1 at the top level
        qint32 index = 0;             // its place among its siblings
    };

    /// The minder's stamps of when it last told of an item, which a merge takes by themselves.
    static const QStringList& stampKeys();
    /// The keys that say nothing of what an item is: its children, its uid, the minder's stamps.
    static const QStringList& keysBesideContent();
    /// The seconds of the item's stamp under stampKeys()[which]; NaN when it has none.
    static double stampOf(const Dict& item, size_t which);
    /// The entry of an item whose contentFingerprint is `content`, `node` standing for it in the
    /// list being edited.
    static Item itemOf(const Dict& item, NodePtr node, ContentFingerprint content, qint32 parent,
                       qint32 index);

    /// No base: every item counts as new.
    ListBase() = default;
    /// The base of the list as it stands now.
    explicit ListBase(const Dict& root);
    /// A base of these items, in the tree's order, and of the settings of the root.
    ListBase(std::vector<Item> items, const Dict& root);

    const std::vector<Item>& items() const { return _items; }
    /// The root's own keys (not its children) as they were.
    const Entries& settings() const { return _settings; }

private:
    std::vector<Item> _items; // in the tree's order
    Entries _settings;
};

} // namespace tardigo
