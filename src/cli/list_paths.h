#pragma once

#include <QStringList>

namespace tardigo::cli {

/// Each list file once, however its path is spelled, under the first spelling given.
QStringList uniqueFiles(const QStringList& paths);

/// The lists a command reads: those named, or, when none is, the lists the minder watches.
QStringList namedOrWatchedLists(const QStringList& named);

} // namespace tardigo::cli
