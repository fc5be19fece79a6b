#include "dates/due_date_format.h"

#include "dates/user_date_time_format.h"

#include <QLocale>
#include <QRegularExpression>

namespace tardigo {

QString formatWithoutSeconds(const QString& format) {
    static const QRegularExpression seconds(QStringLiteral("[:.]ss?(\\.z+)?"));
    return QString(format).remove(seconds);
}

QString dueDateFormatWithoutSeconds() {
    return formatWithoutSeconds(userDateTimeFormat());
}

QString dueDateFormatWithSeconds() {
    const QString format = userDateTimeFormat();
    if (format.contains(u's'))
        return format;
    QString withSeconds = format;
    const qsizetype minutes = format.indexOf(QLatin1String("mm"));
    return minutes < 0 ? format : withSeconds.insert(minutes + 2, QLatin1String(":ss"));
}

QString formatDueDate(const QDateTime& due) {
    const QDateTime local = due.toLocalTime();
    const bool seconds = local.time().second() != 0;
    return QLocale().toString(local, seconds ? userDateTimeFormat() : dueDateFormatWithoutSeconds());
}

} // namespace tardigo
