#pragma once

#include <QDateTime>
#include <QStringList>

namespace tardigo {

/// What one sync of a list with its folder did, for the command line and the window to report.
struct SyncReport {
    QString error;         // why the sync stopped, a sentence; empty when it ran to its end
    QStringList problems;  // files passed over, a sentence each; their items wait for the next sync
    QStringList conflicts; // items changed on both sides: each has its other version beside it
    QStringList keptRules; // items whose repeat rule from another client no period expresses
    int itemsAdded = 0, itemsUpdated = 0, itemsRemoved = 0; // in the list
    int filesWritten = 0, filesRemoved = 0;                 // in the folder
    bool listChanged = false;
    QDateTime finished; // when the sync ended; invalid when it stopped

    bool ok() const { return error.isEmpty(); }
    /// One line of what changed, e.g. "2 items added, 1 updated; 3 files written".
    QString summary() const;
};

} // namespace tardigo
