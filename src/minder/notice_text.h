#pragma once

#include <QString>

namespace tardigo {

// What a list holds may come from anywhere (a list someone sent, an imported calendar, a server):
// a notice shows it as plain text in every channel, and these keep it from forging lines or
// turning the text around it.

/// A name or a category as a notice shows it: on one line, each control character a space, and
/// without the bidi controls that embed, override or isolate.
QString noticeLine(const QString& text);
/// Notes as a notice quotes them: their lines and tabs kept, every other control character a space,
/// and without those bidi controls.
QString noticeParagraphs(const QString& text);

} // namespace tardigo
