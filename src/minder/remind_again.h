#pragma once

#include "model/item_codes.h"

#include <QDateTime>
#include <QString>

#include <array>

namespace tardigo {

/// When a notice's item is to be reminded of again, as the notice offers it.
enum class RemindAgain { InTenMinutes, InOneHour, Tomorrow };

/// The choices in the order a notice offers them.
constexpr std::array<RemindAgain, 3> kRemindAgainChoices{RemindAgain::InTenMinutes, RemindAgain::InOneHour,
                                                         RemindAgain::Tomorrow};

/// The choice's text on a notice's button, in the user's language.
QString remindAgainText(RemindAgain when);

/// A reminder counted forward from now.
struct ReminderFromNow {
    float length;
    ReminderUnit unit;
};

/// The reminder that comes at the chosen time: tomorrow is the same time of day tomorrow, which is
/// not 24 hours away on the day the clocks change.
ReminderFromNow reminderFromNow(RemindAgain when, const QDateTime& now);

} // namespace tardigo
