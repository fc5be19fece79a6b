#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"

#include "archive/list_file.h"

namespace tardigo::cli {

int commandImport(const QStringList& args) {
    const auto parsed = argsFor(args, 2, QStringLiteral("import OLD NEW [--force]"), {}, {QStringLiteral("--force")});
    if (!parsed)
        return Usage;
    const QString& target = parsed->positional[1];
    if (refusesToReplace(target, *parsed))
        return Failure;
    const ListLoad load = importLegacyListFile(parsed->positional[0]);
    if (!load.ok())
        return fail(load.error);
    const QString error = writeListFile(target, load.root);
    return error.isEmpty() ? Success : fail(error);
}

} // namespace tardigo::cli
