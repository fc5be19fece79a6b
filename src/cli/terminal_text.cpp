#include "terminal_text.h"

#include <algorithm>

namespace tardigo::cli {

namespace {
bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}
} // namespace

QString terminalSafe(const QString& text) {
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return isControl(c.unicode()); }))
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
            else
                safe += c;
        }
    }
    return safe;
}

} // namespace tardigo::cli
