#pragma once

#include "model/value.h"
#include "sync/sync_report.h"

namespace tardigo {

/// Syncs a list file with a vdir folder in both directions (see ListFolderMerge), holding the list
/// from reading it to saving it: the list is saved first, then the folder's files are written,
/// then the state is recorded, so that an interruption at any point loses nothing. The folder
/// becomes the list's sync folder. `stateFolder` empty means SyncState::defaultFolder().
/// Headless: the command line calls it, and the window can call it off its interface thread.
SyncReport syncList(const QString& listPath, const QString& folder, const QString& stateFolder = {});

/// The sync folder the list names; empty when it has none.
QString syncFolderOf(const Dict& root);

} // namespace tardigo
