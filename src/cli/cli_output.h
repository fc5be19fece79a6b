#pragma once

#include <QString>
#include <QTextStream>

namespace tardigo::cli {

/// Exit codes of tardigo-cli.
enum Exit : int { Success = 0, Failure = 1, Usage = 2, LegacyList = 3 };

QTextStream& out();
QTextStream& err();
/// Prints the message on stderr and answers Failure.
int fail(const QString& message);
/// Prints the usage line of a command on stderr and answers Usage.
int usage(const QString& line);

} // namespace tardigo::cli
