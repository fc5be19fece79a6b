#include "sync/sync_store.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace tardigo {

QString entryNameForUid(const QString& uid) {
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9@._-]{0,200}$"));
    if (safe.match(uid).hasMatch())
        return uid + QStringLiteral(".ics");
    return QString::fromLatin1(QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".ics");
}

bool isServerLocation(const QString& location) {
    return location.startsWith(QLatin1String("https://")) || location.startsWith(QLatin1String("http://"));
}

} // namespace tardigo
