#include "rich_text/rich_text.h"

namespace tardigo {

bool TextRun::sameAttributes(const TextRun& other) const {
    return fontFamily == other.fontFamily && fontSize == other.fontSize && bold == other.bold &&
           italic == other.italic && underline == other.underline && strike == other.strike &&
           color == other.color && alignment == other.alignment && attachmentName == other.attachmentName &&
           attachmentWidth == other.attachmentWidth && attachmentHeight == other.attachmentHeight;
}

RichText RichText::fromRuns(std::vector<TextRun> runs) {
    RichText result;
    for (TextRun& run : runs) {
        if (run.text.isEmpty())
            continue;
        result.plainText += run.text;
        // Attachments stay one run each, even next to an equal one.
        if (!result.runs.empty() && !run.isAttachment() && result.runs.back().sameAttributes(run))
            result.runs.back().text += run.text;
        else
            result.runs.push_back(std::move(run));
    }
    return result;
}

QString RichText::readableText() const {
    QString text;
    text.reserve(plainText.size());
    for (QChar c : plainText) {
        if (c == kAttachmentCharacter)
            continue;
        text += (c == u'\u2028' || c == u'\u2029') ? QChar(u'\n') : c;
    }
    return text;
}

} // namespace tardigo
