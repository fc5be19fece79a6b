#include "sync/list_folder_merge.h"

#include "archive/list_file.h"
#include "ical/calendar_reader.h"
#include "ical/calendar_writer.h"
#include "ical/calendar_zone.h"
#include "ical/ical_log.h"
#include "ical/kept_calendar_text.h"
#include "ical/sibling_order.h"
#include "ical/todo_mapping.h"
#include "ical/tree_placement.h"
#include "merge/conflict_copy.h"
#include "merge/item_fingerprint.h"
#include "merge/merge_fate.h"
#include "model/clock.h"
#include "model/item_uids.h"
#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <QCryptographicHash>

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace tardigo {

namespace {

QString nameOf(const Dict& item) {
    return stringOf(item, key::name);
}

QString uidOf(const Dict& item) {
    return stringOf(item, key::uid);
}

/// Every item's parent, found by one walk.
std::unordered_map<const Dict*, Dict*> parentsIn(Dict& root) {
    std::unordered_map<const Dict*, Dict*> parents;
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        parents[item.get()] = const_cast<Dict*>(&parent);
    });
    return parents;
}

QByteArray hashOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

/// What an item says, for comparing it with its to-do: its content and its parent. Its place among
/// its siblings is its to-do's sort key, compared apart.
QByteArray fingerprintOf(const Dict& item, const QString& parentUid) {
    return itemFingerprint(item, todoContentKeys(), parentUid, std::nullopt);
}

} // namespace

ListFolderMerge::ListFolderMerge(SyncStore& store, SyncState& state, SyncReport& report)
    : _store(store), _state(state), _report(report), _now(Clock::now()) {}

bool ListFolderMerge::readFolder() {
    QString error;
    const std::optional<StoreListing> listing = _store.list(&error);
    if (!listing) {
        _report.error = error;
        _report.unreachable = _store.unreachable();
        return false;
    }
    _report.problems += listing->passedOver;
    for (const QString& name : listing->takenNames)
        _takenNames.insert(name);
    QHash<QString, QString> knownNames; // file name to the uid the last sync knew it by
    for (auto it = _state.items.cbegin(); it != _state.items.cend(); ++it)
        knownNames.insert(it->fileName, it.key());
    for (const QString& name : listing->names)
        readFile(name, knownNames.value(name));
    // A to-do whose parent names it as its child moves with what its parent says: where a parent
    // changed, the to-dos it names now or named before are read too, to see where they stand.
    QSet<QString> named;
    for (const auto& [uid, file] : _files) {
        if (file.changed) {
            for (const QString& child : file.childUids + _state.items.value(uid).childUids)
                named.insert(child);
        }
    }
    for (const QString& uid : std::as_const(named)) {
        const auto file = _files.find(uid);
        if (file != _files.end() && !file->second.todo && !parse(file->second))
            _skipped.insert(uid);
    }
    return true;
}

void ListFolderMerge::readFile(const QString& name, const QString& known) {
    QString error;
    FolderFile file;
    file.name = name;
    const std::optional<QByteArray> bytes = _store.read(name, &error);
    if (!bytes) {
        _report.problems.append(error);
        if (!known.isEmpty())
            _skipped.insert(known);
        return;
    }
    file.bytes = *bytes;
    file.hash = hashOf(file.bytes);
    if (const SyncedItem synced = _state.items.value(known);
        !known.isEmpty() && synced.fileHash == file.hash && !_files.count(known)) {
        file.says = synced.itemHash; // unchanged: it says what the item said then
        file.modified = synced.modified;
        file.key = synced.key;
        file.childUids = synced.childUids;
        _folderOrder.append(known);
        _files[known] = std::move(file);
        return;
    }
    if (!parse(file)) {
        if (!known.isEmpty())
            _skipped.insert(known);
        return;
    }
    if (!file.todo)
        return; // not a to-do: another client's, left alone
    const QString uid = uidOf(*file.content.item);
    if (uid.isEmpty()) {
        _report.problems.append(QStringLiteral("%1 holds a to-do without a UID; it was left alone.")
                                    .arg(_store.location() + u'/' + name));
        return;
    }
    if (const auto other = _files.find(uid); other != _files.end()) {
        _report.problems.append(
            QStringLiteral("%1 and %2 hold the same to-do (UID %3); only the first is synced.")
                .arg(other->second.name, name, uid));
        return;
    }
    const auto synced = _state.items.constFind(uid);
    file.changed = synced == _state.items.cend() || synced->fileHash != file.hash || synced->fileName != name;
    _folderOrder.append(uid);
    _files[uid] = std::move(file);
}

