#include "rich_text/notes_text.h"

#include "rich_text/rich_text_log.h"
#include "rich_text/rtf_reader.h"
#include "rich_text/rtf_writer.h"
#include "rich_text/rtfd_container.h"

namespace tardigo {

namespace {

std::optional<RichText> decodeRtf(const QByteArray& rtf) {
    RtfReadResult read = readRtf(rtf);
    if (!read.ok()) {
        qCDebug(lcRichText) << "Notes do not decode:" << read.error;
        return std::nullopt;
    }
    return std::move(read.text);
}

} // namespace

std::optional<RichText> decodeNotes(const QByteArray& notes) {
    if (notes.startsWith("{\\rtf"))
        return decodeRtf(notes);
    RtfdReadResult container = readRtfdContainer(notes);
    if (!container.ok()) {
        qCDebug(lcRichText) << "Notes do not decode:" << container.error;
        return std::nullopt;
    }
    std::optional<RichText> text = decodeRtf(container.rtf);
    if (text) {
        for (RtfdFile& file : container.attachments)
            text->attachments.emplace_back(std::move(file.name), std::move(file.contents));
    }
    return text;
}

std::optional<QString> notesPlainText(const QByteArray& notes) {
    const std::optional<RichText> text = decodeNotes(notes);
    if (!text)
        return std::nullopt;
    return text->readableText();
}

QByteArray encodeNotes(const RichText& text) {
    std::vector<RtfdFile> files{{kRtfdTextFileName, writeRtf(text.runs)}};
    for (const auto& [name, contents] : text.attachments)
        files.push_back({name, contents});
    return writeRtfdContainer(files);
}

} // namespace tardigo
