#pragma once

#include "model/value.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QMimeData;

namespace tardigo {

/// The format of items on the clipboard and in drags: the typed-stream archive of an array of item
/// nodes, each with its subtree.
inline const QString kItemsMimeType = QStringLiteral("VKTardigo2OutlineDragType");
/// Which open list the items came from, so that a drop back into it moves them.
inline const QString kItemsSourceMimeType = QStringLiteral("application/x-tardigo-items-source");

/// The data that carries items: their archive, their names as an indented outline for other
/// programs, and the list they came from.
std::unique_ptr<QMimeData> mimeDataForItems(const std::vector<NodePtr>& items, const QString& source);
/// Independent copies of the items the data carries, or none when it carries none that decode.
/// Every copy of items that joins a list is made here.
std::optional<std::vector<NodePtr>> copiedItems(const QMimeData& data);

/// The names of the items and their descendants, one a line, indented by a tab a level.
QString outlineTextOfItems(const std::vector<NodePtr>& items);
/// New items from text: one for each line that is not blank, a line indented deeper than the one
/// before it becoming its child.
std::vector<NodePtr> itemsFromText(const QString& text);

} // namespace tardigo
