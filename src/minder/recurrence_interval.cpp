#include "minder/recurrence_interval.h"

namespace tardigo {

double secondsIntervalWith(float amount, qint64 units) {
    return double(amount) * secondsPerReminderUnit(units);
}

} // namespace tardigo
