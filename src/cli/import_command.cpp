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
    const ListLoad load = importLegacyListFile(parsed->positional[0]);
    if (!load.ok())
        return fail(load.error);
    return writeNewList(parsed->positional[1], load.root, *parsed);
}

} // namespace tardigo::cli
