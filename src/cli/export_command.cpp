#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"

#include "archive/list_file.h"
#include "exchange/plist_export.h"

namespace tardigo::cli {

int commandExport(const QStringList& args) {
    const auto parsed =
        argsFor(args, 2, QStringLiteral("export FILE OUT.plist [--force]"), {}, {QStringLiteral("--force")});
    if (!parsed)
        return Usage;
    const QString &list = parsed->positional[0], &out = parsed->positional[1];
    if (refusesOutput(out, OutputKind::Other, {list}, *parsed))
        return Failure;
    const ListLoad load = readListFile(list);
    if (!load.ok())
        return fail(load.error);
    const QString error = exportPropertyListFile(*load.root, out);
    return error.isEmpty() ? Success : fail(error);
}

} // namespace tardigo::cli
