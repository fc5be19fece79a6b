#include "outline/outline_data_source.h"

#include <QMimeData>

namespace tardigo {

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
