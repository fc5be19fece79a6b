// Feeds arbitrary bytes to the iCalendar reader and imports the to-dos it reads into a list. A
// list made so must export to a calendar that reads again and imports to the same items.
#include "archive/list_file.h"
#include "fuzz_input.h"
#include "ical/calendar_reader.h"
#include "ical/calendar_writer.h"
#include "ical/todo_import.h"
#include "ical/todo_mapping.h"
#include "model/item_uids.h"
#include "model/item_walk.h"

using namespace tardigo;

namespace {

std::vector<TodoContent> contentsOf(const Dict& root) {
    std::vector<TodoContent> contents;
    forEachItemBelow(root, [&](const NodePtr& item, const Dict&, qsizetype) {
        contents.push_back(todoContentOf(*item, {}));
    });
    return contents;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CalendarRead read = readCalendar(fuzzInput(data, size), QStringLiteral("fuzz.ics"));
    if (!read.ok())
        return 0;
    const CalendarTodos todos = todosIn(read);
    for (icalcomponent* todo : todos.todos)
        updateTodo(todo, readTodo(todo), {});
    const NodePtr root = newListRoot();
    if (!importTodos(*root, todos, QStringLiteral("fuzz.ics")).ok())
        return 0;
    assignItemUids(*root);
    const CalendarRead again = readCalendar(listCalendarText(*root), QStringLiteral("again.ics"));
    if (!again.ok())
        __builtin_trap();
    const NodePtr copy = newListRoot();
    if (!importTodos(*copy, todosIn(again), QStringLiteral("again.ics")).ok())
        __builtin_trap();
    const std::vector<TodoContent> before = contentsOf(*root), after = contentsOf(*copy);
    if (before.size() != after.size())
        __builtin_trap();
    for (size_t i = 0; i < before.size(); ++i) {
        if (!before[i].item->equals(*after[i].item))
            __builtin_trap();
    }
    return 0;
}
