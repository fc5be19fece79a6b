#include "terminal_text.h"

#include <algorithm>

namespace tardigo::cli {

namespace {
bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

/// LRE, RLE, PDF, LRO, RLO and LRI, RLI, FSI, PDI: they reorder what follows them on the line.
bool isBidiControl(char16_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool needsEscape(QChar c) {
    return isControl(c.unicode()) || isBidiControl(c.unicode());
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
            if (isControl(c.unicode()))
                safe += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else if (isBidiControl(c.unicode()))
                safe += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                safe += c;
        }
    }
    return safe;
}

} // namespace tardigo::cli
