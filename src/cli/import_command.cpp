#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"
#include "list_update.h"

#include "archive/list_file.h"

namespace tardigo::cli {

int commandImport(const QStringList& args) {
    const auto parsed =
        argsFor(args, 2, QStringLiteral("import OLD NEW [--force]"), {}, {QStringLiteral("--force")});
    if (!parsed)
        return Usage;
    const QString &old = parsed->positional[0], &converted = parsed->positional[1];
    // Refused before the old list is read; the write checks again under the new list's lock.
    if (refusesOutput(converted, OutputKind::List, {old}, *parsed))
        return Failure;
    const ListLoad load = importLegacyListFile(old);
    if (!load.ok())
        return fail(load.error);
    return writeNewList(converted, load.root, {old}, *parsed);
}

} // namespace tardigo::cli
