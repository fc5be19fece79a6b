#pragma once

#include <QStringList>

#include <optional>

namespace tardigo::cli {

/// The paths whose lists the running Tardigo does not have open: while it runs, its own minder
/// looks after the lists it has open, whose unsaved changes a save from here would lose. All of
/// them when no Tardigo runs; each list of `named` that is left out is said on stderr. None, after
/// saying why, when a Tardigo runs but does not answer.
std::optional<QStringList> listsNotOpenInTardigo(const QStringList& paths, const QStringList& named);

} // namespace tardigo::cli
