#pragma once

#include "ical/ical_handle.h"
#include "ical/todo_content.h"
#include "model/value.h"
#include "sync/sync_report.h"
#include "sync/sync_state.h"
#include "sync/sync_steps.h"
#include "sync/sync_store.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <unordered_map>
#include <vector>

namespace tardigo {

/// The two-way merge of a list and a store of to-dos (a vdir folder). Each side's changes since the
/// last sync are found by comparing hashes with the sync state: a change on one side is copied to
/// the other, an item new on either side is created on the other, and one deleted on one side and
/// unchanged on the other is deleted there. An item changed on both sides keeps the version changed
/// last (the list's on a tie) and gets the other beside it as "<name> (conflict copy)", unless the
/// file says nothing the list does not (the list then stands); one deleted on one side and changed
/// on the other is kept. Nothing is ever dropped silently.
///
/// Its guards hold for every store: it removes no item from the list when the store lost most of
/// what it held, unless removals are allowed; and it repeats nothing when a sync before it was
/// interrupted or failed to write, wherever that was, as the state it records at each step and the
/// conflict copies' uids (taken from the version they keep) make every step safe to do twice.
class ListFolderMerge {
public:
    /// Without the user's word, removals wait when the store lost every to-do it held, or more than
    /// half of them and more than this many.
    static constexpr int kLostFilesUnasked = 5;

    ListFolderMerge(SyncStore& store, SyncState& state, SyncReport& report);

    /// Lists and reads the store: each file is hashed, and parsed only when it changed since the
    /// last sync (or a file that names its children did). False, with the reason in the report,
    /// when the store cannot be read.
    bool readFolder();
    /// Decides each item's fate and changes the list in memory. False, with the reason in the
    /// report, when the list would nest too deep, or when removals wait for the user's word.
    bool mergeIntoList(Dict& root, bool allowRemovals);
    /// Once the list is saved: records in the state what the list and the store agree on, and
    /// which files are in the list but wait for the list's version: those of items changed here,
    /// moved among their siblings (which changes their sort order, and another's only where no
    /// integer fits between), or whose children named by their to-do moved away.
    void recordAgreement();
    /// Then writes and removes the store's files to match the list, recording each in the state as
    /// the store answers it (a store may have several under way); it stops at a store that stopped
    /// answering, and returns once every write begun was answered. False when the seam stopped it.
    bool updateFolder(const SyncStepSeam& seam);

private:
    struct ListItem {
        NodePtr item;
        QString parentUid;
        QByteArray hash;
        bool changed = false; // since the last sync
    };
    struct FolderFile {
        QString name;
        QByteArray bytes;
        QByteArray hash;
        bool changed = false;          // since the last sync
        QByteArray says;               // the fingerprint of what it holds, in list terms
        IcalComponentPtr calendar;     // parsed only when it changed or must be rewritten
        icalcomponent* todo = nullptr; // its to-do, inside calendar
        TodoContent content;           // with its parent as the folder gives it
        QDateTime modified;
        std::optional<qint64> key; // where it stands among its siblings
        QStringList childUids;     // the to-dos it names as its children
    };
    struct Write {
        QString uid;
        NodePtr item;
        QString parentUid;
        QByteArray hash;
        std::optional<qint64> key;                  // where it stands once written
        std::optional<std::optional<qint64>> order; // a sort order it is to hold, where that changes
        std::optional<QStringList> childUids;       // the children it is to name, where that changes
    };

    void readFile(const QString& name, const QString& known);
    bool parse(FolderFile& file);
    void readList();
    void weighFiles();
    void settle(const QString& uid, FolderFile& file) const;
    std::optional<qint64> keyOf(const QString& uid) const;
    void decide(const QString& uid);
    bool agrees(const ListItem& mine, const FolderFile& theirs) const;
    void resolveConflict(const QString& uid, ListItem& mine, FolderFile& theirs);
    void takeFromFile(const QString& uid, FolderFile& file);
    QDateTime lastChangeOf(const QString& uid, const Dict& item) const;
    bool removalsWait(bool allowRemovals);
    bool applyToList();
    void orderSiblings(const Dict& parent, std::unordered_map<QString, size_t>& writing);
    void dropChildLines(std::unordered_map<QString, size_t>& writing);
    /// Begins writing the item's file; `answered` follows once the store answered.
    void writeFile(const Write& write, const std::function<void()>& answered);
    void removeFile(const QString& uid, const std::function<void()>& answered);

    SyncStore& _store;
    SyncState& _state;
    SyncReport& _report;
    QDateTime _now;
    Dict* _root = nullptr;

    QHash<QString, ListItem> _items;                // by uid
    std::unordered_map<QString, FolderFile> _files; // by uid
    QStringList _folderOrder;                       // the uids of _files, as the folder lists them
    QStringList _order;                             // every uid met, list first, in a stable order
    QSet<QString> _skipped;                         // uids whose file could not be read: left alone this time
    QSet<QString> _takenNames;                      // every file name in the folder
    QHash<QString, QDateTime> _modified;            // uid to its to-do's stamp, where a file gave it
    QSet<QString> _movedHere;                       // uids the list moved among their siblings
    QHash<QString, QString> _namedBy;               // a to-do's uid, and the first that names it as its child
    std::unordered_map<QString, std::pair<NodePtr, QString>> _inList; // uid to its item and its parent's uid

    struct Placing {
        NodePtr item;
        QString parentUid;
        std::optional<qint64> key;
    };
    std::vector<Placing> _placings;
    std::vector<NodePtr> _doomed;
    std::vector<std::pair<NodePtr, NodePtr>> _copies; // original, conflict copy
    std::vector<Write> _writes;                       // the files that wait for the list's version
    QStringList _removals;                            // the uids whose files the list no longer holds
};

} // namespace tardigo
