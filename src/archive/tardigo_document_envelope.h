#pragma once

#include "archive/to_do_item.h"

#include <memory>
#include <vector>

namespace tardigo {

/// The root object of a 1.x list.
struct TardigoDocumentEnvelope {
    /// The items in order; null where the content holds an object of another class.
    std::vector<std::shared_ptr<const ToDoItem>> content;
};

} // namespace tardigo
