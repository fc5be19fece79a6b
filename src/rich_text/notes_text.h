#pragma once

#include "rich_text/rich_text.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tardigo {

/// The rich text of an item's "notes": flat RTFD, or plain RTF as a user may paste it. Nothing when
/// the data does not decode.
std::optional<RichText> decodeNotes(const QByteArray& notes);

/// The notes' characters without formatting or attachments; nothing when the data does not decode.
std::optional<QString> notesPlainText(const QByteArray& notes);

/// The start of the notes' readable text, read without decoding the rest: what a preview, a sort
/// key or a test for text needs of notes that may be megabytes long.
struct NotesTextStart {
    QString text; // at most the characters asked for, attachments left out
    bool whole;   // the text ends here
};
/// At most `limit` characters (0 or more) of the notes' readable text; nothing when the data does not
/// decode.
std::optional<NotesTextStart> notesTextStart(const QByteArray& notes, qsizetype limit);

/// The first line of the notes that holds more than white space, trimmed and cut to `limit`
/// characters; empty when there is none or the data does not decode.
QString notesFirstLine(const QByteArray& notes, qsizetype limit);

/// Whether the notes' text holds anything but white space and line breaks.
bool notesHaveText(const QByteArray& notes);

/// Flat RTFD holding the text as RTF and its attachments, for storing under "notes".
QByteArray encodeNotes(const RichText& text);

} // namespace tardigo
