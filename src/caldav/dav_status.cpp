#include "caldav/dav_status.h"

#include "caldav/error_page.h"
#include "caldav/server_access.h"

namespace tardigo {

namespace {

constexpr qsizetype kExcerptLength = 160;

/// What the server said: its reason phrase and the start of its text, quoted.
QString answerText(int status, const QString& reason, QByteArrayView contentType, QByteArrayView body) {
    QString text = QString::number(status);
    const QString phrase = serverExcerpt(reason.toUtf8());
    if (!phrase.isEmpty())
        text += u' ' + phrase;
    if (const QString said = errorPageText(contentType, body, status, phrase); !said.isEmpty())
        text += QStringLiteral(": “%1”").arg(said);
    return text;
}

} // namespace

QString serverExcerpt(QByteArrayView text) {
    // Reading a little past the excerpt's length tells whether there is more.
    const QString start =
        QString::fromUtf8(text.first(std::min(text.size(), kExcerptLength * 4))).simplified();
    return start.size() > kExcerptLength ? start.left(kExcerptLength) + u'…' : start;
}

QString byteSizeText(qint64 bytes) {
    constexpr qint64 kKilo = 1024, kMega = kKilo * kKilo;
    if (bytes >= kMega)
        return QStringLiteral("%1 MB").arg(bytes / kMega);
    if (bytes >= kKilo)
        return QStringLiteral("%1 KB").arg(bytes / kKilo);
    return QStringLiteral("%1 bytes").arg(bytes);
}

DavError errorForStatus(const QByteArray& method, const QUrl& url, int status, const QString& reason,
                        QByteArrayView contentType, QByteArrayView body, const QString& user) {
    const QString server = serverName(url), path = url.path(),
                  answer = answerText(status, reason, contentType, body);
    switch (status) {
    case 401:
        return {DavFailure::Unauthorized,
                QStringLiteral("The server at %1 did not accept the user name “%2” with this password (%3). "
                               "Check both and try again.")
                    .arg(server, user, answer)};
    case 403:
        return {DavFailure::Forbidden, QStringLiteral("The server at %1 does not let “%2” %3 %4 (%5).")
                                           .arg(server, user, QString::fromLatin1(method), path, answer)};
    case 404:
    case 410:
        return {DavFailure::NotFound,
                QStringLiteral("The server at %1 has nothing at %2 (%3).").arg(server, path, answer)};
    case 412:
        return {DavFailure::PreconditionFailed,
                QStringLiteral("%1 on the server at %2 changed meanwhile (%3).").arg(path, server, answer)};
    default:
        return {DavFailure::Server, QStringLiteral("The server at %1 answered %2 %3 with %4.")
                                        .arg(server, QString::fromLatin1(method), path, answer)};
    }
}

} // namespace tardigo
