#include "cli_args.h"

#include "cli_output.h"

namespace tardigo::cli {

std::optional<CliArgs> CliArgs::parse(const QStringList& args, const QStringList& valueOptions,
                                      const QStringList& flagOptions, QString* error) {
    CliArgs parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--")) {
            parsed.positional += args.mid(i + 1);
            break;
        }
        if (!a.startsWith(QLatin1String("--")) || a.size() == 2) {
            parsed.positional << a;
        } else if (valueOptions.contains(a)) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("the option %1 needs a value.").arg(a);
                return std::nullopt;
            }
            parsed.options[a] = args[++i];
        } else if (flagOptions.contains(a)) {
            parsed.flags << a;
        } else {
            *error = QStringLiteral("unknown option %1.").arg(a);
            return std::nullopt;
        }
    }
    return parsed;
}

std::optional<CliArgs> argsFor(const QStringList& args, PositionalCount count, const QString& synopsis,
                               const QStringList& valueOptions, const QStringList& flags) {
    QString error;
    std::optional<CliArgs> parsed = CliArgs::parse(args, valueOptions, flags, &error);
    if (!parsed)
        err() << "tardigo-cli: " << error << Qt::endl;
    else if (parsed->positional.size() < count.least || parsed->positional.size() > count.most)
        parsed.reset();
    if (!parsed)
        usage(synopsis);
    return parsed;
}

bool refusesOutput(const QString& out, OutputKind kind, const QStringList& inputs, const CliArgs& parsed) {
    const OutputCheck check = checkOutput(out, kind, inputs);
    if (check.allows(parsed.flags.contains(QLatin1String("--force"))))
        return false;
    fail(check.reason);
    return true;
}

} // namespace tardigo::cli
