// Two-way sync of a list with a vdir folder: the rules as a table of what each side did, and what
// the folder keeps of other clients.
#include "ical_fixture.h"

#include "archive/list_file.h"
#include "model/clock.h"
#include "model/item_uids.h"
#include "model/item_walk.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "sync/list_sync.h"
#include "sync/sync_all.h"

#include <QDir>
#include <QTemporaryDir>

using namespace tardigo;

namespace {

const QDateTime kFirstSync = test::localTime(QStringLiteral("2024-06-01 10:00:00"));
const QDateTime kListEdit = test::localTime(QStringLiteral("2024-06-02 10:00:00"));
const QDateTime kSecondSync = test::localTime(QStringLiteral("2024-06-04 10:00:00"));

/// A list file, its sync folder and its own sync state, in a temporary folder.
class SyncedPair {
public:
    SyncedPair() {
        QDir(_dir.path()).mkdir(QStringLiteral("vdir"));
        QVERIFY(writeListFile(list(), newListRoot()).isEmpty());
    }

    QString list() const { return _dir.filePath(QStringLiteral("list.todo")); }
    QString folder() const { return _dir.filePath(QStringLiteral("vdir")); }

    SyncReport sync(const QDateTime& now) {
        test::FixedClock clock(now);
        return syncList(list(), folder(), _dir.filePath(QStringLiteral("state")));
    }

    /// Changes the list file as the window would, stamping history at `now`.
    void editList(const QDateTime& now, const std::function<void(const NodePtr& root)>& edit) {
        test::FixedClock clock(now);
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
            const test::ReadBack back = test::readFirstTodo(bytesOf(name));
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

NodePtr addItem(Dict& parent, const QString& name) {
    return test::addItem(parent, {{key::name, name}});
}

void rename(Dict& root, const QString& from, const QString& to) {
    const NodePtr item = test::findItem(root, from);
    item->set(key::name, to);
    VKlogMessage(*item, QStringLiteral("set name"));
}

void remove(const NodePtr& root, const QString& name) {
    const NodePtr item = test::findItem(*root, name);
    VKdeleteItem(root, item.get());
}

QByteArray newTodoFile(const QString& uid, const QString& name, const QString& parentUid = {}) {
    NodePtr item = test::itemWith({{key::uid, uid}, {key::name, name}});
    return test::todoText(*item, parentUid);
}

} // namespace

class TestSync : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::startCalendarTest(); }

    void rules_data() {
        QTest::addColumn<QString>("list");   // what the list did to item A since the first sync
        QTest::addColumn<QString>("folder"); // what another client did to A's file
        QTest::addColumn<QStringList>("items");
        QTest::newRow("nothing") << ""
                                 << "" << QStringList{"A", "B"};
        QTest::newRow("changed in the list") << "change"
                                             << "" << QStringList{"A list", "B"};
        QTest::newRow("changed in the folder") << ""
                                               << "change" << QStringList{"A folder", "B"};
        QTest::newRow("deleted in the list") << "delete"
                                             << "" << QStringList{"B"};
        QTest::newRow("deleted in the folder") << ""
                                               << "delete" << QStringList{"B"};
        QTest::newRow("deleted in the list, changed in the folder")
            << "delete"
            << "change" << QStringList{"A folder", "B"};
        QTest::newRow("changed in the list, deleted in the folder") << "change"
                                                                    << "delete" << QStringList{"A list", "B"};
        QTest::newRow("new in the list") << "new"
                                         << "" << QStringList{"A", "B", "N list"};
        QTest::newRow("new in the folder") << ""
                                           << "new" << QStringList{"A", "B", "N folder"};
        QTest::newRow("changed on both, the folder later")
            << "change"
            << "change later" << QStringList{"A folder", "A list (conflict copy)", "B"};
        QTest::newRow("changed on both, the list later")
            << "change"
            << "change earlier" << QStringList{"A list", "A folder (conflict copy)", "B"};
        QTest::newRow("changed alike on both") << "change alike"
                                               << "change alike" << QStringList{"A both", "B"};
    }

