#pragma once

#include "sync/sync_report.h"

#include <QStringList>

#include <utility>
#include <vector>

namespace tardigo {

/// What syncing every list did.
struct SyncAllReport {
    std::vector<std::pair<QString, SyncReport>> lists; // each list synced, by path
    QStringList commandErrors;                         // what the sync command said when it failed
    bool ok() const;
};

/// Syncs every list the minder watches ("tardigoMinderDocs") that names a sync folder. When the
/// preference "syncCommand" is set, it runs before the merges (to fetch what the server holds)
/// and after them (to send what they changed); the merges run even when it fails, as the folder
/// is local.
SyncAllReport syncAllLists(const QString& stateFolder = {});

} // namespace tardigo
