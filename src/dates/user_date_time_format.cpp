#include "dates/user_date_time_format.h"

#include "platform/settings.h"

#include <QLocale>

namespace tardigo {

namespace {
QString preferredFormat(const QString& chosen, const QString& localeFormat) {
    return chosen.isEmpty() ? localeFormat : chosen;
}
} // namespace

QString userShortDateFormat() {
    return preferredFormat(Settings::instance().shortDateFormat(),
                           QLocale().dateFormat(QLocale::ShortFormat));
}

QString userDateTimeFormat() {
    return userShortDateFormat() + u' ' + userTimeFormat();
}

QString userTimeFormat() {
    return preferredFormat(Settings::instance().timeFormat(), QLocale().timeFormat(QLocale::ShortFormat));
}

QString formatUserDateTime(const QDateTime& date) {
    // A stored date keeps the offset it was written in; the user reads it on the local clock.
    return QLocale().toString(date.toLocalTime(), userDateTimeFormat());
}

} // namespace tardigo