bool ListFolderMerge::parse(FolderFile& file) {
    CalendarRead read = readCalendar(file.bytes, _store.location() + u'/' + file.name);
    if (!read.ok()) {
        _report.problems.append(read.error + QStringLiteral(" The file was left alone."));
        return false;
    }
    for (icalcomponent* todo : todosIn(read).todos) {
        if (!icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY)) {
            file.todo = todo;
            break;
        }
    }
    // The calendar owns the to-do: keep the first calendar that holds it, as the file's.
    for (IcalComponentPtr& calendar : read.components) {
        if (file.todo && icalcomponent_get_parent(file.todo) == calendar.get())
            file.calendar = std::move(calendar);
    }
    if (file.todo) {
        file.content = readTodo(file.todo);
        file.modified = todoLastModified(file.todo);
        file.key = file.content.sortKey();
        file.childUids = file.content.childUids;
    }
    return true;
}

bool ListFolderMerge::mergeIntoList(Dict& root, bool allowRemovals) {
    _root = &root;
    if (assignItemUids(root) > 0)
        _report.listChanged = true;
    readList();
    weighFiles();
    for (const QString& uid : std::as_const(_folderOrder)) {
        if (!_items.contains(uid))
            _order.append(uid);
    }
    for (const QString& uid : std::as_const(_order))
        decide(uid);
    if (removalsWait(allowRemovals))
        return false;
    return applyToList();
}

void ListFolderMerge::readList() {
    std::unordered_map<const Dict*, std::vector<QString>> siblings;
    forEachItemBelow(*_root, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        ListItem entry{item, uidOf(parent), {}, false};
        entry.hash = fingerprintOf(*item, entry.parentUid);
        const QString uid = uidOf(*item);
        const auto synced = _state.items.constFind(uid);
        entry.changed = synced == _state.items.cend() || synced->itemHash != entry.hash;
        _items.insert(uid, entry);
        _order.append(uid);
        siblings[&parent].push_back(uid);
    });
    // An item the list moved among its siblings no longer stands in the order of their keys at the
    // last sync.
    for (const auto& [parent, uids] : siblings) {
        std::vector<SiblingKey> keys;
        for (const QString& uid : uids)
            keys.push_back({_state.items.value(uid).key, false});
        const std::vector<std::optional<qint64>> ordered = siblingKeys(keys);
        for (size_t i = 0; i < uids.size(); ++i) {
            if (ordered[i] != keys[i].key)
                _movedHere.insert(uids[i]);
        }
    }
}

void ListFolderMerge::weighFiles() {
    for (const QString& uid : std::as_const(_folderOrder)) {
        for (const QString& child : _files.at(uid).childUids) {
            if (child != uid && !_namedBy.contains(child))
                _namedBy.insert(child, uid);
        }
    }
    for (auto& [uid, file] : _files) {
        if (!file.todo)
            continue;
        settle(uid, file);
        // Read because its parent changed: it changed there if it now stands elsewhere.
        const auto synced = _state.items.constFind(uid);
        file.changed = file.changed || synced == _state.items.cend() || synced->itemHash != file.says;
    }
}

void ListFolderMerge::settle(const QString& uid, FolderFile& file) const {
    // A to-do that names no parent stands under the first that names it as its child; one whose
    // parent is nowhere to be found stands at the top level, as the list puts it.
    QString parent = file.content.parentUid.isEmpty() ? _namedBy.value(uid) : file.content.parentUid;
    if (!_files.count(parent) && !_items.contains(parent))
        parent.clear();
    file.content.parentUid = parent;
    file.says = fingerprintOf(*file.content.item, parent);
}

std::optional<qint64> ListFolderMerge::keyOf(const QString& uid) const {
    const auto file = _files.find(uid);
    return file == _files.end() ? std::nullopt : file->second.key;
}

