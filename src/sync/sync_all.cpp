#include "sync/sync_all.h"

#include "archive/list_file.h"
#include "platform/settings.h"
#include "sync/external_sync_command.h"
#include "sync/sync_store.h"

#include <QFileInfo>

#include <algorithm>

namespace tardigo {

bool SyncAllReport::ok() const {
    return commandErrors.isEmpty() &&
           std::all_of(lists.begin(), lists.end(), [](const auto& list) { return list.second.ok(); });
}

SyncAllReport syncAllLists(const SyncOptions& options, const ServerSync& serverSync) {
    SyncAllReport report;
    const QString command = Settings::instance().syncCommand();
    const auto runCommand = [&] {
        if (const QString error = runSyncCommand(command); !error.isEmpty())
            report.commandErrors.append(error);
    };
    runCommand();
    SyncOptions eachList = options;
    eachList.bind = false;
    QStringList seen;
    for (const QString& path : Settings::instance().minderLists()) {
        if (seen.contains(path))
            continue;
        seen.append(path);
        const ListLoad load = readListFile(path);
        if (!load.ok() && QFileInfo::exists(path)) {
            // It may name a folder: it did not sync.
            SyncReport unread;
            unread.error = load.error;
            report.lists.emplace_back(path, unread);
            continue;
        }
        const QString folder = load.ok() ? syncFolderOf(*load.root) : QString();
        if (!folder.isEmpty())
            report.lists.emplace_back(path, isServerLocation(folder) && serverSync
                                                ? serverSync(path, folder, eachList)
                                                : syncList(path, folder, eachList));
    }
    runCommand();
    return report;
}

} // namespace tardigo
