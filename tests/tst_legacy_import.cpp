#include "archive/archive_codec.h"
#include "archive/generic_archive.h"
#include "archive/legacy_classes.h"
#include "archive/list_file.h"
#include "document/tardigo_document.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace tardigo;

namespace {

const QString kNewerMessage = QStringLiteral(
    "This list was saved by a newer version of Tardigo, which this version cannot read. Please "
    "install the current version of Tardigo and open it there.");
constexpr qint64 kNoVersion = std::numeric_limits<qint32>::max();

/// A 1.x item's fields; nil object fields are left empty in the archive.
struct Item1x {
    Value name, dateCreated, dateDue, notes, color;
    double completed = 0;
    qint32 periodicStatus = 0;
    Value dateCompleted;
};

CalendarDate calendarDate(const QString& utc, const char* zone) {
    const QDateTime time = QDateTime::fromString(utc, Qt::ISODate);
    return CalendarDate{referenceSecondsFromDateTime(time),
                        zone ? std::optional(TimeZone{zone, {}}) : std::nullopt, std::nullopt};
}

GenericValue objectRef(qint64 index) {
    return GenericValue{'@', index < 0, index};
}

/// A 1.x archive written with our own writers: the platform objects through the class layer, the
/// two 1.x classes around them through the generic layer.
struct Archive1x {
    qint64 envelopeVersion = kDocumentEnvelopeVersion;
    qint64 itemVersion = kToDoItemVersion;
    bool bigEndian = false;
    std::vector<Item1x> items;
    std::vector<Value> strangers; ///< content elements of other classes, after the items

