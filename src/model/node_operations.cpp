#include "model/node_operations.h"

#include "model/clock.h"
#include "model/keys.h"
#include "model/stored_date.h"

#include <algorithm>

namespace tardigo {

void appendToLog(Dict& node, const QString& message) {
    const ArrayPtr history = node.value(key::history).asArray();
    if (!history)
        return;
    history->items.push_back(historyEntry(storedDateStringNow(), message));
}

QString stringOf(const Dict& node, const QString& key) {
    const QString* text = node.value(key).asString();
    return text ? *text : QString();
}

bool flagOf(const Dict& node, const QString& key) {
    const Value* v = node.find(key);
    return v && v->isNumber() && *v->asNumber() == Number::boolean(true);
}

double boundedCompletion(double stored) {
    return stored > 0.0 ? std::min(stored, 1.0) : 0.0; // NaN is not above 0
}

float completionOf(const Dict& node) {
    const Value* v = node.find(key::completion);
    return v && v->isNumber() ? float(boundedCompletion(v->asNumber()->toDouble())) : 0.0f;
}

int completionPercentOf(const Dict& node) {
    return int(completionOf(node) * 100.0f);
}

bool isCompleted(const Dict& node) {
    const Value* v = node.find(key::completion);
    return v && v->isNumber() && float(v->asNumber()->toDouble()) == 1.0f;
}

bool hasPartialCompletion(const Dict& node) {
    const Value* v = node.find(key::completion);
    if (!v || !v->isNumber())
        return false;
    const float f = float(v->asNumber()->toDouble());
    return f > 0.0f && f < 1.0f;
}

bool isOverdue(const Dict& node) {
    if (isCompleted(node))
        return false;
    const auto due = parseStoredDate(node.value(key::due));
    return due && due->toMSecsSinceEpoch() <= Clock::nowMSecsSinceEpoch();
}

bool isOld(const Dict& node, qint64 oldDays) {
    if (isCompleted(node))
        return false;
    const Value* period = node.find(key::dateDueRepeatPeriod);
    if (node.contains(key::due) && period && period->isNumber() && period->asNumber()->toDouble() > 0)
        return false;
    if (flagOf(node, key::reminderSet) && flagOf(node, key::reminderRepeat))
        return false;
    const auto created = parseStoredDate(node.value(key::dateCreated));
    if (!created)
        return false;
    const double days = double(created->msecsTo(Clock::now())) / 1000.0 / 86400.0;
    return days > double(oldDays);
}

void forgetDueDateNotices(Dict& node) {
    node.remove(key::minderTimestampTodo);
    if (flagOf(node, key::reminderSet) && flagOf(node, key::reminderMarkDueDate))
        node.remove(key::minderTimestampReminder);
}

ArrayPtr childrenOf(const Dict& node) {
    const Value* v = node.find(key::children);
    return v ? v->asArray() : nullptr;
}

NodePtr childAt(const Array& children, qsizetype index) {
    return index >= 0 && index < children.size() ? children.items[size_t(index)].asDict() : nullptr;
}

} // namespace tardigo
