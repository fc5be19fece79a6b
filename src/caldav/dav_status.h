#pragma once

#include "caldav/dav_error.h"

#include <QByteArrayView>
#include <QUrl>

namespace tardigo {

/// The start of a server's text, its whitespace folded, so that a message quotes little of it.
QString serverExcerpt(QByteArrayView text);
/// A size as messages give it (bytes, KB or MB).
QString byteSizeText(qint64 bytes);
/// The failure a status outside 2xx stands for, with a sentence naming the server, what was asked
/// and what it answered (its body, of that content type, as errorPageText reduces it); a refused
/// password names the user.
DavError errorForStatus(const QByteArray& method, const QUrl& url, int status, const QString& reason,
                        QByteArrayView contentType, QByteArrayView body, const QString& user);

} // namespace tardigo
