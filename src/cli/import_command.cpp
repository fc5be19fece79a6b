#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"

#include "storage/list_file.h"

#include <QFileInfo>

namespace tardigo::cli {

int commandImport(const QStringList& args) {
    const QString synopsis = QStringLiteral("import OLD NEW [--force]");
    QString error;
    const auto parsed = CliArgs::parse(args, {}, {QStringLiteral("--force")}, &error);
    if (!parsed || parsed->positional.size() != 2) {
        if (!error.isEmpty())
            err() << "tardigo-cli: " << error << Qt::endl;
        return usage(synopsis);
    }
    const QString& target = parsed->positional[1];
    if (QFileInfo::exists(target) && !parsed->flags.contains(QLatin1String("--force")))
        return fail(QStringLiteral("“%1” already exists; use --force to replace it.").arg(target));
    const ListLoad load = importLegacyListFile(parsed->positional[0]);
    if (!load.ok())
        return fail(load.error);
    error = writeListFile(target, load.root);
    return error.isEmpty() ? Success : fail(error);
}

} // namespace tardigo::cli
