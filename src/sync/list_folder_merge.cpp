#include "sync/list_folder_merge.h"

#include "archive/list_file.h"
#include "ical/calendar_reader.h"
#include "ical/calendar_writer.h"
#include "ical/todo_mapping.h"
#include "ical/tree_placement.h"
#include "model/clock.h"
#include "model/item_uids.h"
#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/new_item.h"
#include "sync/item_fingerprint.h"
#include "sync/sync_log.h"

#include <QDir>

namespace tardigo {

namespace {

QString nameOf(const Dict& item) {
    const QString* name = item.value(key::name).asString();
    return name ? *name : QString();
}

QString uidOf(const Dict& item) {
    const QString* uid = item.value(key::uid).asString();
    return uid ? *uid : QString();
}

/// Every item's parent, found by one walk.
std::unordered_map<const Dict*, Dict*> parentsIn(Dict& root) {
    std::unordered_map<const Dict*, Dict*> parents;
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        parents[item.get()] = const_cast<Dict*>(&parent);
    });
    return parents;
}

/// The place of the item among its parent's children.
std::vector<Value>::iterator placeOf(Dict& parent, const Dict& item) {
    std::vector<Value>& children = childrenOf(parent)->items;
    return std::find_if(children.begin(), children.end(),
                        [&](const Value& child) { return child.asDict().get() == &item; });
}

} // namespace

QByteArray ListFolderMerge::FolderFile::saysAt(qint64 index) const {
    if (!todo || content.order)
        return says;
    return itemFingerprint(*content.item, content.parentUid, index);
}

ListFolderMerge::ListFolderMerge(Dict& root, const VdirFolder& folder, SyncState& state, SyncReport& report)
    : _root(root), _folder(folder), _state(state), _report(report), _now(Clock::now()) {}

bool ListFolderMerge::mergeIntoList() {
    if (assignItemUids(_root) > 0)
        _report.listChanged = true;
    readList();
    if (!readFolder())
        return false;
    for (const QString& uid : std::as_const(_order))
        decide(uid);
    return applyToList();
}

void ListFolderMerge::readList() {
    forEachItemBelow(_root, [this](const NodePtr& item, const Dict& parent, qsizetype index) {
        ListItem entry{item, uidOf(parent), index, {}, false};
        entry.hash = itemFingerprint(*item, entry.parentUid, index);
        const QString uid = uidOf(*item);
        const auto synced = _state.items.constFind(uid);
        entry.changed = synced == _state.items.cend() || synced->itemHash != entry.hash;
        _items.insert(uid, entry);
        _order.append(uid);
    });
}

bool ListFolderMerge::readFolder() {
    QString error;
    const std::optional<QStringList> names = _folder.calendarFiles(&error);
    if (!names) {
        _report.error = error;
        return false;
    }
    QHash<QString, QString> knownNames; // file name to the uid the last sync knew it by
    for (auto it = _state.items.cbegin(); it != _state.items.cend(); ++it)
        knownNames.insert(it->fileName, it.key());
    for (const QString& name : *names) {
        _takenNames.insert(name);
        readFile(name, knownNames.value(name));
    }
    for (auto it = _state.items.cbegin(); it != _state.items.cend(); ++it) {
        if (!_items.contains(it.key()) && !_files.count(it.key()))
            _order.append(it.key());
    }
    return true;
}

void ListFolderMerge::readFile(const QString& name, const QString& known) {
    QString error;
    FolderFile file;
    file.name = name;
    const std::optional<QByteArray> bytes = _folder.read(name, &error);
    if (!bytes) {
        _report.problems.append(error);
        if (!known.isEmpty())
            _skipped.insert(known);
        return;
    }
    file.bytes = *bytes;
    file.hash = VdirFolder::hashOf(file.bytes);
    if (!known.isEmpty() && _state.items.value(known).fileHash == file.hash && !_files.count(known)) {
        file.says = _state.items.value(known).itemHash; // unchanged: it says what the item said then
        file.modified = _state.items.value(known).modified;
        if (!_items.contains(known))
            _order.append(known);
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
                                    .arg(QDir(_folder.path()).filePath(name)));
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
    file.says = itemFingerprint(*file.content.item, file.content.parentUid, file.content.order);
    if (!_items.contains(uid))
        _order.append(uid);
    _files[uid] = std::move(file);
}

