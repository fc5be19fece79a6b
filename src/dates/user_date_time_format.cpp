#include "dates/user_date_time_format.h"

#include "model/keys.h"
#include "platform/user_defaults.h"

#include <QLocale>

namespace tardigo {

namespace {
QString preferredFormat(const QString& prefKey, const QString& localeFormat) {
    const Value stored = UserDefaults::standard().objectForKey(prefKey);
    const QString* chosen = stored.asString();
    return chosen && !chosen->isEmpty() ? *chosen : localeFormat;
}
} // namespace

QString userShortDateFormat() {
    return preferredFormat(pref::userShortDateFormat, QLocale().dateFormat(QLocale::ShortFormat));
}

QString userDateTimeFormat() {
    return userShortDateFormat() + u' ' + userTimeFormat();
}

QString userTimeFormat() {
    return preferredFormat(pref::userTimeFormat, QLocale().timeFormat(QLocale::ShortFormat));
}

QString formatUserDateTime(const QDateTime& date) {
    // A stored date keeps the offset it was written in; the user reads it on the local clock.
    return QLocale().toString(date.toLocalTime(), userDateTimeFormat());
}

} // namespace tardigo
