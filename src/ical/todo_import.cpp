#include "ical/todo_import.h"

#include "archive/list_file.h"
#include "ical/todo_mapping.h"
#include "ical/tree_placement.h"
#include "model/keys.h"
#include "platform/new_item.h"

namespace tardigo {

TodoImport importTodos(Dict& root, const CalendarTodos& todos, const QString& fileName) {
    TodoImport result;
    result.others = todos.others;
    TreePlacement placement(root, TreePlacement::Orders::AfterExisting);
    for (icalcomponent* todo : todos.todos) {
        if (icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY)) {
            ++result.others; // one changed instance of a repeating to-do: the rule lives in its master
            continue;
        }
        const TodoContent content = readTodo(todo);
        const QString* uid = content.item->value(key::uid).asString();
        NodePtr item = uid && !uid->isEmpty() ? placement.itemWithUid(*uid) : nullptr;
        if (item) {
            applyTodoItem(*item, *content.item);
            if (placement.parentUidOf(*item) != content.parentUid)
                placement.place(item, content.parentUid, content.order);
            ++result.updated;
        } else {
            item = newToDoItem();
            applyTodoItem(*item, *content.item);
            placement.place(item, content.parentUid, content.order);
            ++result.added;
        }
        if (content.item->contains(key::importedRepeatRule))
            result.keptRules.append(item->value(key::name).asString() ? *item->value(key::name).asString()
                                                                      : QString());
    }
    if (!placement.apply())
        result.error =
            QStringLiteral("%1 nests its to-dos more than %2 levels deep, more than a list can hold.")
                .arg(fileName)
                .arg(kMaxItemDepth);
    return result;
}

} // namespace tardigo
