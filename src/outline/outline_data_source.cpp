#include "outline/outline_data_source.h"

#include <QMimeData>

namespace tardigo {

bool OutlineDataSource::hasVisibleChildren(const NodePtr& item) const {
    return visibleChildren(item)->size() > 0;
}

QStringList OutlineDataSource::transferTypes() const {
    return {};
}

std::unique_ptr<QMimeData> OutlineDataSource::dragData(const std::vector<NodePtr>&) {
    return nullptr;
}

bool OutlineDataSource::acceptDrop(const QMimeData&, const NodePtr&, int) {
    return false;
}

} // namespace tardigo
