#include "document/outline_data_source.h"

#include "model/node_operations.h"

namespace tardigo {

int OutlineDataSource::numberOfChildrenOfItem(const NodePtr& item) const {
    return int(filteredChildrenOfItem(item)->size());
}

NodePtr OutlineDataSource::childOfItem(int index, const NodePtr& item) const {
    return childAt(*filteredChildrenOfItem(item), index);
}

bool OutlineDataSource::isItemExpandable(const NodePtr& item) const {
    return filteredChildrenOfItem(item)->size() > 0;
}

} // namespace tardigo
