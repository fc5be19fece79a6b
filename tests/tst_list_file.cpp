#include "archive/archive_codec.h"
#include "archive/list_file.h"
#include "document/tardigo_document.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/atomic_file.h"
#include "platform/new_item.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

using namespace tardigo;

namespace {

QStringList keysOf(const Dict& node) {
    QStringList keys;
    for (const auto& entry : node.entries)
        keys << entry.first;
    return keys;
}

ListLoad roundTrip(const NodePtr& root) {
    return decodeListFile(*encodeListFile(root, kTodoListType), kTodoListType, "t.todo");
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A list of several megabytes, far more than the window a file is read through: its first and
/// last items share a dictionary and a key longer than the window.
NodePtr largeList() {
    NodePtr root = newListRoot();
    root->set(key::beta1DateFixedUp, Value::boolean(true));
    const DictPtr shared = Dict::create();
    shared->set(QStringLiteral("shared"), Value::boolean(true));
    const QString longKey(1536 * 1024, u'k');
    for (int i = 0; i < 2000; ++i) {
        NodePtr item = newToDoItem();
        item->set(key::name, QStringLiteral("Item %1").arg(i));
        item->set(key::notes, Value::data(QByteArray(2048, char('a' + i % 26))));
        if (i == 0 || i == 1999) {
            item->set(key::nodeStatus, shared);
            item->set(longKey, Value::integer(i));
        }
        childrenOf(*root)->items.push_back(item);
    }
    return root;
}

/// Makes writes past the size fail, as a full disk does, whoever runs the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t size) : _signal(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &_old);
        const rlimit limit{size, _old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &_old);
        std::signal(SIGXFSZ, _signal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit _old{};
    void (*_signal)(int);
};

} // namespace

class TestListFile : public QObject {
    Q_OBJECT
private slots:
    void init() { Settings::instance().useMemoryOnly(); }

    void newListReadsBackUnchangedAndAnOldOneIsRepairedOnce() {
        const NodePtr root = newListRoot();
        const ListLoad saved = roundTrip(root);
        QVERIFY(saved.ok());
        QVERIFY(!saved.changed);
        QCOMPARE(keysOf(*saved.root),
                 (QStringList{key::children, key::documentType, key::panelInspector, key::inspectorVisible,
                              key::completion, key::columnSortDirections, key::beta1DateFixedUp}));
        QVERIFY(Value(saved.root) == Value(root));

        // A list from before the repair existed opens changed, once.
        root->remove(key::beta1DateFixedUp);
        const ListLoad repaired = roundTrip(root);
        QVERIFY(repaired.changed);
        QVERIFY(flagOf(*repaired.root, key::beta1DateFixedUp));
        QVERIFY(!roundTrip(repaired.root).changed);
    }

    void itemsKeepEveryValueAndKind() {
        NodePtr root = newListRoot();
        NodePtr node = newToDoItem();
        node->set(key::completion, Value::boolean(true));
        node->set(key::fontSize, Value::float32(13.0));
        node->set(key::dateDueRepeatPeriod, Value::integer(3));
        node->set(key::reminderMark, Date{700000000.5});
        node->set(key::notes, Value::data(QByteArray("rtfd\0\0\0\0", 8)));
        childrenOf(*root)->items.push_back(node);
        const ListLoad load = roundTrip(root);
        QVERIFY(load.ok());
        const DictPtr read = childrenOf(*load.root)->items[0].asDict();
        QVERIFY(Value(read) == Value(node));
        QCOMPARE(read->value(key::completion).asNumber()->type, 'c');
        QCOMPARE(read->value(key::fontSize).asNumber()->type, 'f');
        QCOMPARE(read->value(key::dateDueRepeatPeriod).asNumber()->type, 'i');
        QCOMPARE(keysOf(*read), keysOf(*node));
        QVERIFY(read->isMutable);
        QVERIFY(read->value(key::children).asArray()->isMutable);
        QVERIFY(!read->value(key::history).asArray()->items[0].asDict()->isMutable);
    }

    void loadRepairsRunOnRead() {
        NodePtr root = newListRoot();
        root->remove(key::beta1DateFixedUp); // as lists from before the repair
        NodePtr a = newToDoItem();
        a->set(key::dateCreated, Date{0.0});
        // The archive keeps one object listed twice as one; its look-alike is another item.
        childrenOf(*root)->items.push_back(a);
        childrenOf(*root)->items.push_back(a);
        childrenOf(*root)->items.push_back(a->deepCopy());
        const ListLoad load = roundTrip(root);
        QVERIFY(load.ok());
        QVERIFY(load.changed);
        QCOMPARE(childrenOf(*load.root)->size(), 2);
        QVERIFY(childrenOf(*load.root)->items[0].asDict()->value(key::dateCreated).isString());

        // With the marker present the timestamps are left alone, but repeats still go, unmarked.
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        const ListLoad marked = roundTrip(root);
        QVERIFY(!marked.changed);
        QCOMPARE(childrenOf(*marked.root)->size(), 2);
        QVERIFY(childrenOf(*marked.root)->items[0].asDict()->value(key::dateCreated).isDate());
    }

