#include "caldav/calendar_sync.h"

#include "caldav/caldav_log.h"
#include "caldav/caldav_store.h"
#include "sync/sync_state.h"

namespace tardigo {

namespace {

/// Adds what a later run did to what the earlier ones did; its failures and problems replace
/// theirs, as it met them again.
void absorb(SyncReport& total, const SyncReport& run) {
    const SyncReport before = std::exchange(total, run);
    total.itemsAdded += before.itemsAdded;
    total.itemsUpdated += before.itemsUpdated;
    total.itemsRemoved += before.itemsRemoved;
    total.filesWritten += before.filesWritten;
    total.filesRemoved += before.filesRemoved;
    total.listChanged = total.listChanged || before.listChanged;
    total.conflicts = before.conflicts + run.conflicts;
    total.keptRules = before.keptRules + run.keptRules;
    total.removedUids = before.removedUids + run.removedUids;
}

} // namespace

SyncReport syncWithCalendar(const QString& listPath, CalDavClient& client, const QUrl& calendar,
                            const SyncOptions& options) {
    const QString stateFolder =
        options.stateFolder.isEmpty() ? SyncState::defaultFolder() : options.stateFolder;
    CalendarMirror mirror = CalendarMirror::load(stateFolder, listPath, calendar.toString());
    SyncReport total;
    for (int round = 0; round < kMaxRounds; ++round) {
        CalDavStore store(client, calendar, mirror);
        const SyncReport run = syncList(listPath, store, options);
        // A sync stopped midway leaves the mirror as a kill would.
        if (run.finished.isValid())
            store.catchUp();
        absorb(total, run);
        // Only a cache: without it, the next sync fetches every object again.
        if (const QString error = mirror.save(); !error.isEmpty())
            qCWarning(lcCalDav).noquote() << error;
        if (!total.error.isEmpty() || total.cancelled || store.changedMeanwhile() == 0)
            break;
    }
    return total;
}

} // namespace tardigo