void ListFolderMerge::decide(const QString& uid) {
    if (_skipped.contains(uid))
        return;
    const auto item = _items.find(uid);
    const auto file = _files.find(uid);
    MergeSides sides{_state.items.contains(uid), std::nullopt, std::nullopt};
    if (item != _items.end())
        sides.oursChanged = item->changed || _movedHere.contains(uid);
    if (file != _files.end())
        sides.theirsChanged = file->second.changed;
    switch (mergeFate(sides)) {
    case MergeFate::KeepOurs:
        break;                  // whatever the list did goes to the folder
    case MergeFate::TakeTheirs: // changed there, new there, or changed there after the list deleted it
        takeFromFile(uid, file->second);
        break;
    case MergeFate::RemoveOurs:
        _doomed.push_back(item->item); // its file was deleted
        break;
    case MergeFate::BothChanged:
        if (!agrees(*item, file->second))
            resolveConflict(uid, *item, file->second);
        break;
    }
}

bool ListFolderMerge::agrees(const ListItem& mine, const FolderFile& theirs) const {
    // The file holds nothing the item does not: it was written from the item, or the item was
    // taken from it, by a sync that ended before it could record so. Where the item stands is then
    // the list's to say, as its order among siblings changes with every sibling that comes or goes.
    if (mine.hash == theirs.says)
        return true;
    const NodePtr content = todoContentOf(*mine.item, mine.parentUid).item;
    return !applyTodoItem(*content, *theirs.content.item);
}

QDateTime ListFolderMerge::lastChangeOf(const QString& uid, const Dict& item) const {
    // The newest history entry; a change without one (a move, an icon, a font, a colour) is dated
    // by the sync that found it.
    const QDateTime history = itemLastModified(item);
    const QDateTime before = _modified.value(uid, _state.items.value(uid).modified);
    return history.isValid() && (!before.isValid() || history > before) ? history : _now;
}

void ListFolderMerge::resolveConflict(const QString& uid, ListItem& mine, FolderFile& theirs) {
    const bool theirsLater = theirs.modified.isValid() && theirs.modified > lastChangeOf(uid, *mine.item);
    NodePtr kept = mine.item;
    QByteArray keptHash = mine.hash;
    if (!theirsLater) {
        kept = itemFromTodo(theirs.content, theirs.modified);
        keptHash = theirs.hash;
    }
    const QString copyUid = conflictCopyUid(uid, keptHash);
    if (!_items.contains(copyUid)) {
        _report.conflicts.append(nameOf(*mine.item));
        _copies.emplace_back(mine.item, conflictCopy(*kept, copyUid));
    }
    if (theirsLater)
        takeFromFile(uid, theirs);
}

void ListFolderMerge::takeFromFile(const QString& uid, FolderFile& file) {
    _modified.insert(uid, file.modified);
    if (file.content.item->contains(key::importedRepeatRule))
        _report.keptRules.append(nameOf(*file.content.item));
    const auto existing = _items.find(uid);
    if (existing == _items.end()) {
        NodePtr item = itemFromTodo(file.content, file.modified);
        _placings.push_back({item, file.content.parentUid, file.key});
        ++_report.itemsAdded;
        return;
    }
    if (applyTodo(*existing->item, file.content))
        ++_report.itemsUpdated;
    // The item stays where it is while its parent and its key stay the same.
    const auto synced = _state.items.constFind(uid);
    const bool moved = existing->parentUid != file.content.parentUid ||
                       (synced != _state.items.cend() && synced->key != file.key);
    if (moved)
        _placings.push_back({existing->item, file.content.parentUid, file.key});
}

