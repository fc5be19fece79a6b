#include "minder/notice_text.h"

#include "platform/untrusted_text.h"

namespace tardigo {

namespace {

bool isLineBreak(char16_t c) {
    return c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isControl(char16_t c) {
    return isControlCharacter(c) || c == 0x2028 || c == 0x2029;
}

QString cleaned(const QString& text, bool keepLines) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (isBidiControl(c))
            continue;
        if (keepLines && c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue; // one break, not two
        if (keepLines && (c == u'\t' || isLineBreak(c)))
            shown += c == u'\t' ? u'\t' : u'\n';
        else
            shown += isControl(c) ? u' ' : c;
    }
    return shown;
}

} // namespace

QString noticeLine(const QString& text) {
    return cleaned(text, false);
}

QString noticeParagraphs(const QString& text) {
    return cleaned(text, true);
}

} // namespace tardigo
