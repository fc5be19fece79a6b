#pragma once

#include <QString>
#include <QStringList>

namespace tardigo {

/// What merging the changes in a list's file with those made in its window did.
struct FileMerge {
    enum class Outcome {
        Merged,
        Unreadable, // the file could not be read as a list
        Legacy,     // the file holds a 1.x list
        TooDeep,    // the merged list would nest deeper than a list may
        Unsound,    // the merge would lose or repeat an item
    };
    Outcome outcome = Outcome::Unreadable;
    QString error; // why the file could not be read
    int changedHere = 0;
    int changedOnDisk = 0;
    QStringList conflicts; // the items changed on both sides, each followed by its conflict copy
};

} // namespace tardigo
