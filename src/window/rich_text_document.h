#pragma once

#include "rich_text/rich_text.h"

#include <memory>

class QTextCursor;
class QTextDocument;

namespace tardigo {

/// A text document showing the rich text: its runs with their fonts, colours and alignment, and
/// attachments that are images as images.
std::unique_ptr<QTextDocument> toTextDocument(const RichText& text);
/// Inserts the rich text at the cursor as toTextDocument shows it; its images become resources of the
/// cursor's document under their attachment names.
void insertRichText(QTextCursor& cursor, const RichText& text);
/// The rich text of a document, as the notes store it; images come back as their attachments.
RichText fromTextDocument(const QTextDocument& document);

} // namespace tardigo
