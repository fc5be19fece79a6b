#pragma once

#include "model/value.h"
#include "sync/sync_report.h"
#include "sync/sync_steps.h"

#include <memory>

namespace tardigo {

class SyncCancel;
class SyncStore;

/// How a sync may go.
struct SyncOptions {
    /// The user named this folder for the list here: the list is bound to it. Without, a list syncs
    /// only with the folder it is bound to on this machine (SyncBindings).
    bool bind = false;
    /// The account that reaches a calendar, recorded with the binding.
    QString account;
    /// Items whose files are gone are removed even when the folder lost most of what it held.
    bool allowRemovals = false;
    /// Empty: SyncState::defaultFolder().
    QString stateFolder;
    SyncStepSeam afterStep;
    /// Stops the sync after the step it is in once the user cancels; none: it runs to its end.
    std::shared_ptr<SyncCancel> cancel;
};

/// Syncs a list file with a vdir folder in both directions (see ListFolderMerge). The folder is
/// read first; the list's lock is held only from reading the list to saving it, then the folder's
/// files are written, then the state is recorded. Any interruption leaves the next sync nothing to
/// repeat. The folder becomes the list's sync folder. Headless: the command line calls it, and the
/// window calls it off its interface thread. A calendar's address is refused: a calendar syncs
/// through its account (the caldav library's syncWithCalendar).
SyncReport syncList(const QString& listPath, const QString& folder, const SyncOptions& options);
/// The same with any store.
SyncReport syncList(const QString& listPath, SyncStore& store, const SyncOptions& options);

/// The sync folder the list names; empty when it has none.
QString syncFolderOf(const Dict& root);

} // namespace tardigo
