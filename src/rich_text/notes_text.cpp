#include "rich_text/notes_text.h"

#include "model/core_log.h"
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

std::optional<NotesTextStart> notesTextStart(const QByteArray& notes, qsizetype limit) {
    const bool plainRtf = notes.startsWith("{\\rtf");
    const RtfdReadResult container = plainRtf ? RtfdReadResult{} : readRtfdText(notes);
    if (!container.ok())
        return std::nullopt;
    const RtfReadResult read = readRtf(plainRtf ? notes : container.rtf, limit);
    if (!read.ok())
        return std::nullopt;
    return NotesTextStart{read.text.readableText().left(limit), !read.cutShort};
}

QString notesFirstLine(const QByteArray& notes, qsizetype limit) {
    // Notes seldom start with blank lines: the first read is short, and each further one longer.
    for (qsizetype read = std::max<qsizetype>(limit, 256);; read *= 16) {
        const std::optional<NotesTextStart> start = notesTextStart(notes, read);
        if (!start)
            return QString();
        const QList<QStringView> lines = QStringView(start->text).split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QStringView line = lines[i].trimmed();
            if (line.isEmpty())
                continue;
            // The last line read may go on beyond what was read.
            const bool complete = i + 1 < lines.size() || start->whole;
            if (complete || line.size() >= limit)
                return line.left(limit).trimmed().toString();
            break;
        }
        if (start->whole)
            return QString();
    }
}

bool notesHaveText(const QByteArray& notes) {
    return !notesFirstLine(notes, 1).isEmpty();
}

QByteArray encodeNotes(const RichText& text) {
    std::vector<RtfdFile> files{{kRtfdTextFileName, writeRtf(text.runs)}};
    for (const auto& [name, contents] : text.attachments)
        files.push_back({name, contents});
    return writeRtfdContainer(files);
}

} // namespace tardigo
