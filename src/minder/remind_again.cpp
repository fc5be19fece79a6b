#include "minder/remind_again.h"

#include <QCoreApplication>

namespace tardigo {

QString remindAgainText(RemindAgain when) {
    switch (when) {
    case RemindAgain::InTenMinutes:
        return QCoreApplication::translate("RemindAgain", "Remind Me in 10 Minutes");
    case RemindAgain::InOneHour:
        return QCoreApplication::translate("RemindAgain", "Remind Me in 1 Hour");
    case RemindAgain::Tomorrow:
        break;
    }
    return QCoreApplication::translate("RemindAgain", "Remind Me Tomorrow");
}

ReminderFromNow reminderFromNow(RemindAgain when, const QDateTime& now) {
    switch (when) {
    case RemindAgain::InTenMinutes:
        return {10, ReminderMinutes};
    case RemindAgain::InOneHour:
        return {1, ReminderHours};
    case RemindAgain::Tomorrow:
        break;
    }
    const qint64 seconds = now.secsTo(now.addDays(1));
    if (seconds == 24 * 3600)
        return {1, ReminderDays};
    return {float(seconds / 60), ReminderMinutes};
}

} // namespace tardigo
