#include "rich_text/rich_text.h"

#include "rich_text/rtf_lists.h"

namespace tardigo {

bool TextRun::sameAttributes(const TextRun& other) const {
    return fontFamily == other.fontFamily && fontSize == other.fontSize && bold == other.bold &&
           italic == other.italic && underline == other.underline && strike == other.strike &&
           color == other.color && sameParagraph(other) && link == other.link &&
           attachmentName == other.attachmentName && attachmentWidth == other.attachmentWidth &&
           attachmentHeight == other.attachmentHeight;
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
    ListNumbering numbering;
    bool paragraphStart = true;
    for (const TextRun& run : runs) {
        for (QChar c : run.text) {
            // A list's items start with their markers, as the platform's own plain text has them.
            if (paragraphStart && run.list.inList())
                text += u'\t' + numbering.nextMarker(run.list) + u'\t';
            paragraphStart = c == u'\n';
            if (c == kAttachmentCharacter)
                continue;
            text += (c == u'\u2028' || c == u'\u2029') ? QChar(u'\n') : c;
        }
    }
    return text;
}

} // namespace tardigo
