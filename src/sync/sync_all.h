#pragma once

#include "sync/list_sync.h"

#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace tardigo {

/// What syncing every list did.
struct SyncAllReport {
    std::vector<std::pair<QString, SyncReport>> lists; // each list synced, by path
    QStringList commandErrors;                         // what the sync command said when it failed
    bool ok() const;
};

/// Syncs a list with a store that is not a folder (a calendar on a server), given its location.
using ServerSync =
    std::function<SyncReport(const QString& listPath, const QString& location, const SyncOptions&)>;

/// Syncs every list the minder watches ("tardigoMinderDocs") that names a sync folder. When the
/// preference "syncCommand" is set, it runs before the merges (to fetch what the server holds)
/// and after them (to send what they changed); the merges run even when it fails, as the folder
/// is local. A list that names a calendar syncs through `serverSync`. Each list syncs only with
/// the store it is bound to; `options.bind` is not used. A list that fails, or that is there but
/// does not read, is reported and the next one syncs all the same.
SyncAllReport syncAllLists(const SyncOptions& options = {}, const ServerSync& serverSync = {});

} // namespace tardigo
