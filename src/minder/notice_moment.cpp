#include "minder/notice_moment.h"

#include "model/item_codes.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"

#include <algorithm>
#include <cmath>

namespace tardigo {

namespace {

// An interval beyond any real one (some 31,000 years) is cut to this, so that it adds up.
constexpr double kLongestIntervalMSecs = 1e15;

// Bookkeeping times are date objects; anything else, or a date that is no point in time, is absent.
std::optional<qint64> instantOf(const Value& value) {
    if (const Date* date = value.asDate(); date && std::isfinite(date->seconds))
        return dateTimeFromReferenceSeconds(date->seconds).toMSecsSinceEpoch();
    if (const CalendarDate* date = value.asCalendarDate(); date && std::isfinite(date->seconds))
        return dateTimeFromReferenceSeconds(date->seconds).toMSecsSinceEpoch();
    return std::nullopt;
}

std::optional<qint64> dueInstant(const Dict& node) {
    const std::optional<QDateTime> due = parseStoredDate(node.value(key::due));
    return due ? std::optional(due->toMSecsSinceEpoch()) : std::nullopt;
}

} // namespace

std::optional<qint64> dueNoticeMoment(const Dict& node) {
    if (isCompleted(node) || instantOf(node.value(key::minderTimestampTodo)))
        return std::nullopt;
    return dueInstant(node);
}

std::optional<qint64> reminderMoment(const Dict& node, qint64 now) {
    if (!flagOf(node, key::reminderSet))
        return std::nullopt;
    const double interval = std::min(reminderIntervalForNode(node) * 1000.0, kLongestIntervalMSecs);
    const std::optional<qint64> last = instantOf(node.value(key::minderTimestampReminder));
    if (flagOf(node, key::reminderMarkDueDate) && !last) {
        // Once the due date is no further off than the interval.
        const std::optional<qint64> due = dueInstant(node);
        return due ? std::optional(*due - qint64(std::floor(interval))) : std::nullopt;
    }
    if (!flagOf(node, key::reminderMarkNow))
        return std::nullopt;
    // The interval after the mark; with no interval at once, mark or not.
    const std::optional<qint64> mark = instantOf(node.value(key::reminderMark));
    std::optional<qint64> marked;
    if (interval <= 0)
        marked = now;
    else if (mark)
        marked = *mark + qint64(std::ceil(interval));
    if (!marked)
        return std::nullopt;
    if (!flagOf(node, key::reminderRepeat))
        return last ? std::nullopt : marked;
    // Again each interval after the last notice; a notice stamped later than now (the clock went
    // back) does not hold the next one up.
    const qint64 waited = !last || *last > now ? now : *last + qint64(std::ceil(interval));
    return std::max(*marked, waited);
}

std::optional<qint64> noticeMoment(const Dict& node, qint64 now) {
    return earlierMoment(dueNoticeMoment(node), reminderMoment(node, now));
}

std::optional<qint64> earlierMoment(std::optional<qint64> a, std::optional<qint64> b) {
    if (a && b)
        return std::min(*a, *b);
    return a ? a : b;
}

} // namespace tardigo
