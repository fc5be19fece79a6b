#include "dates/due_date_entry.h"

#include "dates/due_date_format.h"
#include "dates/user_date_time_format.h"
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

/// "today", "tomorrow", "yesterday".
std::optional<QDate> dayWord(const QString& text, const QDate& today) {
    const struct {
        const char* word;
        int days;
    } words[] = {{QT_TRANSLATE_NOOP("DueDateEntry", "today"), 0},
                 {QT_TRANSLATE_NOOP("DueDateEntry", "tomorrow"), 1},
                 {QT_TRANSLATE_NOOP("DueDateEntry", "yesterday"), -1}};
    for (const auto& [word, days] : words)
        if (isWord(text, word))
            return today.addDays(days);
    return std::nullopt;
}

/// The next such weekday after today, in the locale's language or in English, long or short.
std::optional<QDate> weekday(const QString& text, const QDate& today) {
    for (int day = 1; day <= 7; ++day) {
        for (const QLocale& locale : {QLocale(), QLocale::c()}) {
            if (text.compare(locale.dayName(day, QLocale::LongFormat), Qt::CaseInsensitive) != 0 &&
                text.compare(locale.dayName(day, QLocale::ShortFormat), Qt::CaseInsensitive) != 0)
                continue;
            return today.addDays((day - today.dayOfWeek() + 6) % 7 + 1);
        }
    }
    return std::nullopt;
}

/// "+3d", "+ 2 weeks", "in 2 weeks": a count and its unit.
struct Offset {
    int count = 0;
    QString unit;
};

std::optional<Offset> offset(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(?:\\+\\s*|in\\s+)(\\d{1,4})\\s*([a-z]+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return Offset{match.captured(1).toInt(), match.captured(2).toLower()};
}

bool isUnit(const QString& unit, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* name) { return unit == QLatin1String(name); });
}

/// That many days, weeks, months or years after today.
std::optional<QDate> daysAhead(const QString& text, const QDate& today) {
    const std::optional<Offset> ahead = offset(text);
    if (!ahead)
        return std::nullopt;
    const auto& [n, unit] = *ahead;
    if (isUnit(unit, {"d", "day", "days"}))
        return today.addDays(n);
    if (isUnit(unit, {"w", "wk", "wks", "week", "weeks"}))
        return today.addDays(qint64(n) * 7);
    if (isUnit(unit, {"mo", "month", "months"}))
        return today.addMonths(n);
    if (isUnit(unit, {"y", "yr", "yrs", "year", "years"}))
        return today.addYears(n);
    return std::nullopt;
}

/// A day named relative to today: a word, a weekday, or days to weeks ahead.
std::optional<QDate> relativeDay(const QString& text, const QDate& today) {
    for (const auto& read : {dayWord, weekday, daysAhead})
        if (const std::optional<QDate> day = read(text, today))
            return day;
    return std::nullopt;
}

/// "now", or that many minutes or hours from now; to the minute, as a due date is shown.
std::optional<QDateTime> momentFromNow(const QString& text, const QDateTime& now) {
    const QDateTime minute(now.date(), QTime(now.time().hour(), now.time().minute()));
    if (isWord(text, QT_TRANSLATE_NOOP("DueDateEntry", "now")))
        return minute;
    const std::optional<Offset> ahead = offset(text);
    if (!ahead)
        return std::nullopt;
    const auto& [n, unit] = *ahead;
    if (isUnit(unit, {"min", "mins", "minute", "minutes"}))
        return minute.addSecs(qint64(n) * 60);
    if (isUnit(unit, {"h", "hr", "hrs", "hour", "hours"}))
        return minute.addSecs(qint64(n) * 3600);
    return std::nullopt;
}

/// A time of day as people type it: the user's and the locale's forms, 24-hour or with AM and PM.
std::optional<QTime> timeOfDay(const QString& text) {
    const QLocale locale;
    const QStringList formats{userTimeFormat(),
                              formatWithoutSeconds(userTimeFormat()),
                              locale.timeFormat(QLocale::ShortFormat),
                              QStringLiteral("H:mm"),
                              QStringLiteral("H:mm:ss"),
                              QStringLiteral("h:mm AP"),
                              QStringLiteral("h:mmAP"),
                              QStringLiteral("h AP"),
                              QStringLiteral("hAP")};
    for (const QString& format : formats)
        for (const QLocale& in : {locale, QLocale::c()})
            if (const QTime time = in.toTime(text, format); time.isValid())
                return time;
    return std::nullopt;
}

/// A relative day followed by a time of day, with or without "at" between them: "tomorrow 10:00",
/// "friday 9:30 PM", "in 3 days at 14:00".
std::optional<QDateTime> relativeDayAtTime(const QString& text, const QDate& today) {
    const QStringList words = text.split(u' ');
    // The time is the last word, or the last two ("9:30 PM").
    for (qsizetype timeWords = 1; timeWords <= 2 && timeWords < words.size(); ++timeWords) {
        const std::optional<QTime> time = timeOfDay(words.mid(words.size() - timeWords).join(u' '));
        if (!time)
            continue;
        QStringList dayWords = words.mid(0, words.size() - timeWords);
        if (dayWords.size() > 1 && isWord(dayWords.last(), QT_TRANSLATE_NOOP("DueDateEntry", "at")))
            dayWords.removeLast();
        if (const std::optional<QDate> day = relativeDay(dayWords.join(u' '), today))
            return QDateTime(*day, *time);
    }
    return std::nullopt;
}

std::optional<QDateTime> isoDate(QString text) {
    // ISO 8601 as people type it: a space may stand for the "T".
    static const QRegularExpression spaced(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}) (\\d)"));
    text.replace(spaced, QStringLiteral("\\1T\\2"));
    // A date alone; QDate would read the date of a date-time too, and drop its time.
    if (const QDate date = QDate::fromString(text, Qt::ISODate); date.isValid() && !text.contains(u'T'))
        return QDateTime(date, endOfDueDay());
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
                return withCenturyFixed(QDateTime(date, endOfDueDay()), format);
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

QTime endOfDueDay() {
    return QTime(23, 59);
}

DueDateEntry readDueDateEntry(const QString& typed) {
    const QString text = typed.simplified();
    if (text.isEmpty())
        return {};
    const QDateTime now = Clock::now();
    if (const std::optional<QDate> day = relativeDay(text, now.date()))
        return {DueDateEntry::Kind::Date, QDateTime(*day, endOfDueDay()), QString()};
    if (const std::optional<QDateTime> moment = momentFromNow(text, now))
        return {DueDateEntry::Kind::Date, *moment, QString()};
    if (const std::optional<QDateTime> date = relativeDayAtTime(text, now.date()))
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
