#pragma once

#include "minder/todo_locator.h"

#include <QStringList>

#include <functional>
#include <optional>

class QObject;

namespace tardigo {

/// Runs the file locator on a thread of its own, so that the event loop never waits for it, and
/// calls `done` with its answer on the thread of `context`, unless the context is gone by then.
void locateTodoItemsInBackground(const TodoLocator& locator, QObject* context,
                                 std::function<void(const std::optional<QStringList>&)> done);

} // namespace tardigo
