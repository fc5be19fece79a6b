#include "document/item_mime_data.h"

#include "archive/archive_codec.h"
#include "model/core_log.h"
#include "model/item_uids.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "platform/new_item.h"

#include <QMimeData>

namespace tardigo {

std::unique_ptr<QMimeData> mimeDataForItems(const std::vector<NodePtr>& items, const QString& source) {
    ArrayPtr array = Array::create();
    for (const NodePtr& item : items)
        array->items.emplace_back(item);
    auto data = std::make_unique<QMimeData>();
    data->setData(kItemsMimeType, encodeArchive(array));
    data->setData(kItemsSourceMimeType, source.toUtf8());
    data->setText(outlineTextOfItems(items));
    return data;
}

std::optional<std::vector<NodePtr>> copiedItems(const QMimeData& data) {
    if (!data.hasFormat(kItemsMimeType))
        return std::nullopt;
    const ArchiveDecodeResult decoded = decodeArchive(data.data(kItemsMimeType));
    const ArrayPtr array = decoded.ok() ? decoded.root.asArray() : nullptr;
    if (!array) {
        qCWarning(lcDocument).noquote() << "items that do not decode were dropped or pasted:"
                                        << (decoded.ok() ? QStringLiteral("not an array") : decoded.error);
        return std::nullopt;
    }
    std::vector<NodePtr> copies;
    for (const Value& item : array->items)
        // A copy of each: an archive may share a node between places, a list may not. A copy is a
        // new item, so it must not claim the calendar identity of the item it came from.
        if (const DictPtr node = item.asDict()) {
            copies.push_back(node->deepCopy());
            removeUids(*copies.back());
        }
    return copies;
}

QString outlineTextOfItems(const std::vector<NodePtr>& items) {
    QString text;
    std::vector<std::pair<NodePtr, int>> pending; // depth first, without recursion
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        pending.emplace_back(*it, 0);
    while (!pending.empty()) {
        const auto [item, level] = std::move(pending.back());
        pending.pop_back();
        text += QString(level, u'\t') + stringOf(*item, key::name) + u'\n';
        if (const ArrayPtr children = childrenOf(*item))
            for (auto it = children->items.rbegin(); it != children->items.rend(); ++it)
                if (DictPtr child = it->asDict())
                    pending.emplace_back(std::move(child), level + 1);
    }
    return text;
}

std::vector<NodePtr> itemsFromText(const QString& text) {
    std::vector<NodePtr> items;
    std::vector<std::pair<qsizetype, NodePtr>> open; // the indentation and item of each open level
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QString name = line.trimmed().toString();
        if (name.isEmpty())
            continue;
        qsizetype indentation = 0;
        for (const QChar c : line) {
            if (c == u'\t')
                indentation += 4;
            else if (c.isSpace())
                ++indentation;
            else
                break;
        }
        while (!open.empty() &&
               (open.back().first >= indentation || qsizetype(open.size()) >= kMostItemLevels))
            open.pop_back();
        NodePtr item = newToDoItem();
        item->set(key::name, name);
        if (open.empty())
            items.push_back(item);
        else
            childrenOf(*open.back().second)->items.push_back(item);
        open.emplace_back(indentation, std::move(item));
    }
    return items;
}

} // namespace tardigo
