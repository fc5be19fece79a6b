// The desktop's search without the bus: what it finds across lists and in which order, the ids that
// find an item again (or none, never another item), what a result shows, and the lists read from
// disk, kept while their files stay the same and never written.
#include "archive/list_file.h"
#include "desktop_search/core/desktop_search.h"
#include "desktop_search/core/list_shelf.h"
#include "document_fixture.h"
#include "platform/file_identity.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

NodePtr listOf(std::initializer_list<NodePtr> items) {
    NodePtr root = newListRoot();
    for (const NodePtr& item : items)
        appendChild(*root, item);
    return root;
}

std::shared_ptr<const ListIndex> indexOf(const QString& path, const NodePtr& root) {
    return std::make_shared<const ListIndex>(path, QFileInfo(path).fileName(), root);
}

QStringList namesOf(const SearchedLists& lists, const QStringList& ids) {
    QStringList names;
    for (const QString& id : ids) {
        const std::optional<ResultMeta> meta = resultMeta(lists, id);
        names << (meta ? meta->name : QStringLiteral("(gone)"));
    }
    return names;
}

} // namespace

class TestDesktopSearch : public QObject {
    Q_OBJECT
    QTemporaryDir _folder;

private slots:
    void namesComeFirstThenTheRestInListOrder() {
        const NodePtr home = listOf({makeItem("Call the bank", {{key::notes, notesData("milk money")}}),
                                     makeItem("Buy milk"), makeItem("Bread")});
        const NodePtr work = listOf(
            {makeItem("Report", {{key::category, Value("milk run")}}), makeItem("Milk for the office")});
        const SearchedLists lists{indexOf("/lists/home.todo", home), indexOf("/lists/work.todo", work)};
        QCOMPARE(namesOf(lists, searchLists(lists, {"MILK"})),
                 (QStringList{"Buy milk", "Milk for the office", "Call the bank", "Report"}));
        // The desktop splits what was typed into terms: every one must match.
        QCOMPARE(namesOf(lists, searchLists(lists, {"milk", "office"})), QStringList{"Milk for the office"});
        QCOMPARE(namesOf(lists, searchLists(lists, {"milk"}, 2)),
                 (QStringList{"Buy milk", "Milk for the office"}));
        QVERIFY(searchLists(lists, {}).isEmpty());
        QVERIFY(searchLists(lists, {"  "}).isEmpty());
    }

    void resultsAreBounded() {
        NodePtr root = newListRoot();
        for (int i = 0; i < 500; ++i)
            appendChild(*root, makeItem(QStringLiteral("task %1").arg(i)));
        const SearchedLists lists{indexOf("/lists/many.todo", root), indexOf("/lists/more.todo", root)};
        QCOMPARE(searchLists(lists, {"task"}).size(), qsizetype(kMostDesktopResults));
    }

    void anIdFindsItsItemOrNone() {
        // An item with a uid is found wherever it went; one without is found at its place only while
        // the item there still has its name.
        const NodePtr withUid = makeItem("Dentist", {{key::uid, Value("3F2A-11")}});
        const NodePtr parent = makeItem("Health");
        appendChild(*parent, withUid);
        const NodePtr plain = makeItem("Pharmacy");
        appendChild(*parent, plain);
        const NodePtr root = listOf({parent});
        const SearchedLists lists{indexOf("/home/anna/my:lists/health.todo", root)};
        const QStringList ids = searchLists(lists, {"dentist"}) + searchLists(lists, {"pharmacy"});
        QCOMPARE(ids.size(), 2);
        for (const QString& id : ids)
            QCOMPARE(ResultKey::fromId(id)->toId(), id); // a colon in the path is no separator

        childrenOf(*parent)->items.insert(childrenOf(*parent)->items.begin(), Value(makeItem("Optician")));
        QCOMPARE(namesOf(lists, ids), (QStringList{"Dentist", "(gone)"}));
        const std::optional<FoundItem> found = findResultItem(*root, *ResultKey::fromId(ids[0]));
        QVERIFY(found && found->item == withUid);
        QCOMPARE(found->path, (QList<int>{0, 1}));
        // Back at its place, but renamed: still not the item found.
        childrenOf(*parent)->items.erase(childrenOf(*parent)->items.begin());
        QCOMPARE(namesOf(lists, ids), (QStringList{"Dentist", "Pharmacy"}));
        plain->set(key::name, QStringLiteral("Drugstore"));
        QVERIFY(!findResultItem(*root, *ResultKey::fromId(ids[1])));
        // A list that is not searched (closed, no longer watched) has none of its items.
        QVERIFY(!resultMeta({}, ids[0]));
    }

