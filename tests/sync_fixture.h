#pragma once

// What the sync tests share: a list and its folder in a temporary folder, with their own state,
// and the edits each side makes.

#include "ical_fixture.h"

#include "archive/list_file.h"
#include "model/clock.h"
#include "model/item_walk.h"
#include "model/tree_operations.h"
#include "sync/list_sync.h"
#include "sync/sync_store.h"

#include <QDir>
#include <QTemporaryDir>

namespace tardigo::test {

inline const QDateTime kFirstSync = localTime(QStringLiteral("2024-06-01 10:00:00"));
inline const QDateTime kListEdit = localTime(QStringLiteral("2024-06-02 10:00:00"));
inline const QDateTime kSecondSync = localTime(QStringLiteral("2024-06-04 10:00:00"));

/// A list file, its sync folder and its own sync state, in a temporary folder.
class SyncedPair {
public:
    SyncedPair() {
        QDir(_dir.path()).mkdir(QStringLiteral("vdir"));
        QVERIFY(writeListFile(list(), newListRoot()).isEmpty());
    }

    QString list() const { return _dir.filePath(QStringLiteral("list.todo")); }
    QString folder() const { return _dir.filePath(QStringLiteral("vdir")); }

    QString stateFolder() const { return _dir.filePath(QStringLiteral("state")); }
    /// Options for a sync as the user's `tardigo-cli sync LIST FOLDER` runs it, with the pair's state.
    SyncOptions options() const {
        SyncOptions options;
        options.bind = true;
        options.stateFolder = stateFolder();
        return options;
    }

    SyncReport sync(const QDateTime& now) { return sync(now, options()); }
    SyncReport sync(const QDateTime& now, const SyncOptions& options) {
        FixedClock clock(now);
        return syncList(list(), folder(), options);
    }
    /// Syncs through another store, e.g. one that fails to write.
    SyncReport sync(const QDateTime& now, SyncStore& store, const SyncOptions& options) {
        FixedClock clock(now);
        return syncList(list(), store, options);
    }

    /// Changes the list file as the window would, stamping history at `now`.
    void editList(const QDateTime& now, const std::function<void(const NodePtr& root)>& edit) {
        FixedClock clock(now);
        const ListLoad load = readListFile(list());
        QVERIFY(load.ok());
        edit(load.root);
        QVERIFY(writeListFile(list(), load.root).isEmpty());
    }

    NodePtr root() const { return readListFile(list()).root; }

    /// Every item's name, children indented under their parent.
    QStringList listOutline() const {
        QStringList lines;
        std::unordered_map<const Dict*, int> depth;
        const NodePtr r = root();
        forEachItemBelow(*r, [&](const NodePtr& item, const Dict& parent, qsizetype) {
            depth[item.get()] = depth[&parent] + 1;
            lines << QString((depth[item.get()] - 1) * 2, u' ') + *item->value(key::name).asString();
        });
        return lines;
    }

    QStringList fileNames() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
    /// The SUMMARY of every to-do in the folder, sorted.
    QStringList fileSummaries() const {
        QStringList names;
        for (const QString& name : QDir(folder()).entryList({QStringLiteral("*.ics")}, QDir::Files)) {
            const ReadBack back = readFirstTodo(bytesOf(name));
            if (back.todo)
                names << *readTodo(back.todo).item->value(key::name).asString();
        }
        names.sort();
        return names;
    }
    /// The file holding the to-do named `summary`.
    QString fileOf(const QString& summary) const {
        for (const QString& name : QDir(folder()).entryList({QStringLiteral("*.ics")}, QDir::Files)) {
            if (bytesOf(name).contains("SUMMARY:" + summary.toUtf8() + "\r\n"))
                return name;
        }
        return {};
    }
    QByteArray bytesOf(const QString& name) const {
        QFile file(QDir(folder()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile file(QDir(folder()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    /// Edits a to-do's text as another client would, stamping it as changed at `modified`.
    void editFile(const QString& summary, const QByteArray& from, const QByteArray& to,
                  const QDateTime& modified) {
        const QString name = fileOf(summary);
        QByteArray bytes = bytesOf(name);
        QVERIFY2(bytes.contains(from), bytes.constData());
        bytes.replace(from, to);
        const qsizetype stamp = bytes.indexOf("LAST-MODIFIED:");
        bytes.replace(stamp, 30,
                      "LAST-MODIFIED:" +
                          modified.toUTC().toString(QStringLiteral("yyyyMMddTHHmmssZ")).toLatin1());
        writeFile(name, bytes);
    }

private:
    QTemporaryDir _dir;
};

inline NodePtr addItem(Dict& parent, const QString& name) {
    return addItem(parent, {{key::name, name}});
}

inline void rename(Dict& root, const QString& from, const QString& to) {
    const NodePtr item = findItem(root, from);
    item->set(key::name, to);
    appendToLog(*item, QStringLiteral("set name"));
}

inline void remove(const NodePtr& root, const QString& name) {
    const NodePtr item = findItem(*root, name);
    deleteItemFromTree(root, item.get());
}

inline QByteArray newTodoFile(const QString& uid, const QString& name, const QString& parentUid = {}) {
    NodePtr item = itemWith({{key::uid, uid}, {key::name, name}});
    return todoText(*item, parentUid);
}

} // namespace tardigo::test
