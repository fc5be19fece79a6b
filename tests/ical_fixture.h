#pragma once

// What the calendar and sync tests share: a fixed zone, preferences in memory, and to-dos written
// and read back through libical as another program would.

#include "ical/calendar_reader.h"
#include "ical/calendar_writer.h"
#include "ical/todo_mapping.h"
#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/new_item.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QProcess>
#include <QTest>

#include <ctime>
#include <unordered_map>

Q_DECLARE_METATYPE(tardigo::Value)
Q_DECLARE_METATYPE(tardigo::NodePtr)

namespace tardigo::test {

/// Every calendar test runs in Berlin, with preferences that touch no file.
inline void startCalendarTest() {
    qputenv("TZ", "Europe/Berlin");
    tzset();
    Settings::instance().useMemoryOnly();
}

/// An item with the given keys.
inline NodePtr itemWith(std::initializer_list<std::pair<QString, Value>> keys) {
    NodePtr item = Dict::create();
    for (const auto& [key, value] : keys)
        item->set(key, value);
    return item;
}

/// A new item, as the New command makes it, with the keys given, appended to the parent's children.
inline NodePtr addItem(Dict& parent, std::initializer_list<std::pair<QString, Value>> keys) {
    NodePtr item = newToDoItem();
    for (const auto& [key, value] : keys)
        item->set(key, value);
    if (!childrenOf(parent))
        parent.set(key::children, Array::create());
    childrenOf(parent)->items.push_back(item);
    return item;
}

/// The first item of the tree, in pre-order, with that name; null when there is none.
inline NodePtr findItem(const Dict& root, const QString& name) {
    NodePtr found;
    forEachItemBelow(root, [&](const NodePtr& item, const Dict&, qsizetype) {
        if (!found && item->value(key::name) == Value(name))
            found = item;
    });
    return found;
}

/// The first to-do of iCalendar text, read back; fails the test when the text does not read.
struct ReadBack {
    CalendarRead read;
    icalcomponent* todo = nullptr;
};
inline ReadBack readFirstTodo(const QByteArray& text) {
    ReadBack back{readCalendar(text, QStringLiteral("test.ics")), nullptr};
    const CalendarTodos todos = todosIn(back.read);
    if (back.read.ok() && !todos.todos.empty())
        back.todo = todos.todos.front();
    return back;
}

/// The text of a calendar holding the item's to-do.
inline QByteArray todoText(const Dict& item, const QString& parentUid = {}) {
    return icalText(calendarHolding(newTodo(todoContentOf(item, parentUid),
                                            localTime(QStringLiteral("2024-06-01 12:00:00"))))
                        .get());
}

/// A Python that has the icalendar module (Debian's python3-icalendar), or nothing.
inline QString pythonWithIcalendar() {
    for (const QString& python : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        if (QProcess::execute(python, {QStringLiteral("-c"), QStringLiteral("import icalendar")}) == 0)
            return python;
    }
    return {};
}

/// Every item of a tree as a line of its mapped keys, indented by its depth: two trees that give the
/// same lines hold the same items with the same values in the same places.
inline QStringList mappedOutline(const Dict& root) {
    QStringList lines;
    std::unordered_map<const Dict*, int> depth{{&root, 0}};
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        depth[item.get()] = depth[&parent] + 1;
        QStringList keys;
        for (const QString& key : todoMappedKeys()) {
            const Value* value = item->find(key);
            if (!value)
                continue;
            const Number* number = value->asNumber();
            keys << key + u'=' +
                        (value->asString() ? *value->asString()
                         : number          ? QString::number(number->toDouble())
                         : value->asDate() ? QString::number(value->asDate()->seconds, 'f', 3)
                         : value->asData() ? QString::fromLatin1(value->asData()->toHex())
                                           : QStringLiteral("?"));
        }
        lines << QString(depth[item.get()] * 2, u' ') + keys.join(u' ');
    });
    return lines;
}

} // namespace tardigo::test
