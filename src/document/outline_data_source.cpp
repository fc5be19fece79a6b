#include "document/outline_data_source.h"

#include <QMimeData>

namespace tardigo {

bool OutlineDataSource::isItemExpandable(const NodePtr& item) const {
    return filteredChildrenOfItem(item)->size() > 0;
}

std::unique_ptr<QMimeData> OutlineDataSource::outlineViewWriteItems(const std::vector<NodePtr>&) {
    return nullptr;
}

bool OutlineDataSource::outlineViewAcceptDrop(const QMimeData&, const NodePtr&, int) {
    return false;
}

} // namespace tardigo
