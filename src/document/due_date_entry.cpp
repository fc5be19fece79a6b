#include "document/due_date_entry.h"

#include "document/due_date_format.h"
#include "minder/user_date_time_format.h"
#include "model/clock.h"
#include "model/stored_date.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace tardigo {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("DueDateEntry", text);
}

bool isWord(const QString& text, const char* english) {
    return text.compare(QLatin1String(english), Qt::CaseInsensitive) == 0 ||
           text.compare(tr(english), Qt::CaseInsensitive) == 0;
}

std::optional<QDateTime> dayWord(const QString& text, const QDateTime& now) {
    const struct {
        const char* word;
        int days;
    } words[] = {{QT_TRANSLATE_NOOP("DueDateEntry", "now"), 0},
                 {QT_TRANSLATE_NOOP("DueDateEntry", "today"), 0},
                 {QT_TRANSLATE_NOOP("DueDateEntry", "tomorrow"), 1},
                 {QT_TRANSLATE_NOOP("DueDateEntry", "yesterday"), -1}};
    for (const auto& [word, days] : words)
        if (isWord(text, word))
            return now.addDays(days);
    return std::nullopt;
}

/// The next such weekday after today, in the locale's language or in English, long or short.
std::optional<QDateTime> weekday(const QString& text, const QDateTime& now) {
    for (int day = 1; day <= 7; ++day) {
        for (const QLocale& locale : {QLocale(), QLocale::c()}) {
            if (text.compare(locale.dayName(day, QLocale::LongFormat), Qt::CaseInsensitive) != 0 &&
                text.compare(locale.dayName(day, QLocale::ShortFormat), Qt::CaseInsensitive) != 0)
                continue;
            const int ahead = (day - now.date().dayOfWeek() + 6) % 7 + 1;
            return now.addDays(ahead);
        }
    }
    return std::nullopt;
}

/// "+3d", "+ 2 weeks", "in 2 weeks": that long from now.
std::optional<QDateTime> offsetFromNow(const QString& text, const QDateTime& now) {
    static const QRegularExpression offset(QStringLiteral("^(?:\\+\\s*|in\\s+)(\\d{1,4})\\s*([a-z]+)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = offset.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int n = match.captured(1).toInt();
    const QString unit = match.captured(2).toLower();
    const auto is = [&unit](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(),
                           [&](const char* name) { return unit == QLatin1String(name); });
    };
    if (is({"min", "mins", "minute", "minutes"}))
        return now.addSecs(qint64(n) * 60);
    if (is({"h", "hr", "hrs", "hour", "hours"}))
        return now.addSecs(qint64(n) * 3600);
    if (is({"d", "day", "days"}))
        return now.addDays(n);
    if (is({"w", "wk", "wks", "week", "weeks"}))
        return now.addDays(qint64(n) * 7);
    if (is({"mo", "month", "months"}))
        return now.addMonths(n);
    if (is({"y", "yr", "yrs", "year", "years"}))
        return now.addYears(n);
    return std::nullopt;
}

std::optional<QDateTime> isoDate(QString text) {
    // ISO 8601 as people type it: a space may stand for the "T".
    static const QRegularExpression spaced(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}) (\\d)"));
    text.replace(spaced, QStringLiteral("\\1T\\2"));
    // A date alone; QDate would read the date of a date-time too, and drop its time.
    if (const QDate date = QDate::fromString(text, Qt::ISODate); date.isValid() && !text.contains(u'T'))
        return QDateTime(date, QTime(0, 0));
    if (const QDateTime date = QDateTime::fromString(text, Qt::ISODate); date.isValid())
        return date;
    return std::nullopt;
}

/// The format, and the same with a two-digit year widened to four or a four-digit one narrowed.
QStringList withEitherYear(const QString& format) {
    QString other = format;
    if (format.contains(QLatin1String("yyyy")))
        other.replace(QLatin1String("yyyy"), QLatin1String("yy"));
    else
        other.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return other == format ? QStringList{format} : QStringList{format, other};
}

// Two-digit years are read as 19xx; a to-do list lives in this century.
QDateTime withCenturyFixed(QDateTime date, const QString& format) {
    if (date.isValid() && !format.contains(QLatin1String("yyyy")) && date.date().year() < 2000)
        date = date.addYears(100);
    return date;
}

std::optional<QDateTime> inLocaleFormats(const QString& text) {
    const QLocale locale;
    QStringList dateTimeFormats;
    for (const QString& format : {dueDateFormatWithSeconds(), dueDateFormatWithoutSeconds(),
                                  locale.dateTimeFormat(QLocale::ShortFormat),
                                  formatWithoutSeconds(locale.dateTimeFormat(QLocale::ShortFormat))})
        dateTimeFormats += withEitherYear(format);
    for (const QString& format : std::as_const(dateTimeFormats))
        if (const QDateTime date = withCenturyFixed(locale.toDateTime(text, format), format); date.isValid())
            return date;
    for (const QString& shortDate : {userShortDateFormat(), locale.dateFormat(QLocale::ShortFormat),
                                     locale.dateFormat(QLocale::LongFormat)})
        for (const QString& format : withEitherYear(shortDate))
            if (const QDate date = locale.toDate(text, format); date.isValid())
                return withCenturyFixed(QDateTime(date, QTime(0, 0)), format);
    return std::nullopt;
}

DueDateEntry refused(const QString& typed, const QDateTime& now) {
    const QDateTime example(now.date().addDays(1), QTime(9, 30));
    return {DueDateEntry::Kind::Refused, QDateTime(),
            QCoreApplication::translate(
                "DueDateEntry",
                "“%1” is not a date Tardigo can read, so the due date stays as it was. Type a date such as "
                "“%2”, a day such as “tomorrow” or “+3d”, or clear the cell to remove the due date.")
                .arg(typed, formatDueDate(example))};
}

} // namespace

DueDateEntry readDueDateEntry(const QString& typed) {
    const QString text = typed.simplified();
    if (text.isEmpty())
        return {};
    const QDateTime now = Clock::now();
    for (const auto& read : {dayWord, weekday, offsetFromNow})
        if (const std::optional<QDateTime> date = read(text, now))
            return {DueDateEntry::Kind::Date, *date, QString()};
    if (const std::optional<QDateTime> stored = parseStoredDate(text))
        return {DueDateEntry::Kind::Date, *stored, QString()};
    if (const std::optional<QDateTime> iso = isoDate(text))
        return {DueDateEntry::Kind::Date, *iso, QString()};
    if (const std::optional<QDateTime> local = inLocaleFormats(text))
        return {DueDateEntry::Kind::Date, *local, QString()};
    return refused(text, now);
}

} // namespace tardigo
