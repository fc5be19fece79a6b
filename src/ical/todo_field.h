#pragma once

#include "ical/todo_content.h"

#include <libical/ical.h>

#include <vector>

namespace tardigo {

/// One group of a to-do's properties and the item keys they stand for. Each group writes only
/// properties it can remove again, so that rewriting a to-do leaves other clients' properties alone.
struct TodoField {
    /// Adds the group's properties for the content to the to-do.
    void (*write)(const TodoContent& content, icalcomponent* todo);
    /// Reads the group's keys (or place) from the to-do into the content.
    void (*read)(icalcomponent* todo, TodoContent& content);
    /// Removes and frees every property the group writes.
    void (*remove)(icalcomponent* todo);
    /// Brings the group's properties of a to-do that said `before` to say `after`, keeping what
    /// still holds of them; null where that is removing them and writing them anew.
    void (*update)(const TodoContent& before, const TodoContent& after, icalcomponent* todo) = nullptr;
};

TodoField uidField();
TodoField summaryField();
TodoField categoryField();
TodoField createdField();
TodoField dueField();
TodoField completionField();
TodoField notesField();
TodoField placementField();
TodoField repeatField();
TodoField reminderField();
TodoField appearanceField();
TodoField colorField();

} // namespace tardigo
