#pragma once

#include "platform/list_lock.h"

#include <QString>

#include <optional>

class QWidget;

namespace tardigo {

/// What the window waits for a list's lock to do: save the list, or read it again (to revert or merge).
enum class LockWaitPurpose { Save, Read };

/// Takes the list's lock for the window without ever blocking its thread. When another program holds
/// the list, the wait runs on a thread of its own while the event loop goes on; after a moment a
/// dialog on `parent` names the program (by its process id) and lets the user stop waiting. None
/// when the user stopped, with `error` empty, or when the lock could not be had, with the reason.
std::optional<ListLock> lockListForWindow(QWidget* parent, const QString& listPath, LockWaitPurpose purpose,
                                          QString* error);

} // namespace tardigo