    void idsThatAreNoneOfOurs_data() {
        QTest::addColumn<QString>("id");
        for (const char* id :
             {"", "uid", "uid::/a.todo", "uid:x:", "at:0/1:ab", "at:0/x:ab:/a.todo", "at:0/-1:ab:/a.todo",
              "at:0:12345:/a.todo", "at::ab:/a.todo", "file:///a.todo"})
            QTest::newRow(id) << QString::fromLatin1(id);
    }
    void idsThatAreNoneOfOurs() {
        QFETCH(QString, id);
        QVERIFY(!ResultKey::fromId(id));
        const SearchedLists lists{indexOf("/a.todo", listOf({makeItem("a")}))};
        QVERIFY(!resultMeta(lists, id));
    }

    void aResultShowsPlainLines() {
        const NodePtr trip = makeItem("Trip\nto Rome");
        const NodePtr tickets = makeItem(QStringLiteral("Tickets\t\u2028") + QString(300, u'x'));
        appendChild(*trip, tickets);
        const SearchedLists lists{indexOf("/lists/travel.todo", listOf({trip}))};
        const std::optional<ResultMeta> meta = resultMeta(lists, searchLists(lists, {"tickets"}).value(0));
        QVERIFY(meta);
        QCOMPARE(meta->description, QStringLiteral("travel.todo / Trip to Rome"));
        QCOMPARE(meta->name.size(), qsizetype(kLongestResultText));
        QVERIFY(meta->name.startsWith(QStringLiteral("Tickets xxx")));
        QVERIFY(meta->name.endsWith(QChar(0x2026)));
        // A letter outside the first plane is never cut in half.
        const QString cut = resultLine(QString::fromUcs4(U"\U0001F600").repeated(kLongestResultText));
        QCOMPARE(cut.size(), qsizetype(kLongestResultText - 1));
        QVERIFY(cut.at(cut.size() - 2).isLowSurrogate());
    }

    void theShelfReadsAListAgainOnlyWhenItsFileChanged() {
        const QString path = _folder.filePath("errands.todo");
        writeList(path, {makeItem("Post office")});
        ListShelf shelf;
        const std::shared_ptr<const ListIndex> first = shelf.list(path);
        QVERIFY(first);
        QCOMPARE(first->title(), QStringLiteral("errands.todo"));
        QVERIFY(shelf.list(path) == first);
        QCOMPARE(shelf.reads(), 1);

        writeList(path, {makeItem("Post office"), makeItem("Garden centre")});
        const SearchedLists lists{shelf.list(path)};
        QCOMPARE(shelf.reads(), 2);
        QCOMPARE(namesOf(lists, searchLists(lists, {"garden"})), QStringList{"Garden centre"});

        const QString notAList = _folder.filePath("notes.todo");
        QFile file(notAList);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a list");
        file.close();
        QVERIFY(!shelf.list(notAList));
        QVERIFY(!shelf.list(notAList));
        QCOMPARE(shelf.reads(), 3); // a broken file is not read at every search

        shelf.keepOnly({notAList});
        QVERIFY(shelf.list(path));
        QCOMPARE(shelf.reads(), 4);
        QVERIFY(QFile::remove(path));
        QVERIFY(!shelf.list(path));
    }

    void searchingNeverWrites() {
        // A list whose reading repairs it in memory stays as it is on disk.
        const QString path = _folder.filePath("unrepaired.todo");
        NodePtr root = listOf({makeItem("Old item")});
        root->remove(key::beta1DateFixedUp);
        QCOMPARE(writeListFile(path, root), QString());
        const QByteArray before = fileBytes(path);
        const std::optional<FileIdentity> identity = FileIdentity::of(path);
        const auto files = [this] { return QDir(_folder.path()).entryList(QDir::Files | QDir::Hidden); };
        const QStringList filesBefore = files();
        ListShelf shelf;
        const SearchedLists lists{shelf.list(path)};
        QCOMPARE(namesOf(lists, searchLists(lists, {"old"})), QStringList{"Old item"});
        QCOMPARE(fileBytes(path), before);
        QVERIFY(FileIdentity::of(path) == identity);
        QCOMPARE(files(), filesBefore); // not even a lock file
    }
};

QTEST_GUILESS_MAIN(TestDesktopSearch)
#include "tst_desktop_search.moc"
