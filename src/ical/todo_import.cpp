#include "ical/todo_import.h"

#include "archive/list_file.h"
#include "ical/todo_mapping.h"
#include "ical/tree_placement.h"
#include "model/keys.h"

namespace tardigo {

QHash<QString, QString> parentsNamingChildren(const std::vector<const TodoContent*>& contents) {
    QHash<QString, QString> parents;
    for (const TodoContent* content : contents) {
        const QString* uid = content->item->value(key::uid).asString();
        if (!uid || uid->isEmpty())
            continue;
        for (const QString& child : content->childUids) {
            if (child != *uid && !parents.contains(child))
                parents.insert(child, *uid);
        }
    }
    return parents;
}

TodoImport importTodos(Dict& root, const CalendarRead& read, const QString& fileName) {
    TodoImport result = importTodos(root, todosIn(read), fileName);
    result.leftOut = read.unread;
    return result;
}

TodoImport importTodos(Dict& root, const CalendarTodos& todos, const QString& fileName) {
    TodoImport result;
    result.others = todos.others;
    std::vector<TodoContent> contents;
    std::vector<QDateTime> stamps;
    contents.reserve(todos.todos.size());
    for (icalcomponent* todo : todos.todos) {
        if (icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY)) {
            ++result.others; // one changed instance of a repeating to-do: the rule lives in its master
            continue;
        }
        contents.push_back(readTodo(todo));
        stamps.push_back(todoLastModified(todo));
    }
    std::vector<const TodoContent*> all;
    for (const TodoContent& content : contents)
        all.push_back(&content);
    const QHash<QString, QString> namedByParent = parentsNamingChildren(all);
    TreePlacement placement(root);
    for (size_t i = 0; i < contents.size(); ++i) {
        TodoContent& content = contents[i];
        const QString* uid = content.item->value(key::uid).asString();
        if (content.parentUid.isEmpty() && uid)
            content.parentUid = namedByParent.value(*uid);
        NodePtr item = uid && !uid->isEmpty() ? placement.itemWithUid(*uid) : nullptr;
        if (item) {
            applyTodo(*item, content);
            if (placement.parentUidOf(*item) != content.parentUid)
                placement.place(item, content.parentUid, content.sortKey());
            ++result.updated;
        } else {
            item = itemFromTodo(content, stamps[i]);
            placement.place(item, content.parentUid, content.sortKey());
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
