#include "sync/list_sync.h"

#include "archive/locked_list.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "sync/list_folder_merge.h"
#include "sync/sync_bindings.h"
#include "sync/sync_cancel.h"
#include "sync/vdir_folder.h"

#include <QFileInfo>

namespace tardigo {

namespace {

/// Saves the state; a failure is one of the sync's failed writes.
void saveState(const SyncState& state, SyncReport& report) {
    if (const QString error = state.save(); !error.isEmpty())
        report.writeFailures.append(error + QStringLiteral(" The next sync compares both sides afresh."));
}

/// Reads the list under its lock, merges the folder into it and saves it: the list's lock is held
/// for that alone. Answers the list as saved; null when the sync stops.
NodePtr mergeIntoListFile(const QString& listPath, ListFolderMerge& merge, const QString& location,
                          bool allowRemovals, SyncReport& report) {
    std::optional<LockedList> list = LockedList::open(listPath, false, &report.error);
    if (!list)
        return nullptr;
    const NodePtr root = list->root();
    if (syncFolderOf(*root) != location) {
        root->set(key::syncFolder, location);
        report.listChanged = true;
    }
    if (!merge.mergeIntoList(*root, allowRemovals))
        return nullptr;
    if (report.listChanged) {
        if (const QString error = list->save(); !error.isEmpty()) {
            report.error = error + QStringLiteral(" Nothing was written to the sync folder.");
            return nullptr;
        }
    }
    return root;
}

} // namespace

SyncReport syncList(const QString& listPath, const QString& folder, const SyncOptions& options) {
    if (isServerLocation(folder)) {
        SyncReport report;
        report.folder = folder;
        report.error = QStringLiteral("%1 syncs with the calendar %2, which only its account reaches: run "
                                      "tardigo-cli sync %1.")
                           .arg(listPath, folder);
        return report;
    }
    VdirFolder vdir(QFileInfo(folder).absoluteFilePath());
    return syncList(listPath, vdir, options);
}

SyncReport syncList(const QString& listPath, SyncStore& store, const SyncOptions& options) {
    SyncReport report;
    const QString stateFolder =
        options.stateFolder.isEmpty() ? SyncState::defaultFolder() : options.stateFolder;
    const QString location = store.location();
    report.folder = location;
    const SyncBindings bindings(stateFolder);
    if (!options.bind && !bindings.isBound(listPath, location)) {
        report.unbound = true;
        report.error =
            QStringLiteral("%1 names the sync folder %2, but it was never synced with that folder on "
                           "this computer: it may be a copy, or a list from someone else. Nothing "
                           "was synced.")
                .arg(listPath, location);
        return report;
    }
    SyncState state = SyncState::load(stateFolder, listPath, location);
    const auto before = state.items;
    ListFolderMerge merge(store, state, report);
    const auto cancelled = [&] {
        report.cancelled = options.cancel && options.cancel->isCancelled();
        return report.cancelled;
    };
    // Cancelled while the store was read, the sync has changed nothing yet.
    const bool read = merge.readFolder();
    if (cancelled() || !read)
        return report;
    if (options.bind) {
        if (const QString error = bindings.bind(listPath, location, options.account); !error.isEmpty()) {
            report.error = error + QStringLiteral(" Nothing was synced.");
            return report;
        }
    }
    const NodePtr root = mergeIntoListFile(listPath, merge, location, options.allowRemovals, report);
    if (!root)
        return report;
    const auto go = [&](SyncStep step) {
        return !cancelled() && (!options.afterStep || options.afterStep(step));
    };
    if (report.listChanged && !go(SyncStep::ListSaved))
        return report;
    merge.recordAgreement();
    const auto recorded = state.items;
    if (recorded != before) {
        saveState(state, report);
        if (!go(SyncStep::StateRecorded))
            return report;
    }
    if (!merge.updateFolder(go))
        return report;
    if (state.items != recorded)
        saveState(state, report);
    report.finished = Clock::now();
    return report;
}

QString syncFolderOf(const Dict& root) {
    return stringOf(root, key::syncFolder);
}

} // namespace tardigo