    void onlyListsOpen() {
        NodePtr notAList = newListRoot();
        notAList->set(key::documentType, "Tardigo Todo List ");
        ListLoad load = roundTrip(notAList);
        QVERIFY(!load.ok());
        QVERIFY(load.error.contains("t.todo"));
        notAList->remove(key::documentType);
        QVERIFY(!roundTrip(notAList).ok());
        QVERIFY(!decodeListFile(encodeArchive(Value("just a string")), kTodoListType, "s.todo").ok());
        QVERIFY(!encodeListFile(newListRoot(), "Plain Text"));
        const QByteArray good = *encodeListFile(newListRoot(), kTodoListType);
        QVERIFY(!decodeListFile(good, "Plain Text", "t.todo").ok());
        load = decodeListFile(good.left(good.size() - 3), kTodoListType, "cut.todo");
        QVERIFY(!load.ok());
        QVERIFY2(load.error.contains("cut.todo") && load.error.contains("byte"), qPrintable(load.error));
    }

    void savingIsAtomicAndSaysWhyItFailed() {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.todo");
        QVERIFY(writeListFile(path, newListRoot()).isEmpty());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        NodePtr root = newListRoot();
        childrenOf(*root)->items.push_back(newToDoItem());
        QVERIFY(writeListFile(path, root).isEmpty());
        QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther),
                 QFileDevice::Permissions());
        const ListLoad load = readListFile(path);
        QVERIFY(load.ok());
        QCOMPARE(childrenOf(*load.root)->size(), 1);

