#include "ical/todo_field.h"

namespace tardigo {

const std::vector<TodoField>& todoFields() {
    // The due date comes before the repeat, whose rule is read against it.
    static const std::vector<TodoField> fields{uidField(),      summaryField(),    categoryField(),
                                               createdField(),  dueField(),        completionField(),
                                               notesField(),    placementField(),  repeatField(),
                                               reminderField(), appearanceField(), colorField()};
    return fields;
}

} // namespace tardigo
