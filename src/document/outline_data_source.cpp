#include "document/outline_data_source.h"

namespace tardigo {

bool OutlineDataSource::isItemExpandable(const NodePtr& item) const {
    return filteredChildrenOfItem(item)->size() > 0;
}

} // namespace tardigo
