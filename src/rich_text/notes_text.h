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

/// Flat RTFD holding the text as RTF and its attachments, for storing under "notes".
QByteArray encodeNotes(const RichText& text);

} // namespace tardigo
