#pragma once

#include "cli_args.h"

#include "sync/list_sync.h"

namespace tardigo::cli {

/// `sync LIST --account NAME --calendar CALENDAR`: binds the list to that calendar of the account
/// (made when no calendar bears the name) and syncs it; a list bound to another store here is
/// refused unless --rebind. Nothing, after saying why, when it stopped before the sync. A password
/// given with --password-stdin that the server took is kept (keepGivenPassword).
std::optional<SyncReport> syncWithAccountCalendar(const QString& list, const CliArgs& parsed,
                                                  SyncOptions options);
/// Syncs a list with the calendar it names, through the account its binding here records; the
/// password from standard input with `passwordFromStdin` (kept as syncWithAccountCalendar does),
/// else from the keyring.
SyncReport syncBoundCalendar(const QString& list, const QString& calendar, const SyncOptions& options,
                             bool passwordFromStdin);

} // namespace tardigo::cli