    void rules() {
        QFETCH(QString, list);
        QFETCH(QString, folder);
        QFETCH(QStringList, items);
        SyncedPair pair;
        pair.editList(kFirstSync.addSecs(-60), [](const NodePtr& root) {
            addItem(*root, QStringLiteral("A"));
            addItem(*root, QStringLiteral("B"));
        });
        QVERIFY(pair.sync(kFirstSync).ok());
        QCOMPARE(pair.fileSummaries(), (QStringList{"A", "B"}));

        pair.editList(kListEdit, [&](const NodePtr& root) {
            if (list == QLatin1String("change"))
                rename(*root, QStringLiteral("A"), QStringLiteral("A list"));
            else if (list == QLatin1String("change alike"))
                rename(*root, QStringLiteral("A"), QStringLiteral("A both"));
            else if (list == QLatin1String("delete"))
                remove(root, QStringLiteral("A"));
            else if (list == QLatin1String("new"))
                addItem(*root, QStringLiteral("N list"));
        });
        const QDateTime later = kListEdit.addSecs(3600), earlier = kListEdit.addSecs(-3600);
        if (folder == QLatin1String("change"))
            pair.editFile(QStringLiteral("A"), "SUMMARY:A\r\n", "SUMMARY:A folder\r\n", later);
        else if (folder == QLatin1String("change later") || folder == QLatin1String("change earlier"))
            pair.editFile(QStringLiteral("A"), "SUMMARY:A\r\n", "SUMMARY:A folder\r\n",
                          folder.endsWith(QLatin1String("later")) ? later : earlier);
        else if (folder == QLatin1String("change alike"))
            pair.editFile(QStringLiteral("A"), "SUMMARY:A\r\n", "SUMMARY:A both\r\n", later);
        else if (folder == QLatin1String("delete"))
            QVERIFY(QFile::remove(QDir(pair.folder()).filePath(pair.fileOf(QStringLiteral("A")))));
        else if (folder == QLatin1String("new"))
            pair.writeFile(QStringLiteral("n.ics"),
                           newTodoFile(QStringLiteral("n-uid"), QStringLiteral("N folder")));

        const SyncReport report = pair.sync(kSecondSync);
        QVERIFY2(report.ok() && report.problems.isEmpty(),
                 qPrintable(report.summary() + report.problems.join(u' ')));
        QCOMPARE(pair.listOutline(), items);
        QStringList sorted = items;
        sorted.sort();
        QCOMPARE(pair.fileSummaries(), sorted);
        QCOMPARE(report.conflicts.size(), items.filter(QStringLiteral("(conflict copy)")).size());

        // Both sides now agree: syncing again changes nothing on either.
        const QStringList files = pair.fileNames();
        const SyncReport again = pair.sync(kSecondSync.addSecs(60));
        QVERIFY(!again.listChanged);
        QCOMPARE(again.filesWritten + again.filesRemoved, 0);
        QCOMPARE(pair.fileNames(), files);
    }

