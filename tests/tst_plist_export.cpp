#include "archive/list_file.h"
#include "exchange/plist_export.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/new_item.h"
#include "platform/settings.h"
#include "rich_text/notes_text.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;

namespace {

/// The export as Python's plistlib reads it, turned into JSON; nothing when python3 is missing.
std::optional<QJsonValue> readWithPlistlib(const QString& path) {
    if (QStandardPaths::findExecutable("python3").isEmpty())
        return std::nullopt;
    QProcess python;
    python.start("python3", {"-c",
                             "import json, plistlib, sys\n"
                             "print(json.dumps(plistlib.load(open(sys.argv[1], 'rb')), default=str))",
                             path});
    python.waitForFinished(30000);
    if (python.exitCode() != 0)
        return QJsonValue(QString::fromUtf8(python.readAllStandardError()));
    return QJsonDocument::fromJson("[" + python.readAllStandardOutput() + "]").array().first();
}

} // namespace

class TestPlistExport : public QObject {
    Q_OBJECT
private slots:
    void init() { Settings::instance().useMemoryOnly(); }

    void exportsItemsWithoutDisplayKeysAndLeavesTheListAlone() {
        NodePtr root = newListRoot();
        root->set(key::sortedColumn, "name");
        NodePtr item = newToDoItem();
        item->set(key::name, "Tax <return> & receipts");
        item->set(key::fontName, "Cantarell");
        item->set(key::fontSize, Value::float32(14));
        item->set(key::icon, "vk_heart");
        item->set(key::minderTimestampTodo, Date{1000.0});
        item->set(key::reminderMark, Date{1000.0});
        item->set(key::reminderSet, Value::boolean(true));
        item->set(key::dateDueRepeatPeriod, Value::integer(2));
        TextRun run;
        run.text = "Bring the\nblue folder";
        run.bold = true;
        item->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({run}))));
        NodePtr child = newToDoItem();
        child->set(key::notes, Value::data("not rich text"));
        childrenOf(*item)->items.push_back(child);
        childrenOf(*root)->items.push_back(item);
        const NodePtr before = root->deepCopy();

        QTemporaryDir dir;
        const QString path = dir.filePath("out.plist");
        QVERIFY(exportPropertyListFile(*root, path).isEmpty());
        QVERIFY(Value(root) == Value(before));

        const auto read = readWithPlistlib(path);
        if (!read)
            QSKIP("python3 is not installed");
        QVERIFY2(read->isArray(), qPrintable(read->toString()));
        const QJsonObject exported = read->toArray().first().toObject();
        QCOMPARE(exported.value("name").toString(), QStringLiteral("Tax <return> & receipts"));
        QCOMPARE(exported.value("notes").toString(), QStringLiteral("Bring the\nblue folder"));
        QCOMPARE(exported.value("reminder set").toBool(), true);
        QCOMPARE(exported.value("date due repeat period").toInt(), 2);
        for (const QString& gone :
             {key::fontName, key::fontSize, key::icon, key::minderTimestampTodo, key::reminderMark})
            QVERIFY2(!exported.contains(gone), qPrintable(gone));
        QCOMPARE(exported.value("history").toArray().first().toObject().value("message").toString(),
                 QStringLiteral("item created"));
        // Notes that do not decode stay data rather than being lost.
        QVERIFY(exported.value("children").toArray().first().toObject().contains("notes"));
    }

    void anEmptyListExportsAnEmptyArray() {
        const QByteArray plist = exportPropertyList(*newListRoot());
        QVERIFY(plist.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        QVERIFY(plist.contains("<array/>") || plist.contains("<array>\n</array>") ||
                plist.contains("<array></array>"));
        QTemporaryDir dir;
        QVERIFY(exportPropertyListFile(*newListRoot(), dir.filePath("empty.plist")).isEmpty());
        if (const auto read = readWithPlistlib(dir.filePath("empty.plist")))
            QCOMPARE(*read, QJsonValue(QJsonArray()));
        QVERIFY(!exportPropertyListFile(*newListRoot(), dir.filePath("no/such/folder/x.plist")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPlistExport)
#include "tst_plist_export.moc"