bool ListFolderMerge::removalsWait(bool allowRemovals) {
    if (allowRemovals || _doomed.empty())
        return false;
    const int synced = int(_state.items.size());
    int lost = 0;
    for (auto it = _state.items.cbegin(); it != _state.items.cend(); ++it) {
        if (!_files.count(it.key()) && !_skipped.contains(it.key()))
            ++lost;
    }
    if (lost < synced && (2 * lost <= synced || lost <= kLostFilesUnasked))
        return false;
    _report.heldRemovals = int(_doomed.size());
    _report.lostFiles = lost;
    _report.syncedFiles = synced;
    const bool calendar = isServerLocation(_store.location());
    const QString store =
        (calendar ? QStringLiteral("The calendar %1") : QStringLiteral("The sync folder %1"))
            .arg(_store.location());
    // One pass of arg() each: a location's percent-encoding (say, "%1F") is no place marker.
    const QString what = lost == synced
                             ? QStringLiteral("%1 holds none of the %2 to-dos it held at the last sync")
                                   .arg(store, QString::number(synced))
                             : QStringLiteral("%1 has lost %2 of the %3 to-dos it held at the last sync")
                                   .arg(store, QString::number(lost), QString::number(synced));
    const QString why = calendar
                            ? QStringLiteral("it may have been restored from an older copy, or emptied")
                            : QStringLiteral("it may be on a drive that is not mounted, or it was emptied");
    _report.error =
        QStringLiteral("%1: %2. Nothing was changed; %3 items of the list would have been removed.")
            .arg(what, why, QString::number(_doomed.size()));
    return true;
}

bool ListFolderMerge::applyToList() {
    TreePlacement placement(*_root, [this](const Dict& item) { return keyOf(uidOf(item)); });
    for (const Placing& placing : _placings)
        placement.place(placing.item, placing.parentUid, placing.key);
    if (!placement.apply()) {
        _report.error =
            QStringLiteral("The sync folder %1 nests its to-dos more than %2 levels deep, more than a "
                           "list can hold; nothing was synced.")
                .arg(_store.location())
                .arg(kMaxItemDepth);
        return false;
    }
    // Each parent's children are laid out once: a deleted item's children that stay take its
    // place, and a conflict copy stands right after its original.
    const std::unordered_map<const Dict*, Dict*> parents = parentsIn(*_root);
    std::unordered_set<const Dict*> doomed, removed;
    std::unordered_map<const Dict*, std::vector<NodePtr>> copiesAfter;
    std::unordered_set<Dict*> changing;
    const auto parentOf = [&](const Dict* item) {
        const auto parent = parents.find(item);
        return parent == parents.end() ? nullptr : parent->second;
    };
    for (const NodePtr& item : _doomed) {
        doomed.insert(item.get());
        changing.insert(parentOf(item.get()));
    }
    for (const auto& [original, copy] : _copies) {
        copiesAfter[original.get()].push_back(copy);
        changing.insert(parentOf(original.get()));
    }
    const std::function<void(const Value&, std::vector<Value>&)> layOut = [&](const Value& child,
                                                                              std::vector<Value>& into) {
        const Dict* item = child.asDict().get();
        if (!doomed.count(item)) {
            into.push_back(child);
            if (const auto copies = copiesAfter.find(item); copies != copiesAfter.end())
                into.insert(into.end(), copies->second.begin(), copies->second.end());
            return;
        }
        removed.insert(item);
        if (const ArrayPtr orphans = childrenOf(*child.asDict()))
            for (const Value& orphan : orphans->items)
                layOut(orphan, into);
    };
    for (Dict* parent : changing) {
        // A parent that goes itself is laid out with its own parent's children.
        if (!parent || doomed.count(parent))
            continue;
        std::vector<Value> children;
        for (const Value& child : childrenOf(*parent)->items)
            layOut(child, children);
        childrenOf(*parent)->items = std::move(children);
    }
    for (const NodePtr& item : _doomed) {
        if (!removed.count(item.get())) {
            qCWarning(lcSync) << "an item to delete is not in the list:" << nameOf(*item);
            continue;
        }
        ++_report.itemsRemoved;
        _report.removedUids.append(uidOf(*item));
    }
    _report.listChanged = _report.listChanged || !_placings.empty() || !_doomed.empty() || !_copies.empty() ||
                          _report.itemsUpdated > 0;
    return true;
}