    // What another client wrote into a to-do stays when the item changes here, and files that are
    // not ours, or that do not read, are left alone.
    void otherClientsFilesAreLeftAlone() {
        SyncedPair pair;
        pair.editList(kFirstSync, [](const NodePtr& root) { addItem(*root, QStringLiteral("A")); });
        QVERIFY(pair.sync(kFirstSync).ok());
        pair.editFile(QStringLiteral("A"), "END:VTODO", "X-OTHER-FLAG:starred\r\nPRIORITY:1\r\nEND:VTODO",
                      kFirstSync);
        const SyncReport taken = pair.sync(kFirstSync.addSecs(60));
        QCOMPARE(taken.itemsUpdated + taken.filesWritten, 0);
        const QByteArray event =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:e1\r\n"
            "DTSTAMP:20240601T000000Z\r\nDTSTART:20240601T100000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
        const QByteArray damaged =
            "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:d1\r\nnot a line\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
        pair.writeFile(QStringLiteral("event.ics"), event);
        pair.writeFile(QStringLiteral("damaged.ics"), damaged);
        pair.writeFile(QStringLiteral("notes.txt"), "not a calendar");
        pair.editList(kListEdit, [](const NodePtr& root) {
            rename(*root, QStringLiteral("A"), QStringLiteral("A list"));
        });

        const SyncReport report = pair.sync(kSecondSync);
        QVERIFY(report.ok());
        QCOMPARE(report.problems.size(), 1);
        QVERIFY2(report.problems.front().contains(QStringLiteral("damaged.ics, line 4")),
                 qPrintable(report.problems.front()));
        const QByteArray a = pair.bytesOf(pair.fileOf(QStringLiteral("A list")));
        QVERIFY(a.contains("X-OTHER-FLAG:starred") && a.contains("PRIORITY:1"));
        QCOMPARE(pair.bytesOf(QStringLiteral("event.ics")), event);
        QCOMPARE(pair.bytesOf(QStringLiteral("damaged.ics")), damaged);
        QCOMPARE(pair.bytesOf(QStringLiteral("notes.txt")), QByteArray("not a calendar"));
        QCOMPARE(pair.listOutline(), QStringList{"A list"});

        // A synced item whose file no longer reads stays as it is, and so does its file.
        pair.writeFile(pair.fileOf(QStringLiteral("A list")), damaged);
        pair.editList(kSecondSync, [](const NodePtr& root) {
            rename(*root, QStringLiteral("A list"), QStringLiteral("A again"));
        });
        QVERIFY(pair.sync(kSecondSync.addDays(1)).ok());
        QCOMPARE(pair.listOutline(), QStringList{"A again"});
        QCOMPARE(pair.fileSummaries(), QStringList{});
    }

    // The tree travels: children follow their parent, a new child lands under its parent, and
    // the children of an item deleted elsewhere take its place.
    void treeChanges() {
        SyncedPair pair;
        pair.editList(kFirstSync, [](const NodePtr& root) {
            const NodePtr house = addItem(*root, QStringLiteral("House"));
            addItem(*house, QStringLiteral("Roof"));
            addItem(*house, QStringLiteral("Door"));
            addItem(*root, QStringLiteral("Car"));
        });
        QVERIFY(pair.sync(kFirstSync).ok());
        const QString houseUid =
            *test::findItem(*pair.root(), QStringLiteral("House"))->value(key::uid).asString();
        QVERIFY(pair.bytesOf(pair.fileOf(QStringLiteral("Door")))
                    .contains("RELATED-TO;RELTYPE=PARENT:" + houseUid.toLatin1()));

        pair.writeFile(QStringLiteral("w.ics"),
                       newTodoFile(QStringLiteral("w"), QStringLiteral("Window"), houseUid));
        QVERIFY(pair.sync(kSecondSync).ok());
        QCOMPARE(pair.listOutline(), (QStringList{"House", "  Roof", "  Door", "  Window", "Car"}));

        QVERIFY(QFile::remove(QDir(pair.folder()).filePath(pair.fileOf(QStringLiteral("House")))));
        QVERIFY(pair.sync(kSecondSync.addDays(1)).ok());
        QCOMPARE(pair.listOutline(), (QStringList{"Roof", "Door", "Window", "Car"}));
        QVERIFY(!pair.bytesOf(pair.fileOf(QStringLiteral("Door"))).contains("RELATED-TO"));
        QVERIFY(pair.bytesOf(pair.fileOf(QStringLiteral("Car"))).contains("X-TARDIGO-ORDER:3"));
    }

