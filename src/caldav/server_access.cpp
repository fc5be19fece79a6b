#include "caldav/server_access.h"

#include <QHostAddress>

namespace tardigo {

bool isLoopbackHost(const QString& host) {
    const QHostAddress address(host);
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           (!address.isNull() && address.isLoopback());
}

QString refusedServerUrl(const QUrl& url, bool allowHttp) {
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return QStringLiteral("“%1” is no server address; give one such as https://example.com/.")
            .arg(url.toString(QUrl::RemoveUserInfo));
    if (scheme == QLatin1String("http") && !allowHttp && !isLoopbackHost(url.host()))
        return QStringLiteral("%1 would carry the password unencrypted; use https, or allow plain http "
                              "for this account.")
            .arg(serverName(url));
    return {};
}

QString serverName(const QUrl& url) {
    return url.toString(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

} // namespace tardigo
