#pragma once

#include <QMap>
#include <QStringList>

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

/// Parses a command's arguments, requiring `count` positional ones; on a mistake prints why and the
/// command's usage line, and answers nothing.
std::optional<CliArgs> argsFor(const QStringList& args, qsizetype count, const QString& synopsis,
                               const QStringList& valueOptions = {}, const QStringList& flags = {});
/// YES, after saying so, when path exists and the command was not given --force.
bool refusesToReplace(const QString& path, const CliArgs& parsed);
/// YES, after saying so, when `out` is the file `input` names, under any spelling or link (even with
/// --force), or when it exists and the command was not given --force.
bool refusesToWriteOver(const QString& out, const QString& input, const CliArgs& parsed);

} // namespace tardigo::cli