void ListFolderMerge::recordAgreement() {
    QSet<QString> inList;
    std::unordered_map<QString, size_t> writing; // uid to its write
    std::vector<const Dict*> parents{_root};
    forEachItemBelow(*_root, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        const QString uid = uidOf(*item);
        inList.insert(uid);
        _inList[uid] = {item, uidOf(parent)};
        if (childrenOf(*item) && !childrenOf(*item)->items.empty())
            parents.push_back(item.get());
        if (_skipped.contains(uid))
            return;
        Write write{uid, item, uidOf(parent), fingerprintOf(*item, uidOf(parent)), {}, {}, {}};
        const auto file = _files.find(uid);
        if (file == _files.end()) {
            writing[uid] = _writes.size();
            _writes.push_back(write);
            return;
        }
        write.key = file->second.key;
        const QDateTime modified = _modified.value(uid, file->second.modified);
        const bool agreed = file->second.says == write.hash;
        // Where they differ, what the file holds is in the list now; the list's version is still
        // to be written to it.
        _state.items.insert(uid, {agreed ? write.hash : QByteArray(), file->second.hash, file->second.name,
                                  modified, file->second.key, file->second.childUids});
        if (!agreed) {
            writing[uid] = _writes.size();
            _writes.push_back(write);
        }
    });
    for (const QString& uid : std::as_const(_folderOrder)) {
        if (!inList.contains(uid))
            _removals.append(uid);
    }
    for (const Dict* parent : parents)
        orderSiblings(*parent, writing);
    dropChildLines(writing);
    _state.items.removeIf([&](const auto& item) {
        return !inList.contains(item.key()) && !_files.count(item.key()) && !_skipped.contains(item.key());
    });
}

void ListFolderMerge::orderSiblings(const Dict& parent, std::unordered_map<QString, size_t>& writing) {
    const ArrayPtr children = childrenOf(parent);
    if (!children)
        return;
    std::vector<NodePtr> items;
    std::vector<SiblingKey> siblings;
    for (const Value& child : children->items) {
        const NodePtr item = child.asDict();
        if (!item)
            continue;
        const QString uid = uidOf(*item);
        items.push_back(item);
        if (_skipped.contains(uid))
            siblings.push_back({});
        else if (_files.count(uid))
            siblings.push_back({keyOf(uid), writing.count(uid) > 0});
        else
            siblings.push_back({creationKey(*item), true}); // new: its creation may give its place
    }
    const std::vector<std::optional<qint64>> keys = siblingKeys(siblings);
    for (size_t i = 0; i < items.size(); ++i) {
        const QString uid = uidOf(*items[i]);
        if (keys[i] == siblings[i].key && _files.count(uid))
            continue;
        auto found = writing.find(uid);
        if (found == writing.end()) {
            if (_skipped.contains(uid))
                continue;
            found = writing.emplace(uid, _writes.size()).first;
            _writes.push_back(
                {uid, items[i], uidOf(parent), fingerprintOf(*items[i], uidOf(parent)), {}, {}, {}});
        }
        Write& write = _writes[found->second];
        write.key = keys[i];
        // A new to-do's creation says where it stands, where that is its place; others say it
        // with a sort order.
        const bool fresh = !_files.count(uid);
        write.order = std::optional<qint64>(fresh && keys[i] == siblings[i].key ? std::nullopt : keys[i]);
    }
}

