#pragma once

#include <QString>

namespace tardigo::cli {

/// The text with every control character (C0, DEL and C1) written as an escape such as \n or \x1b,
/// and every bidirectional embedding, override and isolate as one such as \u202e, so that what a
/// list holds can neither forge lines, nor drive the terminal it is printed to, nor show itself
/// reversed. Joiners and the other format characters of real text stay as they are.
QString terminalSafe(const QString& text);

} // namespace tardigo::cli
