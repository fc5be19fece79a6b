#pragma once

#include <QByteArrayView>
#include <QString>

namespace tardigo {

/// What the body of a server's error answer says, as short plain text for a message: a text body
/// excerpted; an HTML page reduced to its first block of text that says more than the status line
/// (`status`, `reason`); an XML body to its text. Markup and character references never reach the
/// message. Empty when the body says nothing more.
QString errorPageText(QByteArrayView contentType, QByteArrayView body, int status, const QString& reason);

} // namespace tardigo
