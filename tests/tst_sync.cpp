// Two-way sync of a list with a vdir folder: the rules as a table of what each side did, and what
// the folder keeps of other clients.
#include "sync_fixture.h"

#include "ical/todo_mapping.h"
#include "model/item_uids.h"
#include "sync/sync_all.h"

using namespace tardigo;
using namespace tardigo::test;

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
        pair.editList(kFirstSync.addSecs(-60), [](const NodePtr& root) {
            const NodePtr house = addItem(*root, QStringLiteral("House"));
            addItem(*house, QStringLiteral("Roof"));
            addItem(*house, QStringLiteral("Door"));
        });
        pair.editList(kFirstSync, [](const NodePtr& root) { addItem(*root, QStringLiteral("Car")); });
        QVERIFY(pair.sync(kFirstSync).ok());
        const QString houseUid =
            *test::findItem(*pair.root(), QStringLiteral("House"))->value(key::uid).asString();
        QVERIFY(pair.bytesOf(pair.fileOf(QStringLiteral("Door")))
                    .contains("RELATED-TO;RELTYPE=PARENT:" + houseUid.toLatin1()));

        pair.writeFile(QStringLiteral("w.ics"),
                       newTodoFile(QStringLiteral("w"), QStringLiteral("Window"), houseUid));
        QVERIFY(pair.sync(kSecondSync).ok());
        QCOMPARE(pair.listOutline(), (QStringList{"House", "  Roof", "  Door", "  Window", "Car"}));

        const QByteArray car = pair.bytesOf(pair.fileOf(QStringLiteral("Car")));
        QVERIFY(QFile::remove(QDir(pair.folder()).filePath(pair.fileOf(QStringLiteral("House")))));
        const SyncReport flattened = pair.sync(kSecondSync.addDays(1));
        QVERIFY(flattened.ok());
        QCOMPARE(pair.listOutline(), (QStringList{"Roof", "Door", "Window", "Car"}));
        QVERIFY(!pair.bytesOf(pair.fileOf(QStringLiteral("Door"))).contains("RELATED-TO"));
        // Only the children that lost their parent are written; their sibling stays as it was.
        QCOMPARE(flattened.filesWritten, 3);
        QCOMPARE(pair.bytesOf(pair.fileOf(QStringLiteral("Car"))), car);
    }

    // A move among siblings writes the moved to-do alone, with the sort order other clients share
    // (its new neighbour's less one); another list synced with the folder shows the same order.
    void aMoveWritesOnlyTheMovedTodo() {
        SyncedPair pair;
        for (const char* name : {"A", "B", "C", "D"})
            pair.editList(kFirstSync.addSecs(-100 + 10 * (*name - 'A')),
                          [&](const NodePtr& root) { addItem(*root, QString::fromLatin1(name)); });
        QVERIFY(pair.sync(kFirstSync).ok());
        QMap<QString, QByteArray> before;
        for (const QString& name : pair.fileNames())
            before.insert(name, pair.bytesOf(name));
        QVERIFY(!before.first().contains("SORT-ORDER"));
        pair.editList(kListEdit, [](const NodePtr& root) {
            std::vector<Value>& items = childrenOf(*root)->items;
            std::rotate(items.begin(), items.end() - 1, items.end()); // D first
        });
        const SyncReport moved = pair.sync(kSecondSync);
        QVERIFY(moved.ok());
        QCOMPARE(moved.filesWritten, 1);
        const QString d = pair.fileOf(QStringLiteral("D"));
        const qint64 aKey = *creationKey(*test::findItem(*pair.root(), QStringLiteral("A")));
        QVERIFY(pair.bytesOf(d).contains("X-APPLE-SORT-ORDER:" + QByteArray::number(aKey - 1) + "\r\n"));
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QVERIFY(it.key() == d || pair.bytesOf(it.key()) == it.value());

        SyncedPair other;
        QDir(other.folder()).removeRecursively();
        QVERIFY(QFile::link(pair.folder(), other.folder()));
        QVERIFY(other.sync(kSecondSync.addSecs(60)).ok());
        QCOMPARE(other.listOutline(), (QStringList{"D", "A", "B", "C"}));
        QCOMPARE(pair.sync(kSecondSync.addSecs(120)).filesWritten, 0);
    }

    // Files an earlier version wrote keep their order and are not rewritten; a to-do moved since
    // gets the shared sort order in place of the old one.
    void earlierOrdersAreReadNotWritten() {
        SyncedPair pair;
        for (int i = 0; i < 3; ++i) {
            QByteArray old = newTodoFile(QStringLiteral("old-%1").arg(i), QStringLiteral("Old %1").arg(i));
            old.replace("END:VTODO", "CREATED:20240101T100000Z\r\nX-TARDIGO-ORDER:" +
                                         QByteArray::number(2 - i) + "\r\nEND:VTODO");
            pair.writeFile(QStringLiteral("old-%1.ics").arg(i), old);
        }
        const SyncReport first = pair.sync(kFirstSync);
        QVERIFY(first.ok());
        QCOMPARE(first.filesWritten, 0);
        QCOMPARE(pair.listOutline(), (QStringList{"Old 2", "Old 1", "Old 0"}));
        pair.editList(kListEdit, [](const NodePtr& root) {
            std::vector<Value>& items = childrenOf(*root)->items;
            std::rotate(items.begin(), items.begin() + 1, items.end()); // Old 2 last
        });
        QCOMPARE(pair.sync(kSecondSync).filesWritten, 1);
        const QByteArray moved = pair.bytesOf(QStringLiteral("old-2.ics"));
        QVERIFY2(moved.contains("X-APPLE-SORT-ORDER:3\r\n") && !moved.contains("X-TARDIGO-ORDER"),
                 moved.constData());
    }

    // A tree written on the parents (RELTYPE=CHILD) follows another client's moves, and the list's:
    // a child moved or deleted here leaves its old parent's list of children.
    void treesNamedByTheirParents() {
        SyncedPair pair;
        const auto todo = [](const char* uid, const QByteArray& lines) {
            return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Planify//EN\r\nBEGIN:VTODO\r\nUID:" +
                   QByteArray(uid) + "\r\nSUMMARY:" + uid + "\r\nDTSTAMP:20240530T195255Z\r\n" + lines +
                   "END:VTODO\r\nEND:VCALENDAR\r\n";
        };
        pair.writeFile(QStringLiteral("p.ics"),
                       todo("p", "RELATED-TO;RELTYPE=CHILD:a\r\nRELATED-TO;RELTYPE=CHILD:b\r\n"
                                 "RELATED-TO;RELTYPE=SIBLING:q\r\n"));
        pair.writeFile(QStringLiteral("q.ics"), todo("q", {}));
        pair.writeFile(QStringLiteral("a.ics"), todo("a", {}));
        pair.writeFile(QStringLiteral("b.ics"), todo("b", {}));
        QVERIFY(pair.sync(kFirstSync).ok());
        QCOMPARE(pair.listOutline(), (QStringList{"p", "  a", "  b", "q"}));

        // Another client moves b under q: p names it no more, q does.
        pair.writeFile(QStringLiteral("p.ics"),
                       todo("p", "RELATED-TO;RELTYPE=CHILD:a\r\nRELATED-TO;RELTYPE=SIBLING:q\r\n"));
        pair.writeFile(QStringLiteral("q.ics"), todo("q", "RELATED-TO;RELTYPE=CHILD:b\r\n"));
        QVERIFY(pair.sync(kSecondSync).ok());
        QCOMPARE(pair.listOutline(), (QStringList{"p", "  a", "q", "  b"}));

        // Here a goes to the top level and b is deleted: their parents name them no more, the other
        // relation stays, and a's own file says nothing of a parent.
        pair.editList(kSecondSync.addSecs(60), [](const NodePtr& root) {
            const NodePtr a = test::findItem(*root, QStringLiteral("a"));
            deleteItemFromTree(root, a.get());
            childrenOf(*root)->items.push_back(a);
            remove(root, QStringLiteral("b"));
        });
        const SyncReport report = pair.sync(kSecondSync.addSecs(120));
        QVERIFY(report.ok());
        QCOMPARE(pair.listOutline(), (QStringList{"p", "q", "a"}));
        QVERIFY(!pair.bytesOf(QStringLiteral("p.ics")).contains("CHILD"));
        QVERIFY(pair.bytesOf(QStringLiteral("p.ics")).contains("RELATED-TO;RELTYPE=SIBLING:q\r\n"));
        QVERIFY(!pair.bytesOf(QStringLiteral("q.ics")).contains("CHILD"));
        QVERIFY(!pair.bytesOf(QStringLiteral("a.ics")).contains("RELATED-TO"));
        QVERIFY(!QFile::exists(QDir(pair.folder()).filePath(QStringLiteral("b.ics"))));
        QCOMPARE(pair.sync(kSecondSync.addSecs(180)).filesWritten, 0);
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
        Settings::instance().setMinderLists({pair.list(), unsynced.list(), pair.list()});
        Settings::instance().setValue(pref::syncCommand, QStringLiteral("echo ran >> '%1'").arg(log));
        pair.writeFile(QStringLiteral("n.ics"), newTodoFile(QStringLiteral("n-uid"), QStringLiteral("N")));

        SyncOptions options;
        options.stateFolder = pair.stateFolder();
        const SyncAllReport report = syncAllLists(options);
        QVERIFY(report.ok());
        QCOMPARE(report.lists.size(), size_t(1));
        QCOMPARE(report.lists.front().first, pair.list());
        QCOMPARE(pair.listOutline(), (QStringList{"A", "N"}));
        QFile ran(log);
        QVERIFY(ran.open(QIODevice::ReadOnly));
        QCOMPARE(ran.readAll(), QByteArray("ran\nran\n"));

        Settings::instance().setValue(pref::syncCommand, QStringLiteral("/bin/false"));
        const SyncAllReport failed = syncAllLists(options);
        QCOMPARE(failed.commandErrors.size(), 2);
        QVERIFY(failed.commandErrors.front().contains(QStringLiteral("/bin/false")));
        QCOMPARE(failed.lists.size(), size_t(1));
        Settings::instance().remove(pref::syncCommand);
    }

    void missingFolderIsReported() {
        SyncedPair pair;
        SyncOptions options;
        options.bind = true;
        options.stateFolder = pair.stateFolder();
        const SyncReport report = syncList(pair.list(), pair.folder() + QStringLiteral("/nowhere"), options);
        QVERIFY(!report.ok());
        QVERIFY(report.error.contains(QStringLiteral("nowhere")));
    }
};

QTEST_GUILESS_MAIN(TestSync)
#include "tst_sync.moc"
