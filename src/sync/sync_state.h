#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace tardigo {

/// What the last sync saw of one item.
struct SyncedItem {
    QByteArray itemHash;       // the item's fingerprint in the list
    QByteArray fileHash;       // the hash of its file's bytes
    QString fileName;          // its file in the folder
    QDateTime modified;        // the time its to-do was stamped as last changed
    std::optional<qint64> key; // where its to-do stands among its siblings (its sort key)
    QStringList childUids;     // the to-dos its to-do names as its children
    bool operator==(const SyncedItem&) const = default;
};

/// The path as the sync knows a list or a folder by: with every link resolved, where it exists. A
/// server's address stays as it is.
QString canonicalSyncPath(const QString& path);

/// What one list and one folder looked like when they were last synced, so that each side's
/// changes since can be told apart. Kept per pair in the state folder
/// ($XDG_STATE_HOME/tardigo/sync), never in the list or the folder.
class SyncState {
public:
    /// The state folder the user's environment gives.
    static QString defaultFolder();
    /// The state of the pair; empty when they never synced. A state that does not read counts as
    /// empty too (logged): the sync then meets every item as new on both sides, which loses nothing.
    static SyncState load(const QString& stateFolder, const QString& listPath, const QString& syncFolder);

    /// The file that holds the state of the pair.
    static QString fileFor(const QString& stateFolder, const QString& listPath, const QString& syncFolder);

    /// Saves the state atomically; an empty string, or why it failed.
    QString save() const;

    QHash<QString, SyncedItem> items; // by uid

private:
    QString _path;
    QString _listPath;
    QString _syncFolder;
};

} // namespace tardigo