    QByteArray bytes() const {
        // Every platform object goes into one array archived first; its elements become objects
        // that the 1.x objects then refer to.
        ArrayPtr platform = Array::create();
        const auto add = [&](const Value& v) -> qint64 {
            if (v.isNil())
                return -1;
            platform->items.push_back(v);
            return platform->size() - 1;
        };
        std::vector<std::vector<qint64>> itemFields;
        for (const Item1x& i : items)
            itemFields.push_back({add(i.name), add(i.dateCreated), add(i.dateDue), add(i.notes), add(i.color),
                                  add(i.dateCompleted)});
        std::vector<qint64> strangerFields, extraFields;
        for (const Value& v : strangers)
            strangerFields.push_back(add(v));
        for (const Value& v : {Value("{{0, 0}, {400, 300}}"), Value::integer(7), Value(Dict::create())})
            extraFields.push_back(add(v));

        GenericArchive archive = readGenericArchive(encodeArchive(platform)).archive;
        const auto objectOf = [&](qint64 element) -> qint64 {
            return element < 0 ? -1 : archive.objects[0].groups[size_t(element) + 1].values[0].integer();
        };
        const auto classNamed = [&](const QByteArray& name) {
            for (size_t i = 0; i < archive.classes.size(); ++i)
                if (archive.classes[i].name == name)
                    return qint32(i);
            return qint32(-1);
        };
        const qint32 nsObject = classNamed("NSObject");
        const qint32 arrayClass = archive.objects[0].classIndex;
        const auto newClass = [&](const QByteArray& name, qint64 version) {
            archive.classes.push_back({name, version, nsObject});
            return qint32(archive.classes.size() - 1);
        };
        const qint32 itemClass = newClass("ToDoItem", itemVersion);
        const qint32 envelopeClass = newClass("TardigoDocumentEnvelope", envelopeVersion);
        const auto newObject = [&](qint32 cls, std::vector<GenericGroup> groups) {
            archive.objects.push_back({cls, std::move(groups)});
            return qint64(archive.objects.size() - 1);
        };

        std::vector<GenericGroup> content{
            {"i", {GenericValue{'i', false, qint64(items.size() + strangers.size())}}}};
        for (size_t n = 0; n < items.size(); ++n) {
            const std::vector<qint64>& f = itemFields[n];
            std::vector<GenericGroup> groups;
            for (size_t field = 0; field < 5; ++field)
                groups.push_back({"@", {objectRef(objectOf(f[field]))}});
            groups.push_back({"f", {GenericValue{'f', false, items[n].completed}}});
            if (itemVersion >= 1)
                groups.push_back({"i", {GenericValue{'i', false, qint64(items[n].periodicStatus)}}});
            if (itemVersion >= 3)
                groups.push_back({"@", {objectRef(objectOf(f[5]))}});
            content.push_back({"@", {objectRef(newObject(itemClass, groups))}});
        }
        for (qint64 stranger : strangerFields)
            content.push_back({"@", {objectRef(objectOf(stranger))}});
        std::vector<GenericGroup> envelope{{"@", {objectRef(newObject(arrayClass, content))}}};
        if (envelopeVersion <= 1)
            for (qint64 extra : extraFields)
                envelope.push_back({"@", {objectRef(objectOf(extra))}});
        archive.groups = {{"@", {objectRef(newObject(envelopeClass, envelope))}}};
        archive.bigEndian = bigEndian;
        return writeGenericArchive(archive);
    }
};

const Color kRust{Color::CalibratedRGB, {0.75f, 0.25f, 0.125f, 1.0f}, {}, {}, {}};

/// Three items as a user kept them: one done and repeating, one a quarter done, one left blank
/// but for a colour of the wrong kind.
Archive1x sampleList() {
    Archive1x list;
    list.items.push_back({"Pay rent", calendarDate("2003-05-17T12:03:22Z", "America/New_York"),
                          calendarDate("2003-06-01T00:00:00Z", "Asia/Tokyo"), Value::data("rtfd bytes"),
                          kRust, 1.0, 3, calendarDate("2003-05-20T16:30:00Z", "Europe/Berlin")});
    list.items.push_back(
        {"Call Anna – über Skype", calendarDate("2003-01-10T12:00:00Z", nullptr), {}, {}, {}, 0.25, 0, {}});
    Item1x blank;
    blank.color = "red"; // of another kind: read as no colour
    list.items.push_back(blank);
    return list;
}

const QString& text(const Dict& node, const QString& key) {
    static const QString none = QStringLiteral("(absent)");
    const QString* s = node.value(key).asString();
    return s ? *s : none;
}

QStringList historyMessages(const Dict& node) {
    QStringList messages;
    for (const Value& entry : node.value(key::history).asArray()->items)
        messages << text(*entry.asDict(), key::message);
    return messages;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestLegacyImport : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;

private slots:
    void init() { Settings::instance().useMemoryOnly(); }

    void convertsEveryVersion_data() {
        QTest::addColumn<qint64>("envelopeVersion");
        QTest::addColumn<qint64>("itemVersion");
        QTest::addColumn<bool>("bigEndian");
        for (qint64 envelope = 0; envelope <= 2; ++envelope)
            for (qint64 item = 0; item <= 3; ++item)
                QTest::addRow("envelope %lld, item %lld", envelope, item) << envelope << item << false;
        QTest::newRow("big-endian") << qint64(2) << qint64(3) << true;
    }

    void convertsEveryVersion() {
        QFETCH(qint64, envelopeVersion);
        QFETCH(qint64, itemVersion);
        QFETCH(bool, bigEndian);
        const test::FixedClock clock(test::localTime("2024-02-29 09:15:00"));
        Archive1x archive = sampleList();
        archive.envelopeVersion = envelopeVersion;
        archive.itemVersion = itemVersion;
        archive.bigEndian = bigEndian;

        const ListLoad load = importLegacyList(archive.bytes(), "old.todo");
        QVERIFY2(load.ok(), qPrintable(load.error));
        QVERIFY(!load.changed);
        QVERIFY(!load.root->contains(key::beta1DateFixedUp));
        QCOMPARE(load.root->value(key::documentType), Value(kTodoListType));
        const ArrayPtr items = childrenOf(*load.root);
        QCOMPARE(items->size(), 3);
        const Dict& rent = *childAt(*items, 0);
        const Dict& call = *childAt(*items, 1);
        const Dict& blank = *childAt(*items, 2);

        QCOMPARE(text(rent, key::name), QStringLiteral("Pay rent"));
        QCOMPARE(text(call, key::name), QStringLiteral("Call Anna – über Skype"));
        QCOMPARE(text(blank, key::name), QStringLiteral("<no name>"));

        // Each date in the zone it was kept in; a date without one in the local zone.
        QCOMPARE(text(rent, key::dateCreated), QStringLiteral("2003-05-17 08:03:22 -0400"));
        QCOMPARE(text(rent, key::due), QStringLiteral("2003-06-01 09:00:00 +0900"));
        QCOMPARE(text(rent, key::dateCompleted),
                 itemVersion >= 3 ? QStringLiteral("2003-05-20 18:30:00 +0200") : QStringLiteral("(absent)"));
        QCOMPARE(text(call, key::dateCreated), QStringLiteral("2003-01-10 13:00:00 +0100"));
        QCOMPARE(text(blank, key::dateCreated), QStringLiteral("2024-02-29 09:15:00 +0100"));
        QVERIFY(!call.contains(key::due) && !blank.contains(key::dateCompleted));

        QVERIFY(isCompleted(rent));
        QVERIFY(hasPartialCompletion(call));
        QCOMPARE(completionOf(call), 0.25f);
        QCOMPARE(completionOf(blank), 0.0f);
        QCOMPARE(rent.value(key::dateDueRepeatPeriod), Value::integer(itemVersion >= 1 ? 3 : 0));
        QCOMPARE(blank.value(key::dateDueRepeatPeriod), Value::integer(0));

        QCOMPARE(*rent.value(key::notes).asData(), QByteArray("rtfd bytes"));
        const ArchiveDecodeResult color = decodeArchive(*rent.value(key::color).asData());
        QCOMPARE(*color.root.asColor(), kRust);
        QVERIFY(!call.contains(key::notes) && !call.contains(key::color) && !blank.contains(key::color));

        for (const Dict* node : {&rent, &call, &blank}) {
            QCOMPARE(historyMessages(*node), (QStringList{"item created", "imported from 1.x doc"}));
            const DictPtr imported = node->value(key::history).asArray()->items[1].asDict();
            QCOMPARE(text(*imported, key::timestamp), QStringLiteral("2024-02-29 09:15:00 +0100"));
        }
    }

    void refusesWhatItCannotConvert_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("isLegacy");
        Archive1x newer = sampleList();
        newer.envelopeVersion = 3;
        QTest::newRow("newer envelope") << newer.bytes() << kNewerMessage << true;
        Archive1x noEnvelopeVersion = sampleList();
        noEnvelopeVersion.envelopeVersion = kNoVersion;
        QTest::newRow("envelope without version")
            << noEnvelopeVersion.bytes()
            << QStringLiteral("failed to decode version for TardigoDocumentEnvelope") << true;
        Archive1x noItemVersion = sampleList();
        noItemVersion.itemVersion = kNoVersion;
        QTest::newRow("item without version")
            << noItemVersion.bytes() << QStringLiteral("version of ToDoItem not found") << true;
        Archive1x stranger = sampleList();
        stranger.strangers.push_back("not an item");
        QTest::newRow("stranger in the content")
            << stranger.bytes() << QStringLiteral("not a ToDoItem") << true;
        QTest::newRow("current list")
            << encodeArchive(newListRoot())
            << QStringLiteral("of the class “NSMutableDictionary”, not a TardigoDocumentEnvelope") << false;
    }

