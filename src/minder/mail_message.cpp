#include "minder/mail_message.h"

#include <QList>

namespace tardigo {

namespace {
// Lines of a message may not exceed 998 bytes; a header kept under this stays on one line.
constexpr qsizetype kMaxPlainHeaderChars = 900;
constexpr qsizetype kMaxLineBytes = 998;
// An encoded word is at most 75 characters: "=?UTF-8?B?" + 60 characters of base64 (45 bytes) + "?=".
constexpr qsizetype kMaxEncodedWordBytes = 45;
constexpr qsizetype kMaxQuotedPrintableLine = 76;

bool isLineBreak(char32_t c) {
    return c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// A line break inside a header value would start a header of its own.
QString singleLine(const QString& text) {
    QString line;
    line.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (isLineBreak(c))
            line.append(u' ');
        else
            line.append(QString::fromUcs4(&c, 1));
    }
    return line;
}

// Printable ASCII that no mail reader would take for an encoded word.
bool isPlainHeaderText(const QString& text) {
    if (text.size() > kMaxPlainHeaderChars || text.contains(QLatin1String("=?")))
        return false;
    for (const QChar c : text)
        if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() >= 0x7f)
            return false;
    return true;
}

// Whole characters only, so that each word decodes on its own; the words go on folded lines.
QByteArray encodedWords(const QString& text) {
    QByteArrayList words;
    QByteArray chunk;
    const auto flush = [&] {
        if (!chunk.isEmpty())
            words.append("=?UTF-8?B?" + chunk.toBase64() + "?=");
        chunk.clear();
    };
    for (const char32_t c : text.toUcs4()) {
        const QByteArray bytes = QString::fromUcs4(&c, 1).toUtf8();
        if (chunk.size() + bytes.size() > kMaxEncodedWordBytes)
            flush();
        chunk.append(bytes);
    }
    flush();
    return words.join("\n ");
}

QByteArray headerValue(const QString& text) {
    const QString line = singleLine(text);
    return isPlainHeaderText(line) ? line.toLatin1() : encodedWords(line);
}

QString unixLineEnds(const QString& text) {
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

bool hasOverlongLine(const QByteArray& text) {
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        if (end - start > kMaxLineBytes)
            return true;
        start = end + 1;
    }
    return false;
}

QByteArray quotedPrintable(const QByteArray& text) {
    QByteArray out;
    qsizetype lineLength = 0;
    const auto put = [&](const QByteArray& piece) {
        if (lineLength + piece.size() > kMaxQuotedPrintableLine - 1) {
            out.append("=\n");
            lineLength = 0;
        }
        out.append(piece);
        lineLength += piece.size();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = uchar(text[i]);
        const bool lineEnd = i + 1 == text.size() || text[i + 1] == '\n';
        if (byte == '\n') {
            out.append('\n');
            lineLength = 0;
        } else if ((byte >= 33 && byte <= 126 && byte != '=') ||
                   ((byte == ' ' || byte == '\t') && !lineEnd)) {
            put(QByteArray(1, char(byte)));
        } else {
            put('=' + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0'));
        }
    }
    return out;
}
} // namespace

QByteArray mailMessageBytes(const MailMessage& message) {
    const QByteArray body = unixLineEnds(message.body).toUtf8();
    const bool quoted = hasOverlongLine(body);
    QByteArray bytes;
    // The address is the user's own setting: it only loses its line breaks, since an address
    // cannot be an encoded word.
    bytes += "To: " + singleLine(message.to).toUtf8() + '\n';
    bytes += "Subject: " + headerValue(message.subject) + '\n';
    bytes += "X-Mailer: " + headerValue(message.mailer) + '\n';
    bytes += "MIME-Version: 1.0\n";
    bytes += "Content-Type: text/plain; charset=UTF-8\n";
    bytes += QByteArray("Content-Transfer-Encoding: ") + (quoted ? "quoted-printable" : "8bit") + '\n';
    bytes += '\n';
    bytes += quoted ? quotedPrintable(body) : body;
    return bytes;
}

} // namespace tardigo
