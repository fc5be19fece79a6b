#include "sync/sync_all.h"

#include "archive/list_file.h"
#include "model/keys.h"
#include "platform/user_defaults.h"
#include "sync/list_sync.h"
#include "sync/sync_command.h"

#include <algorithm>

namespace tardigo {

bool SyncAllReport::ok() const {
    return commandErrors.isEmpty() &&
           std::all_of(lists.begin(), lists.end(), [](const auto& list) { return list.second.ok(); });
}

SyncAllReport syncAllLists(const QString& stateFolder) {
    SyncAllReport report;
    const Value commandValue = UserDefaults::standard().objectForKey(pref::syncCommand);
    const QString command = commandValue.asString() ? *commandValue.asString() : QString();
    const auto runCommand = [&] {
        if (const QString error = runSyncCommand(command); !error.isEmpty())
            report.commandErrors.append(error);
    };
    runCommand();
    QStringList seen;
    for (const QString& path : UserDefaults::standard().stringArrayForKey(pref::tardigoMinderDocs)) {
        if (seen.contains(path))
            continue;
        seen.append(path);
        const ListLoad load = readListFile(path);
        const QString folder = load.ok() ? syncFolderOf(*load.root) : QString();
        if (!folder.isEmpty())
            report.lists.emplace_back(path, syncList(path, folder, stateFolder));
    }
    runCommand();
    return report;
}

} // namespace tardigo
