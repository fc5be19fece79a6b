#include "platform/untrusted_text.h"

#include <algorithm>

namespace tardigo {

bool isControlCharacter(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool isBidiControl(char16_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

namespace {
bool needsEscape(QChar c) {
    return isControlCharacter(c.unicode()) || isBidiControl(c.unicode());
}
} // namespace

QString terminalSafe(const QString& text) {
    if (std::none_of(text.cbegin(), text.cend(), needsEscape))
        return text;
    QString safe;
    safe.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\n':
            safe += QLatin1String("\\n");
            break;
        case u'\r':
            safe += QLatin1String("\\r");
            break;
        case u'\t':
            safe += QLatin1String("\\t");
            break;
        default:
            if (isControlCharacter(c.unicode()))
                safe += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else if (isBidiControl(c.unicode()))
                safe += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                safe += c;
        }
    }
    return safe;
}

QByteArray terminalSafeJson(const QByteArray& json) {
    // Each such character is two or three UTF-8 bytes led by 0xC2 or 0xE2: a scan for those leaves
    // the usual JSON untouched and uncopied.
    const auto mayLead = [](char byte) { return byte == '\xC2' || byte == '\xE2'; };
    if (std::none_of(json.cbegin(), json.cend(), mayLead))
        return json;
    QByteArray safe;
    safe.reserve(json.size() + 16);
    for (qsizetype i = 0; i < json.size(); ++i) {
        const uchar lead = uchar(json[i]);
        char16_t c = 0;
        qsizetype length = 1;
        if (lead == 0xC2 && i + 1 < json.size()) {
            c = char16_t(((lead & 0x1F) << 6) | (uchar(json[i + 1]) & 0x3F));
            length = 2;
        } else if (lead == 0xE2 && i + 2 < json.size()) {
            c = char16_t(((lead & 0x0F) << 12) | ((uchar(json[i + 1]) & 0x3F) << 6) |
                         (uchar(json[i + 2]) & 0x3F));
            length = 3;
        }
        if (length > 1 && (isControlCharacter(c) || isBidiControl(c))) {
            safe += "\\u" + QByteArray::number(uint(c), 16).rightJustified(4, '0');
            i += length - 1;
        } else {
            safe += json[i];
        }
    }
    return safe;
}

} // namespace tardigo