bool ListFolderMerge::parse(FolderFile& file) {
    const QString path = QDir(_folder.path()).filePath(file.name);
    CalendarRead read = readCalendar(file.bytes, path);
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
    }
    return true;
}

void ListFolderMerge::decide(const QString& uid) {
    if (_skipped.contains(uid))
        return;
    const bool synced = _state.items.contains(uid);
    const auto item = _items.find(uid);
    const auto file = _files.find(uid);
    const bool inList = item != _items.end(), inFolder = file != _files.end();
    if (inList && inFolder) {
        if (!file->second.changed)
            return; // whatever the list did goes to the file
        if (!item->changed)
            takeFromFile(uid, file->second);
        else if (item->hash != file->second.saysAt(item->index))
            resolveConflict(uid, *item, file->second);
    } else if (inList && synced && !item->changed) {
        _doomed.push_back(item->item); // its file was deleted
    } else if (inFolder && (!synced || file->second.changed)) {
        takeFromFile(uid, file->second); // new there, or changed there after the list deleted it
    }
}

QDateTime ListFolderMerge::lastChangeOf(const QString& uid, const Dict& item) const {
    // The newest history entry; a change without one (a move, an icon, a font, a colour) is dated
    // by the sync that found it.
    const QDateTime history = itemLastModified(item);
    const QDateTime before = _modified.value(uid, _state.items.value(uid).modified);
    return history.isValid() && (!before.isValid() || history > before) ? history : _now;
}

void ListFolderMerge::resolveConflict(const QString& uid, ListItem& mine, FolderFile& theirs) {
    _report.conflicts.append(nameOf(*mine.item));
    const QDateTime listTime = lastChangeOf(uid, *mine.item);
    if (theirs.modified.isValid() && theirs.modified > listTime) {
        _copies.emplace_back(mine.item, conflictCopy(*mine.item));
        takeFromFile(uid, theirs);
        return;
    }
    NodePtr fileVersion = newToDoItem();
    applyTodoItem(*fileVersion, *theirs.content.item);
    _copies.emplace_back(mine.item, conflictCopy(*fileVersion));
}

NodePtr ListFolderMerge::conflictCopy(const Dict& version) const {
    NodePtr copy = version.deepCopy();
    copy->set(key::children, Array::create());
    removeUids(*copy);
    copy->set(key::uid, newItemUid());
    copy->set(key::name, QStringLiteral("%1 (conflict copy)").arg(nameOf(version)));
    return copy;
}

void ListFolderMerge::takeFromFile(const QString& uid, FolderFile& file) {
    _modified.insert(uid, file.modified);
    if (file.content.item->contains(key::importedRepeatRule))
        _report.keptRules.append(nameOf(*file.content.item));
    const auto existing = _items.find(uid);
    if (existing == _items.end()) {
        NodePtr item = newToDoItem();
        applyTodoItem(*item, *file.content.item);
        _placings.push_back({item, file.content.parentUid, file.content.order});
        ++_report.itemsAdded;
        return;
    }
    if (applyTodoItem(*existing->item, *file.content.item))
        ++_report.itemsUpdated;
    // A client that writes no order keeps the item where it is while its parent stays the same.
    const bool moved = existing->parentUid != file.content.parentUid ||
                       (file.content.order && *file.content.order != existing->index);
    if (moved)
        _placings.push_back({existing->item, file.content.parentUid, file.content.order});
}

