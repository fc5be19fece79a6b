#include "agenda/core/agenda_lists.h"

#include "archive/list_file.h"
#include "model/core_log.h"

#include <QFileInfo>

namespace tardigo {

namespace {

// A save is a rename and more: the signals of one save are taken together.
constexpr int kSettleMsecs = 10;

} // namespace

AgendaLists::AgendaLists(QObject* parent) : QObject(parent) {
    _settle.setSingleShot(true);
    _settle.setInterval(kSettleMsecs);
    connect(&_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
        _pending.insert(path);
        _settle.start();
    });
    connect(&_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
        _pending.insert(path);
        _settle.start();
    });
    connect(&_settle, &QTimer::timeout, this, &AgendaLists::filesMayHaveChanged);
}

QString AgendaLists::keyOf(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

AgendaLists::List* AgendaLists::find(const QString& key) {
    for (List& list : _lists)
        if (list.path == key)
            return &list;
    return nullptr;
}

const AgendaLists::List* AgendaLists::list(const QString& path) const {
    return const_cast<AgendaLists*>(this)->find(keyOf(path));
}

void AgendaLists::setFiles(const QStringList& paths) {
    QStringList keys;
    for (const QString& path : paths)
        if (const QString key = keyOf(path); !keys.contains(key))
            keys.append(key);
    QStringList staying = keys;
    for (const List& list : _lists)
        if (list.open && !keys.contains(list.path))
            staying.append(list.path);
    QStringList held;
    for (const List& list : _lists)
        held.append(list.path);
    if (staying == held)
        return;
    std::vector<List> lists;
    QSet<QString> named;
    for (const QString& key : keys) {
        if (named.contains(key))
            continue;
        named.insert(key);
        if (List* kept = find(key)) {
            lists.push_back(std::move(*kept));
            continue;
        }
        lists.push_back({key, nullptr, false, std::nullopt});
        refresh(lists.back(), true);
        watch(key);
    }
    // An open window's list stays, named or not.
    for (List& list : _lists)
        if (list.open && !named.contains(list.path) && list.root)
            lists.push_back(std::move(list));
    for (const List& list : _lists)
        if (!list.path.isEmpty() && !named.contains(list.path) && !list.open)
            _watcher.removePath(list.path);
    _lists = std::move(lists);
    emit listsChanged();
}

void AgendaLists::adoptRead(const QString& path, const NodePtr& root) {
    List* list = find(keyOf(path));
    if (!list || list->open || !root)
        return;
    // Only a version newer than the one held is news.
    const std::optional<FileIdentity> read = FileIdentity::of(list->path);
    if (read == list->read && list->root)
        return;
    list->root = root;
    list->read = read;
    emit listChanged(list->path);
}

void AgendaLists::setOpen(const QString& path, const NodePtr& root) {
    const QString key = keyOf(path);
    List* list = find(key);
    if (!list) {
        _lists.push_back({key, root, true, std::nullopt});
        emit listsChanged();
        return;
    }
    list->root = root;
    list->open = true;
    emit listChanged(key);
}

void AgendaLists::closeOpen(const QString& path) {
    const QString key = keyOf(path);
    List* list = find(key);
    if (!list || !list->open)
        return;
    list->open = false;
    // What the window saved is on disk; what it did not save is gone with it.
    refresh(*list, true);
    watch(key);
    emit listChanged(key);
}

void AgendaLists::openListChanged(const QString& path) {
    const QString key = keyOf(path);
    if (const List* list = find(key); list && list->open)
        emit listChanged(key);
}

bool AgendaLists::refresh(List& list, bool force) {
    const std::optional<FileIdentity> now = FileIdentity::of(list.path);
    if (!force && now == list.read)
        return false;
    list.read = now;
    if (!now) {
        list.root = nullptr;
        return true;
    }
    const ListLoad load = readListFile(list.path);
    if (!load.ok() || load.isLegacy) {
        qCInfo(lcAgenda).noquote() << "the agenda leaves out" << list.path << load.error;
        list.root = nullptr;
        return true;
    }
    list.root = load.root;
    return true;
}

void AgendaLists::watch(const QString& key) {
    // A save replaces the file: its folder is watched too, for the new one.
    const QString folder = QFileInfo(key).absolutePath();
    if (!_watcher.directories().contains(folder))
        _watcher.addPath(folder);
    if (QFileInfo::exists(key) && !_watcher.files().contains(key))
        _watcher.addPath(key);
}

void AgendaLists::filesMayHaveChanged() {
    const QSet<QString> pending = std::exchange(_pending, {});
    for (List& list : _lists) {
        if (list.open)
            continue;
        if (!pending.contains(list.path) && !pending.contains(QFileInfo(list.path).absolutePath()))
            continue;
        if (refresh(list, false)) {
            watch(list.path);
            emit listChanged(list.path);
        }
    }
}

} // namespace tardigo