void ListFolderMerge::dropChildLines(std::unordered_map<QString, size_t>& writing) {
    QHash<QString, QStringList> namedBy; // a to-do, and those that name it as their child
    for (const auto& [uid, file] : _files)
        for (const QString& child : file.childUids)
            namedBy[child].append(uid);
    if (namedBy.isEmpty())
        return;
    // A to-do that moves to another parent, or leaves the list, is no longer its old parent's child.
    QHash<QString, QSet<QString>> dropped; // a parent, and the children it no longer names
    for (const QString& uid : std::as_const(_removals))
        for (const QString& parent : namedBy.value(uid))
            dropped[parent].insert(uid);
    for (const auto& [uid, index] : writing) {
        const auto file = _files.find(uid);
        if (file == _files.end() || !namedBy.contains(uid))
            continue;
        if (!file->second.todo) {
            if (!parse(file->second))
                continue;
            settle(uid, file->second);
        }
        const QString newParent = _writes[index].parentUid;
        if (file->second.content.parentUid == newParent)
            continue; // it stays where the folder has it
        for (const QString& parent : namedBy.value(uid))
            if (parent != newParent)
                dropped[parent].insert(uid);
    }
    QStringList parents = dropped.keys();
    parents.sort();
    for (const QString& parent : std::as_const(parents)) {
        const auto listed = _inList.find(parent);
        const auto file = _files.find(parent);
        if (listed == _inList.end() || file == _files.end() || _skipped.contains(parent))
            continue;
        QStringList kept = file->second.childUids;
        kept.removeIf([&](const QString& child) { return dropped[parent].contains(child); });
        if (const auto found = writing.find(parent); found != writing.end()) {
            _writes[found->second].childUids = kept;
            continue;
        }
        const auto& [item, parentUid] = listed->second;
        _writes.push_back(
            {parent, item, parentUid, fingerprintOf(*item, parentUid), file->second.key, {}, kept});
    }
    // Parents first: a sync stopped between them leaves the child where its parent no longer
    // names it, which the next sync then sees as moved.
    std::stable_partition(_writes.begin(), _writes.end(),
                          [](const Write& write) { return write.childUids.has_value(); });
    writing.clear();
}

bool ListFolderMerge::updateFolder(const SyncStepSeam& seam) {
    // A store may have several writes under way: each step is taken as its write is answered, and
    // once the seam stopped the sync, or the store stopped answering, nothing more is begun.
    bool going = true;
    const auto stepped = [&](SyncStep step) {
        if (going && seam && !seam(step))
            going = false;
    };
    const auto stopped = [&] {
        _report.unreachable = _store.unreachable();
        return !going || !_report.unreachable.isEmpty();
    };
    for (const Write& write : _writes) {
        if (stopped())
            break;
        writeFile(write, [&] { stepped(SyncStep::FileWritten); });
    }
    for (const QString& uid : std::as_const(_removals)) {
        if (stopped())
            break;
        removeFile(uid, [&] { stepped(SyncStep::FileRemoved); });
    }
    _store.finishWrites();
    stopped();
    return going;
}

void ListFolderMerge::writeFile(const Write& write, const std::function<void()>& answered) {
    const QDateTime modified = lastChangeOf(write.uid, *write.item);
    TodoContent content = todoContentOf(*write.item, write.parentUid);
    const auto existing = _files.find(write.uid);
    FolderFile* file = existing == _files.end() ? nullptr : &existing->second;
    if (file && !file->todo) {
        if (!parse(*file))
            return answered();
        settle(write.uid, *file);
    }
    QString name;
    QByteArray bytes;
    if (file && file->todo) {
        // Rewrite only what we own; what other clients wrote into the file stays, line by line.
        content.sortOrder = write.order ? *write.order : file->content.sortOrder;
        content.childUids = write.childUids ? *write.childUids : file->content.childUids;
        updateTodo(file->todo, file->content, content, modified);
        addZonesNamed(file->calendar.get());
        bytes = keptCalendarText(file->bytes, file->calendar.get());
        name = file->name;
    } else {
        content.sortOrder = write.order.value_or(std::nullopt);
        bytes = icalText(calendarHolding(newTodo(content, modified)).get());
        name = _store.nameForUid(write.uid);
        if (_takenNames.contains(name))
            name = _store.nameForUid(newItemUid());
        _takenNames.insert(name);
    }
    _store.beginWrite(name, bytes,
                      [this, uid = write.uid, itemHash = write.hash, fileHash = hashOf(bytes), name, modified,
                       key = write.key, children = content.childUids, answered](const QString& error) {
                          if (error.isEmpty()) {
                              ++_report.filesWritten;
                              _state.items.insert(uid, {itemHash, fileHash, name, modified, key, children});
                          } else {
                              _report.writeFailures.append(error);
                          }
                          answered();
                      });
}

void ListFolderMerge::removeFile(const QString& uid, const std::function<void()>& answered) {
    _store.beginRemoval(_files.at(uid).name, [this, uid, answered](const QString& error) {
        if (error.isEmpty()) {
            ++_report.filesRemoved;
            _state.items.remove(uid);
        } else {
            _report.writeFailures.append(error);
        }
        answered();
    });
}

} // namespace tardigo
