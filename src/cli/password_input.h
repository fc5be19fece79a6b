#pragma once

#include <QString>

#include <optional>

namespace tardigo::cli {

/// Reads a password: the first line of standard input with `fromStdin`, else typed at the terminal
/// without echo after the prompt. Nothing, with why, when there is none or no terminal to ask at.
std::optional<QString> readPassword(bool fromStdin, const QString& prompt, QString* error);

} // namespace tardigo::cli
