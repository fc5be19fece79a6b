#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"

#include "storage/list_file.h"
#include "storage/plist_export.h"

namespace tardigo::cli {

int commandExport(const QStringList& args) {
    QString error;
    const auto parsed = CliArgs::parse(args, {}, {}, &error);
    if (!parsed || parsed->positional.size() != 2) {
        if (!error.isEmpty())
            err() << "tardigo-cli: " << error << Qt::endl;
        return usage(QStringLiteral("export FILE OUT.plist"));
    }
    const ListLoad load = readListFile(parsed->positional[0]);
    if (!load.ok())
        return fail(load.error);
    error = exportPropertyListFile(*load.root, parsed->positional[1]);
    return error.isEmpty() ? Success : fail(error);
}

} // namespace tardigo::cli
