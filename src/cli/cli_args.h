#pragma once

#include "archive/output_guard.h"

#include <QMap>
#include <QStringList>

#include <limits>
#include <optional>

namespace tardigo::cli {

/// A command's arguments split into positional ones, options with a value and bare flags.
struct CliArgs {
    QStringList positional;
    QMap<QString, QString> options;
    QStringList flags;

    /// Parses args; options named in valueOptions take the next argument. Nothing on an unknown
    /// option or a missing value (the error says which).
    static std::optional<CliArgs> parse(const QStringList& args, const QStringList& valueOptions,
                                        const QStringList& flagOptions, QString* error);
};

/// How many positional arguments a command takes: a number, or at least `least` and at most `most`.
struct PositionalCount {
    PositionalCount(qsizetype exactly) : least(exactly), most(exactly) {} // implicit: a number is exact
    PositionalCount(qsizetype atLeast, qsizetype atMost) : least(atLeast), most(atMost) {}
    qsizetype least;
    qsizetype most;
};
/// Any number of lists after the fixed arguments.
constexpr qsizetype kUnbounded = std::numeric_limits<qsizetype>::max();

/// Parses a command's arguments, requiring `count` positional ones; on a mistake prints why and the
/// command's usage line, and answers nothing.
std::optional<CliArgs> argsFor(const QStringList& args, PositionalCount count, const QString& synopsis,
                               const QStringList& valueOptions = {}, const QStringList& flags = {});
/// True, after saying why, when the command may not write `out` (see checkOutput): it is a file the
/// command reads, a folder, a list while the output is not one, or a file that exists while the
/// command was not given --force.
bool refusesOutput(const QString& out, OutputKind kind, const QStringList& inputs, const CliArgs& parsed);

} // namespace tardigo::cli
