#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"

#include "archive/generic_archive.h"
#include "exchange/archive_json.h"
#include "platform/atomic_file.h"

#include <QFileInfo>

namespace tardigo::cli {

int commandArchive(const QStringList& args) {
    const auto parsed = argsFor(args, 1, QStringLiteral("archive FILE [--rewrite OUT [--force]]"),
                                {QStringLiteral("--rewrite")}, {QStringLiteral("--force")});
    if (!parsed)
        return Usage;
    QString error;
    const QString path = parsed->positional[0];
    const QString rewrite = parsed->options.value(QStringLiteral("--rewrite"));
    if (!rewrite.isEmpty() && refusesOutput(rewrite, OutputKind::List, {path}, *parsed))
        return Failure;
    const std::optional<QByteArray> bytes = readWholeFile(path, &error);
    if (!bytes)
        return fail(error);
    const GenericArchiveReadResult read = readGenericArchive(*bytes);
    if (!read.ok())
        return fail(QStringLiteral("“%1” is not a typed-stream archive, or it is damaged: %2.")
                        .arg(QFileInfo(path).fileName(), read.error));
    ArchiveJson json(read.archive);
    if (!json.refusal().isEmpty())
        return fail(QStringLiteral("“%1” is not printed: %2.").arg(path, json.refusal()));
    if (const int printed = printStreamed([&](QIODevice& device) { return json.write(true, device); });
        printed != Success)
        return printed;
    if (!rewrite.isEmpty()) {
        error = writeFileAtomically(rewrite, writeGenericArchive(read.archive));
        if (!error.isEmpty())
            return fail(error);
    }
    return Success;
}

} // namespace tardigo::cli
