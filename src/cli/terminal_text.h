#pragma once

#include <QString>

namespace tardigo::cli {

/// The text with every control character (C0, DEL and C1) written as an escape such as \n or \x1b,
/// so that what a list holds can neither forge lines nor drive the terminal it is printed to.
QString terminalSafe(const QString& text);

} // namespace tardigo::cli
