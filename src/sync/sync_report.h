#pragma once

#include <QDateTime>
#include <QStringList>

namespace tardigo {

/// What one sync of a list with its folder did, for the command line and the window to report.
struct SyncReport {
    /// Why the sync stopped before it changed anything, a sentence; empty when it ran to its end.
    QString error;
    QString folder; // the folder synced with
    /// The sync stopped because the list names a folder it is not bound to on this machine.
    bool unbound = false;
    /// The sync stopped because it would have removed this many items whose files are gone, from a
    /// folder that lost most of what it held (`lostFiles` of `syncedFiles`); allowing removals
    /// lets it go ahead.
    int heldRemovals = 0, lostFiles = 0, syncedFiles = 0;

    QStringList problems;      // files passed over, a sentence each; their items wait for the next sync
    QStringList writeFailures; // files (and the state) that could not be written or removed, a sentence each
    QStringList conflicts;     // items changed on both sides: each has its other version beside it
    QStringList keptRules;     // items whose repeat rule from another client no period expresses
    QStringList removedUids;   // the items removed from the list because their files are gone
    int itemsAdded = 0, itemsUpdated = 0, itemsRemoved = 0; // in the list
    int filesWritten = 0, filesRemoved = 0;                 // in the folder
    bool listChanged = false;
    /// The calendar's server did not accept the account's user name and password.
    bool passwordRefused = false;
    /// Why the store could not be reached, a sentence naming the cause (the server refused the
    /// connection, was not found, did not answer); empty when it answered. The sync stopped there:
    /// what it did not write waits in the list for the next sync.
    QString unreachable;
    /// The user stopped the sync; what it did so far stands, and the next sync does the rest.
    bool cancelled = false;
    QDateTime finished; // when the sync ended; invalid when it stopped

    /// It ran to its end and wrote everything it meant to.
    bool ok() const { return error.isEmpty() && writeFailures.isEmpty() && !cancelled; }
    /// One line of what changed, e.g. "2 items added, 1 updated; 3 files written".
    QString summary() const;
};

} // namespace tardigo