bool ListFolderMerge::applyToList() {
    TreePlacement placement(_root, TreePlacement::Orders::AsPlaces);
    for (const Placing& placing : _placings)
        placement.place(placing.item, placing.parentUid, placing.order);
    if (!placement.apply()) {
        _report.error =
            QStringLiteral("The sync folder %1 nests its to-dos more than %2 levels deep, more than a "
                           "list can hold; nothing was synced.")
                .arg(_folder.path())
                .arg(kMaxItemDepth);
        return false;
    }
    std::unordered_map<const Dict*, Dict*> parents = parentsIn(_root);
    // A deleted item's children that stay take its place.
    for (const NodePtr& doomed : _doomed) {
        Dict* parent = parents[doomed.get()];
        const auto place = parent ? placeOf(*parent, *doomed) : std::vector<Value>::iterator();
        if (!parent || place == childrenOf(*parent)->items.end()) {
            qCWarning(lcSync) << "an item to delete is not in the list:" << nameOf(*doomed);
            continue;
        }
        const ArrayPtr orphans = childrenOf(*doomed);
        const auto next = childrenOf(*parent)->items.erase(place);
        if (orphans) {
            childrenOf(*parent)->items.insert(next, orphans->items.begin(), orphans->items.end());
            for (const Value& orphan : orphans->items)
                parents[orphan.asDict().get()] = parent;
        }
        ++_report.itemsRemoved;
    }
    for (const auto& [original, copy] : _copies) {
        Dict* parent = parents[original.get()];
        childrenOf(*parent)->items.insert(placeOf(*parent, *original) + 1, copy);
        parents[copy.get()] = parent;
    }
    _report.listChanged = _report.listChanged || !_placings.empty() || !_doomed.empty() || !_copies.empty() ||
                          _report.itemsUpdated > 0;
    return true;
}

void ListFolderMerge::updateFolder() {
    QSet<QString> inList;
    forEachItemBelow(_root, [&](const NodePtr& item, const Dict& parent, qsizetype index) {
        const QString uid = uidOf(*item);
        inList.insert(uid);
        if (_skipped.contains(uid))
            return;
        const QString parentUid = uidOf(parent);
        const QByteArray hash = itemFingerprint(*item, parentUid, index);
        const auto file = _files.find(uid);
        if (file != _files.end() && file->second.saysAt(index) == hash) {
            _state.items.insert(uid, {hash, file->second.hash, file->second.name,
                                      _modified.value(uid, file->second.modified)});
            return;
        }
        writeFile(uid, item, todoContentOf(*item, parentUid, index), hash);
    });
    for (auto& [uid, file] : _files) {
        if (inList.contains(uid))
            continue;
        if (const QString error = _folder.remove(file.name); !error.isEmpty()) {
            _report.problems.append(error);
            continue;
        }
        ++_report.filesRemoved;
        _state.items.remove(uid);
    }
    for (auto it = _state.items.begin(); it != _state.items.end();) {
        const bool gone =
            !inList.contains(it.key()) && !_files.count(it.key()) && !_skipped.contains(it.key());
        it = gone ? _state.items.erase(it) : std::next(it);
    }
}

void ListFolderMerge::writeFile(const QString& uid, const NodePtr& item, const TodoContent& content,
                                const QByteArray& hash) {
    const QDateTime modified = lastChangeOf(uid, *item);
    const auto existing = _files.find(uid);
    FolderFile* file = existing == _files.end() ? nullptr : &existing->second;
    if (file && !file->calendar && !parse(*file))
        return;
    QString name;
    IcalComponentPtr fresh;
    icalcomponent* calendar = nullptr;
    if (file && file->todo) {
        // Rewrite only what we own; what other clients wrote into the file stays.
        updateTodo(file->todo, content, modified);
        calendar = file->calendar.get();
        name = file->name;
    } else {
        fresh = calendarHolding(newTodo(content, modified));
        calendar = fresh.get();
        name = VdirFolder::fileNameForUid(uid);
        if (_takenNames.contains(name))
            name = VdirFolder::fileNameForUid(newItemUid());
        _takenNames.insert(name);
    }
    const QByteArray bytes = icalText(calendar);
    if (const QString error = _folder.write(name, bytes); !error.isEmpty()) {
        _report.problems.append(error);
        return;
    }
    ++_report.filesWritten;
    _state.items.insert(uid, {hash, VdirFolder::hashOf(bytes), name, modified});
}

} // namespace tardigo
