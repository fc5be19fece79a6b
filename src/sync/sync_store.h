#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tardigo {

/// What a store holds: the names of its entries that may hold to-dos, and what it passed over.
struct StoreListing {
    QStringList names;      // sorted
    QStringList passedOver; // entries left alone, a sentence each, e.g. a symbolic link
    QStringList takenNames; // names of those entries, which a new entry must not take
};

/// Where a list's to-dos are kept for other programs, one iCalendar entry per to-do. The merge
/// (ListFolderMerge) and its guards work the same on every store; a store only lists, reads, writes
/// and removes its entries, each refusal a sentence naming the entry.
class SyncStore {
public:
    virtual ~SyncStore() = default;

    /// Where the store is, as the list records it and messages name it.
    virtual QString location() const = 0;
    /// The store's entries; nothing, with the reason, when it cannot be read at all.
    virtual std::optional<StoreListing> list(QString* error) const = 0;
    virtual std::optional<QByteArray> read(const QString& name, QString* error) const = 0;
    /// Takes the answer to a write or removal begun: an empty string, or why it failed.
    using Answer = std::function<void(const QString& error)>;
    /// Begins writing the entry. `answer` is called once: before this returns, or, for a store that
    /// keeps several requests under way, while a later begin or finishWrites() waits. A caller
    /// begins at most one write or removal of an entry before finishWrites().
    virtual void beginWrite(const QString& name, const QByteArray& bytes, Answer answer) = 0;
    virtual void beginRemoval(const QString& name, Answer answer) = 0;
    /// Returns once every write and removal begun was answered.
    virtual void finishWrites() {}
    /// The name for a new entry holding the to-do with this uid.
    virtual QString nameForUid(const QString& uid) const = 0;
    /// Why the store stopped answering (no connection, no answer in time), a sentence; empty while
    /// it answers, as a folder on this computer always does.
    virtual QString unreachable() const { return {}; }
};

/// The name of a store's entry for the to-do with this uid: the uid where that makes a safe file
/// name, else a name derived from it.
QString entryNameForUid(const QString& uid);
/// Whether a store's location is a server's address (a CalDAV calendar) rather than a folder.
bool isServerLocation(const QString& location);

} // namespace tardigo
