#pragma once

#include <QStringList>

namespace tardigo::cli {

/// The synopsis and summary of `tardigo-cli remind` for the command table.
inline constexpr const char* kRemindSynopsis =
    "remind [--now \"YYYY-MM-DD HH:MM:SS +ZZZZ\"] [--apply] [--all] [--channels LIST] [FILE...]";
inline constexpr const char* kRemindSummary =
    "one minder pass: print past-due items and reminders; --apply saves what the pass changed";

/// One minder pass over the lists, with the arguments after "remind". Exit 0 success, 1 when a named
/// list could not be read or saved or a notice could not be delivered, 2 usage.
int commandRemind(const QStringList& args);

} // namespace tardigo::cli
