#include "sync/list_sync.h"

#include "archive/locked_list.h"
#include "model/clock.h"
#include "model/keys.h"
#include "sync/list_folder_merge.h"

#include <QFileInfo>

namespace tardigo {

SyncReport syncList(const QString& listPath, const QString& folder, const QString& stateFolder) {
    SyncReport report;
    std::optional<LockedList> list = LockedList::open(listPath, false, &report.error);
    if (!list)
        return report;
    const QString folderPath = QFileInfo(folder).absoluteFilePath();
    Dict& root = *list->root();
    if (syncFolderOf(root) != folderPath) {
        root.set(key::syncFolder, folderPath);
        report.listChanged = true;
    }
    SyncState state = SyncState::load(stateFolder.isEmpty() ? SyncState::defaultFolder() : stateFolder,
                                      listPath, folderPath);
    const auto before = state.items;
    const VdirFolder vdir(folderPath);
    ListFolderMerge merge(root, vdir, state, report);
    if (!merge.mergeIntoList())
        return report;
    if (report.listChanged) {
        if (const QString error = list->save(); !error.isEmpty()) {
            report.error = error + QStringLiteral(" Nothing was written to the sync folder.");
            return report;
        }
    }
    merge.updateFolder();
    if (state.items != before) {
        if (const QString error = state.save(); !error.isEmpty())
            report.problems.append(error + QStringLiteral(" The next sync compares both sides afresh."));
    }
    report.finished = Clock::now();
    return report;
}

QString syncFolderOf(const Dict& root) {
    const QString* folder = root.value(key::syncFolder).asString();
    return folder ? *folder : QString();
}

} // namespace tardigo
