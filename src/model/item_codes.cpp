#include "model/item_codes.h"

#include "model/keys.h"

#include <cmath>
#include <limits>

namespace tardigo {

double secondsPerReminderUnit(qint64 unit) {
    static constexpr double kSecondsPerUnit[] = {60.0,      3600.0,     86400.0,   604800.0,
                                                 2592000.0, 10368000.0, 31536000.0};
    if (unit < ReminderMinutes || unit > ReminderYears)
        return 0.0;
    return kSecondsPerUnit[unit];
}

double secondsIntervalWith(float amount, qint64 units) {
    return double(amount) * secondsPerReminderUnit(units);
}

double reminderIntervalForNode(const Dict& node) {
    float length = 0.0f;
    if (const Number* n = node.value(key::reminderTimeLength).asNumber()) {
        const double stored = n->toDouble();
        if (std::isfinite(stored) && stored >= 0.0 && stored <= std::numeric_limits<float>::max())
            length = float(stored);
    }
    const Number* unit = node.value(key::reminderTimeUnit).asNumber();
    return double(length) * secondsPerReminderUnit(unit ? unit->toInt64() : qint64(ReminderMinutes));
}

} // namespace tardigo
