#pragma once

#include "ical/ical_handle.h"
#include "ical/todo_content.h"
#include "model/value.h"
#include "sync/sync_report.h"
#include "sync/sync_state.h"
#include "sync/vdir_folder.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <unordered_map>
#include <vector>

namespace tardigo {

/// The two-way merge of a list and a vdir folder. Each side's changes since the last sync are
/// found by comparing hashes with the sync state: a change on one side is copied to the other, an
/// item new on either side is created on the other, and one deleted on one side and unchanged on
/// the other is deleted there. An item changed on both sides keeps the version changed last (the
/// list's on a tie) and gets the other beside it as "<name> (conflict copy)"; one deleted on one
/// side and changed on the other is kept. Nothing is ever dropped silently.
class ListFolderMerge {
public:
    ListFolderMerge(Dict& root, const VdirFolder& folder, SyncState& state, SyncReport& report);

    /// Reads the folder, decides each item's fate and changes the list in memory. False, with the
    /// reason in the report, when the folder cannot be read or the list would nest too deep.
    bool mergeIntoList();
    /// Then, once the list is saved: writes and removes the folder's files to match it, and records
    /// what each side now holds in the state.
    void updateFolder();

private:
    struct ListItem {
        NodePtr item;
        QString parentUid;
        qint64 index = 0;
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
        TodoContent content;
        QDateTime modified;

        /// What it says for an item at `index`: a file without an order (another client's) stands
        /// wherever the item stands.
        QByteArray saysAt(qint64 index) const;
    };

    void readList();
    bool readFolder();
    void readFile(const QString& name, const QString& known);
    bool parse(FolderFile& file);
    void decide(const QString& uid);
    void resolveConflict(const QString& uid, ListItem& mine, FolderFile& theirs);
    void takeFromFile(const QString& uid, FolderFile& file);
    NodePtr conflictCopy(const Dict& version) const;
    QDateTime lastChangeOf(const QString& uid, const Dict& item) const;
    bool applyToList();
    void writeFile(const QString& uid, const NodePtr& item, const TodoContent& content,
                   const QByteArray& hash);

    Dict& _root;
    const VdirFolder& _folder;
    SyncState& _state;
    SyncReport& _report;
    QDateTime _now;

    QHash<QString, ListItem> _items;                // by uid
    std::unordered_map<QString, FolderFile> _files; // by uid
    QStringList _order;                             // every uid met, list first, in a stable order
    QSet<QString> _skipped;                         // uids whose file could not be read: left alone this time
    QSet<QString> _takenNames;                      // every file name in the folder
    QHash<QString, QDateTime> _modified;            // uid to its to-do's stamp, where a file gave it

    struct Placing {
        NodePtr item;
        QString parentUid;
        std::optional<qint64> order;
    };
    std::vector<Placing> _placings;
    std::vector<NodePtr> _doomed;
    std::vector<std::pair<NodePtr, NodePtr>> _copies; // original, conflict copy
};

} // namespace tardigo
