#pragma once

#include "model/value.h"

#include <QList>
#include <QString>

#include <vector>

namespace tardigo {

/// An item as the desktop's search reads it: where it stands, the item, and its texts folded for
/// searching.
struct IndexedItem {
    QList<int> place; // its index among its siblings at each level, from the top
    NodePtr item;
    QString foldedName;
    QString folded; // name, category and notes
};

/// A list's items read once for searching, with the list's file and the name it shows. It holds the
/// tree it was made of, and never changes it.
class ListIndex {
public:
    ListIndex(QString path, QString title, NodePtr root);

    const QString& path() const { return _path; }
    const QString& title() const { return _title; }
    const NodePtr& root() const { return _root; }
    /// Every item below the root, depth first in stored order.
    const std::vector<IndexedItem>& items() const { return _items; }

private:
    QString _path;
    QString _title;
    NodePtr _root;
    std::vector<IndexedItem> _items;
};

} // namespace tardigo
