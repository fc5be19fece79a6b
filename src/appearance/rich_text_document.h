#pragma once

#include "rich_text/rich_text.h"

#include <QTextCharFormat>

#include <memory>

class QColor;
class QTextDocument;

namespace tardigo {

/// A text document showing the rich text: its runs with their fonts, colours and links, its
/// paragraphs' alignment and lists, and its attachments: pictures as pictures, other files as a card
/// with their name. Every attachment's file is kept in the document as it came.
std::unique_ptr<QTextDocument> toTextDocument(const RichText& text);
/// The rich text of a document, as the notes store it: text in the sizes and fonts it is shown in,
/// the attachments it came with unchanged, and pictures added since as PNG files.
RichText fromTextDocument(const QTextDocument& document);
/// Shows the document's coloured text and links readable over the background (`readableOn`);
/// fromTextDocument still gives each run the colour it came with, unless the user recoloured it.
void showReadableOn(QTextDocument& document, const QColor& background);
/// The format of text of the colour as showReadableOn shows it over the background: readable there,
/// and stored in the colour given.
QTextCharFormat readableColorFormat(const QColor& stored, const QColor& background);

} // namespace tardigo
