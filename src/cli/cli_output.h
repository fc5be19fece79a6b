#pragma once

#include <QString>
#include <QTextStream>

#include <functional>

namespace tardigo::cli {

/// Exit codes of tardigo-cli.
enum Exit : int { Success = 0, Failure = 1, Usage = 2, LegacyList = 3 };

QTextStream& out();
/// Prints text too large to hold as a whole, which `write` passes on to the device as it goes,
/// then a newline, after what out() holds. Answers Success, or Failure with the reason.
int printStreamed(const std::function<bool(QIODevice&)>& write);
QTextStream& err();
/// Prints the message on stderr and answers Failure.
int fail(const QString& message);
/// Prints the usage line of a command on stderr and answers Usage.
int usage(const QString& line);

} // namespace tardigo::cli
