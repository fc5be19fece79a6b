#include "window/due_date_format.h"

#include "minder/user_date_time_format.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/stored_date.h"
#include "platform/localized.h"
#include "platform/user_defaults.h"

#include <QLocale>

namespace tardigo {

namespace {

QDateTime naturalDate(const QString& text) {
    const QDateTime now = Clock::now();
    const struct {
        const char* key;
        int days;
    } words[] = {{"now", 0}, {"today", 0}, {"tomorrow", 1}, {"yesterday", -1}};
    for (const auto& word : words) {
        const QString key = QString::fromLatin1(word.key);
        if (text.compare(key, Qt::CaseInsensitive) == 0 ||
            text.compare(localized(key), Qt::CaseInsensitive) == 0)
            return now.addDays(word.days);
    }
    return {};
}

QString userShortDateFormat() {
    const Value chosen = UserDefaults::standard().objectForKey(pref::userShortDateFormat);
    const QString* format = chosen.asString();
    return format && !format->isEmpty() ? *format : QLocale().dateFormat(QLocale::ShortFormat);
}

// Two-digit years are read as 19xx; a to-do list lives in this century.
QDateTime withCenturyFixed(QDateTime date, const QString& format) {
    if (date.isValid() && !format.contains(QLatin1String("yyyy")) && date.date().year() < 2000)
        date = date.addYears(100);
    return date;
}

} // namespace

QString formatDueDate(const QDateTime& due) {
    return QLocale().toString(due.toLocalTime(), userDateTimeFormat());
}

QDateTime parseDueDate(const QString& typed) {
    const QString text = typed.simplified();
    if (text.isEmpty())
        return {};
    if (const QDateTime natural = naturalDate(text); natural.isValid())
        return natural;
    if (const std::optional<QDateTime> stored = parseStoredDate(text))
        return *stored;
    const QLocale locale;
    const QString dateTimeFormat = userDateTimeFormat();
    const QString dateFormat = userShortDateFormat();
    for (const QString& format :
         {dateTimeFormat, locale.dateTimeFormat(QLocale::ShortFormat),
          locale.dateTimeFormat(QLocale::LongFormat), QStringLiteral("yyyy-MM-dd HH:mm:ss"),
          QStringLiteral("yyyy-MM-dd HH:mm")}) {
        if (const QDateTime date = withCenturyFixed(locale.toDateTime(text, format), format); date.isValid())
            return date;
    }
    for (const QString& format : {dateFormat, locale.dateFormat(QLocale::ShortFormat),
                                  locale.dateFormat(QLocale::LongFormat), QStringLiteral("yyyy-MM-dd")}) {
        if (const QDate date = locale.toDate(text, format); date.isValid())
            return withCenturyFixed(QDateTime(date, QTime(0, 0)), format);
    }
    return {};
}

} // namespace tardigo