    // Uids come with the first sync and stay; a copy gets its own and a file of its own.
    void uidsAndCopies() {
        SyncedPair pair;
        pair.editList(kFirstSync, [](const NodePtr& root) {
            addItem(*addItem(*root, QStringLiteral("Trip")), QStringLiteral("Tickets"));
        });
        QVERIFY(!pair.root()->value(key::children).asArray()->items.front().asDict()->contains(key::uid));
        QVERIFY(pair.sync(kFirstSync).ok());
        const NodePtr trip = test::findItem(*pair.root(), QStringLiteral("Trip"));
        const Value uid = trip->value(key::uid);
        QVERIFY(uid.isString());

        pair.editList(kListEdit, [](const NodePtr& root) {
            // A pasted copy that kept its uids, as a careless paste would.
            const NodePtr copy = test::findItem(*root, QStringLiteral("Trip"))->deepCopy();
            copy->set(key::name, QStringLiteral("Trip 2"));
            test::findItem(*copy, QStringLiteral("Tickets"))->set(key::name, QStringLiteral("Tickets 2"));
            childrenOf(*root)->items.push_back(copy);
        });
        QVERIFY(pair.sync(kSecondSync).ok());
        QCOMPARE(test::findItem(*pair.root(), QStringLiteral("Trip"))->value(key::uid), uid);
        QCOMPARE(pair.fileSummaries(), (QStringList{"Tickets", "Tickets 2", "Trip", "Trip 2"}));

        const NodePtr copy = test::findItem(*pair.root(), QStringLiteral("Trip"))->deepCopy();
        removeUids(*copy);
        QVERIFY(!copy->contains(key::uid));
        QVERIFY(!test::findItem(*copy, QStringLiteral("Tickets"))->contains(key::uid));
    }

    // "sync --all": every watched list with a folder, the sync command before and after.
    void syncAllRunsTheCommand() {
        SyncedPair pair, unsynced;
        pair.editList(kFirstSync, [](const NodePtr& root) { addItem(*root, QStringLiteral("A")); });
        QVERIFY(pair.sync(kFirstSync).ok());
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("log"));
        UserDefaults::standard().setStringArray(pref::tardigoMinderDocs,
                                                {pair.list(), unsynced.list(), pair.list()});
        UserDefaults::standard().setObject(pref::syncCommand, QStringLiteral("echo ran >> '%1'").arg(log));
        pair.writeFile(QStringLiteral("n.ics"), newTodoFile(QStringLiteral("n-uid"), QStringLiteral("N")));

        const SyncAllReport report = syncAllLists(dir.filePath(QStringLiteral("state")));
        QVERIFY(report.ok());
        QCOMPARE(report.lists.size(), size_t(1));
        QCOMPARE(report.lists.front().first, pair.list());
        QCOMPARE(pair.listOutline(), (QStringList{"A", "N"}));
        QFile ran(log);
        QVERIFY(ran.open(QIODevice::ReadOnly));
        QCOMPARE(ran.readAll(), QByteArray("ran\nran\n"));

        UserDefaults::standard().setObject(pref::syncCommand, QStringLiteral("/bin/false"));
        const SyncAllReport failed = syncAllLists(dir.filePath(QStringLiteral("state")));
        QCOMPARE(failed.commandErrors.size(), 2);
        QVERIFY(failed.commandErrors.front().contains(QStringLiteral("/bin/false")));
        QCOMPARE(failed.lists.size(), size_t(1));
        UserDefaults::standard().removeObject(pref::syncCommand);
    }

    void missingFolderIsReported() {
        SyncedPair pair;
        const SyncReport report =
            syncList(pair.list(), pair.folder() + QStringLiteral("/nowhere"), pair.folder());
        QVERIFY(!report.ok());
        QVERIFY(report.error.contains(QStringLiteral("nowhere")));
    }
};

QTEST_GUILESS_MAIN(TestSync)
#include "tst_sync.moc"
