#pragma once

namespace tardigo {

/// The kind of a minder notice.
enum ItemStatus : int {
    ItemStatusDue = 2,      // past due, or a repeating item's new due date
    ItemStatusReminder = 3, // a reminder
};

} // namespace tardigo