        const QString error = writeListFile(dir.filePath("missing/folder/list.todo"), root);
        QVERIFY2(error.contains("list.todo"), qPrintable(error));
        QVERIFY(!readListFile(dir.filePath("nothing.todo")).ok());
        QVERIFY(readListFile(dir.path()).error.contains("folder"));
    }

    void aLargeListGoesThroughItsFileUnchanged() {
        QTemporaryDir dir;
        const QString path = dir.filePath("large.todo");
        const NodePtr root = largeList();
        QVERIFY(writeListFile(path, root).isEmpty());
        QCOMPARE(fileBytes(path), encodeArchive(root));
        const ListLoad load = readListFile(path);
        QVERIFY2(load.ok(), qPrintable(load.error));
        QVERIFY(!load.changed);
        QVERIFY(Value(load.root) == Value(root));
        const ArrayPtr items = childrenOf(*load.root);
        QVERIFY(items->items.front().asDict()->value(key::nodeStatus).asDict() ==
                items->items.back().asDict()->value(key::nodeStatus).asDict());
    }

    void aSaveFailingAnywhereKeepsThePreviousFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.todo");
        NodePtr before = newListRoot();
        childrenOf(*before)->items.push_back(newToDoItem());
        QVERIFY(writeListFile(path, before).isEmpty());
        const QByteArray old = fileBytes(path);
        NodePtr after = newListRoot();
        for (const char* name : {"milk", "bread"}) {
            childrenOf(*after)->items.push_back(newToDoItem());
            childrenOf(*after)->items.back().asDict()->set(key::name, name);
        }
        const QByteArray whole = encodeArchive(after);

        for (qint64 offset = 0; offset < whole.size(); ++offset) {
            const auto fault = SimulatedDiskFault::atByte(offset);
            QCOMPARE(writeListFile(path, after), "Could not save “list.todo”: No space left on device. The "
                                                 "previous version of the file is unchanged.");
            QCOMPARE(fileBytes(path), old);
        }
        {
            const auto fault = SimulatedDiskFault::atSync();
            QCOMPARE(writeListFile(path, after), "Could not save “list.todo”: Input/output error. The "
                                                 "previous version of the file is unchanged.");
            QCOMPARE(fileBytes(path), old);
        }
        // The system's own failure is caught as well, part way through a large list or at the last
        // piece of a small one.
        for (const auto& [size, list] :
             {std::pair{rlim_t(3 << 20), largeList()}, {rlim_t(whole.size() - 1), after}}) {
            const FileSizeLimit limit(size);
            QCOMPARE(
                writeListFile(path, list),
                "Could not save “list.todo”: File too large. The previous version of the file is unchanged.");
            QCOMPARE(fileBytes(path), old);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.todo"});
        QVERIFY(writeListFile(path, after).isEmpty());
        QCOMPARE(fileBytes(path), whole);
    }

    void theDocumentReportsAFailedSaveAndStaysChanged() {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.todo");
        const NodePtr unrepaired = newListRoot();
        unrepaired->remove(key::beta1DateFixedUp);
        QVERIFY(writeListFile(path, unrepaired).isEmpty());
        const QByteArray old = fileBytes(path);
        TardigoDocument document;
        QString error;
        QVERIFY(document.readFromFile(path, &error));
        QVERIFY(document.isDocumentEdited()); // the first read marks the list repaired
        {
            const auto fault = SimulatedDiskFault::atSync();
            QVERIFY(!document.writeToFile(path, &error));
        }
        QVERIFY2(error.contains("list.todo") && error.contains("Input/output error"), qPrintable(error));
        QVERIFY(document.isDocumentEdited());
        QCOMPARE(fileBytes(path), old);
        document.close();
    }

    void onlyRegularFilesAreRead() {
        // A pipe would wait for a writer and a device would never end: both are refused unread.
        QTemporaryDir dir;
        const QString pipe = dir.filePath("pipe.todo");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        for (const QString& odd : {pipe, QStringLiteral("/dev/zero")}) {
            const ListLoad load = readListFile(odd);
            QVERIFY(!load.ok());
            QVERIFY2(load.error.contains(QFileInfo(odd).fileName()) &&
                         load.error.contains("not a regular file"),
                     qPrintable(load.error));
            QVERIFY(!importLegacyListFile(odd).ok());
        }
        QVERIFY(readListFile(dir.path()).error.contains("folder"));
    }

    void aTreeTooDeepForTheReaderIsNeverWritten() {
        // The deepest list that can be saved opens again; one level more is refused on the way out.
        QTemporaryDir dir;
        const QString path = dir.filePath("deep.todo");
        NodePtr root = newListRoot();
        NodePtr deepest = root;
        for (int depth = 1; depth <= kMaxItemDepth; ++depth) {
            const NodePtr item = newToDoItem();
            childrenOf(*deepest)->items.push_back(item);
            deepest = item;
        }
        QVERIFY(writeListFile(path, root).isEmpty());
        const ListLoad load = readListFile(path);
        QVERIFY2(load.ok(), qPrintable(load.error));
        const QByteArray saved = fileBytes(path);

        childrenOf(*deepest)->items.push_back(newToDoItem());
        QCOMPARE(writeListFile(path, root),
                 "Could not save “deep.todo”: it nests objects more than 1000 levels "
                 "deep, which no reader would open. The previous version of the "
                 "file is unchanged.");
        QCOMPARE(fileBytes(path), saved);
        QVERIFY(!encodeListFile(root, kTodoListType));
    }

    void sharedNotesStayOneObjectThroughEverySave() {
        // Items sharing one large note when read share it when written, so adding an item to such
        // a list does not make it balloon.
        QTemporaryDir dir;
        const QString path = dir.filePath("shared.todo");
        const Value notes = Value::data(QByteArray(1 << 20, 'n'));
        const QString category(200, u'c');
        NodePtr root = newListRoot();
        for (int i = 0; i < 3000; ++i) {
            childrenOf(*root)->items.push_back(newToDoItem());
            childrenOf(*root)->items.back().asDict()->set(key::notes, notes);
            childrenOf(*root)->items.back().asDict()->set(key::category, category);
        }
        QVERIFY(writeListFile(path, root).isEmpty());
        const qint64 size = QFileInfo(path).size();
        QVERIFY2(size < 2 << 20, qPrintable(QString::number(size)));

        const ListLoad load = readListFile(path);
        QVERIFY2(load.ok(), qPrintable(load.error));
        const auto valueOf = [&](int i, const QString& key) -> const Value& {
            return childrenOf(*load.root)->items[size_t(i)].asDict()->value(key);
        };
        QVERIFY(valueOf(0, key::notes).asData()->constData() ==
                valueOf(2999, key::notes).asData()->constData());
        QVERIFY(valueOf(0, key::category).asString()->constData() ==
                valueOf(2999, key::category).asString()->constData());
        childrenOf(*load.root)->items.push_back(newToDoItem());
        QVERIFY(writeListFile(path, load.root).isEmpty());
        QVERIFY(QFileInfo(path).size() < size + 4096);
        // Read and written again, it is the same archive.
        QCOMPARE(encodeArchive(readListFile(path).root), fileBytes(path));
    }

    void watchListGrowsOnce() {
        addToMinderWatchList("/tmp/a.todo");
        addToMinderWatchList("/tmp/b.todo");
        addToMinderWatchList("/tmp/a.todo");
        addToMinderWatchList(QString());
        QCOMPARE(Settings::instance().minderLists(), (QStringList{"/tmp/a.todo", "/tmp/b.todo"}));
    }
};

QTEST_GUILESS_MAIN(TestListFile)
#include "tst_list_file.moc"
