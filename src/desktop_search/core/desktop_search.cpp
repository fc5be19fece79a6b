#include "desktop_search/core/desktop_search.h"

#include "model/keys.h"
#include "model/node_operations.h"

#include <QByteArrayView>

namespace tardigo {

namespace {

const QString kUidKind = QStringLiteral("uid");
const QString kPlaceKind = QStringLiteral("at");

quint16 nameCheckOf(const Dict& item) {
    const QByteArray name = stringOf(item, key::name).toUtf8();
    return qChecksum(QByteArrayView(name));
}

bool findUid(const Dict& node, const QString& uid, QList<int>& place, NodePtr& found) {
    const ArrayPtr children = childrenOf(node);
    if (!children)
        return false;
    for (size_t i = 0; i < children->items.size(); ++i) {
        const NodePtr child = children->items[i].asDict();
        if (!child)
            continue;
        place.append(int(i));
        if (stringOf(*child, key::uid) == uid) {
            found = child;
            return true;
        }
        if (findUid(*child, uid, place, found))
            return true;
        place.removeLast();
    }
    return false;
}

const ListIndex* listAt(const SearchedLists& lists, const QString& path) {
    for (const std::shared_ptr<const ListIndex>& list : lists)
        if (list && list->path() == path)
            return list.get();
    return nullptr;
}

} // namespace

QString ResultKey::toId() const {
    // The list's path comes last: it is the one part that may hold the separator.
    if (!uid.isEmpty())
        return kUidKind + u':' + uid + u':' + list;
    return kPlaceKind + u':' + itemPathText(place) + u':' + QString::number(nameCheck, 16) + u':' + list;
}

std::optional<ResultKey> ResultKey::fromId(const QString& id) {
    const qsizetype kindEnd = id.indexOf(u':');
    if (kindEnd < 0)
        return std::nullopt;
    const QStringView kind = QStringView(id).left(kindEnd);
    ResultKey key;
    if (kind == kUidKind) {
        const qsizetype uidEnd = id.indexOf(u':', kindEnd + 1);
        if (uidEnd <= kindEnd + 1)
            return std::nullopt;
        key.uid = id.mid(kindEnd + 1, uidEnd - kindEnd - 1);
        key.list = id.mid(uidEnd + 1);
    } else if (kind == kPlaceKind) {
        const qsizetype placeEnd = id.indexOf(u':', kindEnd + 1);
        const qsizetype checkEnd = placeEnd < 0 ? -1 : id.indexOf(u':', placeEnd + 1);
        if (checkEnd < 0)
            return std::nullopt;
        for (const QString& part : id.mid(kindEnd + 1, placeEnd - kindEnd - 1).split(u'/')) {
            bool ok = false;
            const int index = part.toInt(&ok);
            if (!ok || index < 0)
                return std::nullopt;
            key.place.append(index);
        }
        bool ok = false;
        const uint check = QStringView(id).mid(placeEnd + 1, checkEnd - placeEnd - 1).toUInt(&ok, 16);
        if (!ok || check > 0xffff)
            return std::nullopt;
        key.nameCheck = quint16(check);
        key.list = id.mid(checkEnd + 1);
    } else {
        return std::nullopt;
    }
    if (key.list.isEmpty())
        return std::nullopt;
    return key;
}

ResultKey resultKeyFor(const ListIndex& list, const IndexedItem& item) {
    ResultKey key;
    key.list = list.path();
    key.uid = stringOf(*item.item, key::uid);
    if (key.uid.isEmpty()) {
        key.place = item.place;
        key.nameCheck = nameCheckOf(*item.item);
    }
    return key;
}

std::optional<FoundItem> findResultItem(const Dict& root, const ResultKey& key) {
    if (!key.uid.isEmpty()) {
        QList<int> place;
        NodePtr found;
        if (findUid(root, key.uid, place, found))
            return FoundItem{place, found};
        return std::nullopt;
    }
    if (key.place.isEmpty())
        return std::nullopt;
    const Dict* node = &root;
    NodePtr child;
    for (const int index : key.place) {
        const ArrayPtr children = childrenOf(*node);
        if (!children || index >= qsizetype(children->items.size()))
            return std::nullopt;
        child = children->items[size_t(index)].asDict();
        if (!child)
            return std::nullopt;
        node = child.get();
    }
    if (nameCheckOf(*child) != key.nameCheck)
        return std::nullopt;
    return FoundItem{key.place, child};
}

QStringList searchLists(const SearchedLists& lists, const QStringList& terms, int limit) {
    const ItemSearch search(terms.join(u' '));
    if (search.isEmpty() || limit <= 0)
        return {};
    QStringList byName, byOther;
    for (const std::shared_ptr<const ListIndex>& list : lists) {
        if (!list)
            continue;
        for (const IndexedItem& item : list->items()) {
            if (!search.matchesFolded(item.folded))
                continue;
            QStringList& group = search.matchesFolded(item.foldedName) ? byName : byOther;
            if (group.size() < limit)
                group.append(resultKeyFor(*list, item).toId());
        }
        // Every place is taken by an item found by its name: nothing later would make the list.
        if (byName.size() >= limit)
            break;
    }
    byName += byOther;
    return byName.mid(0, limit);
}

std::optional<ResultMeta> resultMeta(const SearchedLists& lists, const QString& id) {
    const std::optional<ResultKey> key = ResultKey::fromId(id);
    const ListIndex* list = key ? listAt(lists, key->list) : nullptr;
    const std::optional<FoundItem> found =
        list && list->root() ? findResultItem(*list->root(), *key) : std::nullopt;
    if (!found)
        return std::nullopt;
    QStringList way{list->title()};
    const Dict* node = list->root().get();
    for (qsizetype level = 0; level + 1 < found->path.size(); ++level) {
        const NodePtr child = childAt(*childrenOf(*node), found->path[level]);
        way << stringOf(*child, key::name);
        node = child.get();
    }
    return ResultMeta{id, resultLine(stringOf(*found->item, key::name)),
                      resultLine(way.join(QStringLiteral(" / ")))};
}

QString resultLine(const QString& text) {
    QString line = text;
    for (QChar& c : line)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    line = line.simplified();
    if (line.size() > kLongestResultText) {
        line.truncate(kLongestResultText - 1);
        if (line.back().isHighSurrogate())
            line.chop(1);
        line += QChar(0x2026);
    }
    return line;
}

} // namespace tardigo
