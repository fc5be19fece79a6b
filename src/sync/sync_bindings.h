#pragma once

#include "model/value.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tardigo {

/// What a list's record says: the store it syncs with here, and for a calendar the account that
/// reaches it.
struct SyncBinding {
    QString location;
    QString account;
};

/// Which folder each list syncs with on this machine. A list names its folder itself, but a copy
/// of a list, or one received from someone else, names a folder it was never synced with here: it
/// syncs only once the user here names that folder for it. One record per list, keyed by the
/// list's canonical path (a save makes a new file, so never by its inode), in the state folder.
class SyncBindings {
public:
    explicit SyncBindings(QString stateFolder) : _stateFolder(std::move(stateFolder)) {}

    /// Whether the list syncs with the folder here: its record names the folder or, for a list
    /// without a record, the pair has sync state (it synced before records were kept).
    bool isBound(const QString& listPath, const QString& folder) const;
    /// The list's record; nothing when it has none, or one that does not read (logged).
    std::optional<SyncBinding> bindingOf(const QString& listPath) const;
    /// Records the folder (with the account that reaches it) as the list's; an empty string, or
    /// why it failed.
    QString bind(const QString& listPath, const QString& folder, const QString& account = {}) const;
    /// Forgets the list's record: it syncs nowhere here until the user names a store for it again.
    QString unbind(const QString& listPath) const;
    /// The lists whose records name the account, by their paths, sorted.
    QStringList listsOf(const QString& account) const;
    /// Where the list syncs here: the store its record names, or the folder its root names that it
    /// synced with before records were kept; empty when it syncs nowhere yet.
    QString locationOf(const QString& listPath, const Dict& root) const;

private:
    QString recordFile(const QString& listPath) const;

    QString _stateFolder;
};

} // namespace tardigo
