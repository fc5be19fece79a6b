#pragma once

#include <QByteArray>
#include <QString>

namespace tardigo {

// Text from outside (a list someone sent, a calendar, a server, the command line) may hold characters
// that forge lines, drive a terminal or turn the text around them; these name and defuse them.

/// C0, DEL and C1: they move the cursor, ring, or start a terminal's escape sequences.
bool isControlCharacter(char16_t c);
/// The embeddings and overrides (LRE to RLO) and isolates (LRI to PDI): they reorder what follows
/// them. The plain marks (LRM, RLM, ALM) only settle neutral characters next to them, and joiners and
/// the other format characters belong to real text.
bool isBidiControl(char16_t c);

/// The text with every control character written as an escape such as \n or \x1b, and every
/// bidirectional control as one such as \u202e, so that what a list holds can neither forge lines,
/// nor drive the terminal it is printed to, nor show itself reversed.
QString terminalSafe(const QString& text);
/// JSON text (UTF-8) with the C1 controls and bidirectional controls inside its strings written as
/// \u escapes, which JSON readers take back as the same characters: a JSON writer escapes only C0.
QByteArray terminalSafeJson(const QByteArray& json);

} // namespace tardigo