    void refusesWhatItCannotConvert() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QFETCH(bool, isLegacy);
        const ListLoad load = importLegacyList(bytes, "old.todo");
        QVERIFY(!load.ok());
        QVERIFY2(load.error.startsWith("“old.todo”") && load.error.contains(reason), qPrintable(load.error));
        // Reading it as a list still tells a 1.x list, however it fails to convert.
        QCOMPARE(decodeListFile(bytes, kTodoListType, "old.todo").isLegacy, isLegacy);
    }

    void damagedArchivesFailCleanly() {
        const QByteArray whole = sampleList().bytes();
        for (qsizetype length = 0; length < whole.size(); ++length)
            QVERIFY(!importLegacyList(whole.left(length), "cut.todo").ok());
    }

    void documentConvertsUnderTheOldName() {
        const QString path = _dir.filePath("document.todo");
        writeFile(path, sampleList().bytes());
        TardigoDocument document;
        QString error;
        bool isLegacy = false;
        QVERIFY(!document.readFromFile(path, &error, &isLegacy));
        QVERIFY(isLegacy);
        QVERIFY2(document.importLegacyFile(path, &error), qPrintable(error));
        QCOMPARE(document.fileName(), path);
        QVERIFY(!document.isDocumentEdited());
        QVERIFY2(document.writeToFile(document.fileName(), &error), qPrintable(error));
        // The saved list is a current one, repaired and marked changed when first read back.
        const ListLoad reread = readListFile(path);
        QVERIFY2(reread.ok(), qPrintable(reread.error));
        QVERIFY(reread.changed);
        QCOMPARE(childrenOf(*reread.root)->size(), 3);
    }

    void itemsSharingNotesKeepSharingThemAfterTheImport() {
        // One note shared by 200 items of a 1.x list is one note in the converted list too.
        Archive1x archive;
        const Value notes = Value::data(QByteArray(64 * 1024, 'n'));
        for (int i = 0; i < 200; ++i) {
            Item1x& item = archive.items.emplace_back();
            item.name = QStringLiteral("item %1").arg(i);
            item.notes = notes;
        }
        const QByteArray bytes = archive.bytes();
        QVERIFY(bytes.size() < 128 * 1024);
        const ListLoad load = importLegacyList(bytes, "old.todo");
        QVERIFY2(load.ok(), qPrintable(load.error));
        const QString path = _dir.filePath("shared.todo");
        QVERIFY(writeListFile(path, load.root).isEmpty());
        QVERIFY2(QFileInfo(path).size() < 2 * bytes.size(),
                 qPrintable(QString::number(QFileInfo(path).size())));
    }

    void cliImportsThenShows() {
        const QString old = _dir.filePath("old.todo"), converted = _dir.filePath("new.todo");
        writeFile(old, sampleList().bytes());
        QCOMPARE(test::runCli({"check", old}).exitCode, 3);
        const test::CliRun imported = test::runCli({"import", old, converted});
        QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
        const test::CliRun shown = test::runCli({"show", converted});
        QCOMPARE(shown.exitCode, 0);
        QCOMPARE(shown.out,
                 QStringLiteral("2/3 outstanding\n"
                                "100% Pay rent due 2003-06-01 09:00:00 +0900 repeats monthly by weekday\n"
                                " 25% Call Anna – über Skype\n"
                                "  0% <no name>\n"));
        const test::CliRun again = test::runCli({"import", old, converted});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains("--force"));
        const test::CliRun full = test::runCliOnFullDisk({"import", old, converted, "--force"});
        QCOMPARE(full.exitCode, 1);
        QVERIFY2(full.err.contains("File too large"), qPrintable(full.err));
        QCOMPARE(test::runCli({"show", converted}).out, shown.out);
        QCOMPARE(test::runCli({"import", old, converted, "--force"}).exitCode, 0);

        Archive1x newer = sampleList();
        newer.envelopeVersion = 3;
        writeFile(old, newer.bytes());
        QCOMPARE(test::runCli({"check", old}).exitCode, 3);
        const test::CliRun refused = test::runCli({"import", old, _dir.filePath("never.todo")});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(kNewerMessage), qPrintable(refused.err));
        QVERIFY(!QFile::exists(_dir.filePath("never.todo")));
    }
};

QTEST_GUILESS_MAIN(TestLegacyImport)
#include "tst_legacy_import.moc"
