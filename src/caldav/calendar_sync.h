#pragma once

#include "caldav/caldav_client.h"
#include "sync/list_sync.h"

namespace tardigo {

/// Syncs a list with a calendar through the same merge, state and guards as a folder (syncList
/// over a CalDavStore). A write the server refused because another client changed the object
/// meanwhile makes the sync run again, which fetches that change and merges it before it writes;
/// at most kMaxRounds runs in all. The calendar's mirror is kept beside the sync state.
SyncReport syncWithCalendar(const QString& listPath, CalDavClient& client, const QUrl& calendar,
                            const SyncOptions& options);

inline constexpr int kMaxRounds = 3;

} // namespace tardigo
