#include "archive/archive_codec.h"
#include "archive/archive_decoder.h"
#include "archive/class_decoder_registry.h"
#include "archive/generic_archive.h"
#include "archive/typed_stream_writer.h"
#include "exchange/value_json.h"
#include "model/keys.h"
#include "typed_stream_test_data.h"

#include <QBuffer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

using namespace tardigo;
using namespace tardigo::test;

namespace {

/// Decodes the bytes as a file is read: through a window of `size` bytes that moves along.
ArchiveDecodeResult decodeThroughWindow(const QByteArray& bytes, qint64 size) {
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return ArchiveDecoder(ArchiveSource(device, size), nullptr).decode();
}

/// An entry as the program makes it, or built by hand as a dictionary (both are written alike).
Value makeEntry(const QString& message, bool byHand = false) {
    const QString timestamp = QStringLiteral("2003-05-17 14:03:22 +0200");
    if (!byHand)
        return tardigo::historyEntry(timestamp, message);
    DictPtr entry = Dict::create(false);
    entry->set(key::timestamp, timestamp);
    entry->set(key::message, message);
    return entry;
}

Value immutableDict(std::vector<std::pair<QString, Value>> entries) {
    DictPtr dict = Dict::create(false);
    dict->entries = std::move(entries);
    return dict;
}

DictPtr itemWithHistory(std::vector<Value> entries) {
    DictPtr item = Dict::create();
    ArrayPtr history = Array::create();
    history->items = std::move(entries);
    item->set(key::history, history);
    return item;
}

int objectsOfClass(const QByteArray& archive, const QByteArray& className) {
    const GenericArchiveReadResult generic = readGenericArchive(archive);
    int count = 0;
    for (const GenericObject& object : generic.archive.objects)
        count += generic.archive.classes[size_t(object.classIndex)].name == className;
    return count;
}

/// A list as the program keeps it: nested mutable items with immutable history entries. Items
/// from 300 on carry notes and share one dictionary, so that their references go past entry 237.
DictPtr makeList(int count) {
    DictPtr root = Dict::create();
    root->set(key::documentType, QStringLiteral("Tardigo Todo List"));
    root->set(key::panelInspector, Value::boolean(false));
    root->set(key::completion, Value::integer(0));
    root->set(key::columnSortDirections, Dict::create());
    root->set(key::color, Color{Color::DeviceRGB, {0.25f, 0.5f, 1.0f, 1.0f}, {}, {}, nullptr});
    ArrayPtr top = Array::create();
    root->set(key::children, top);
    DictPtr shared = Dict::create();
    shared->set(QStringLiteral("shared"), Value::boolean(true));
    ArrayPtr parent = top;
    for (int i = 0; i < count; ++i) {
        DictPtr item = Dict::create();
        item->set(key::dateCreated,
                  QStringLiteral("2003-05-%1 14:03:22 +0200").arg(1 + i % 28, 2, 10, QLatin1Char('0')));
        item->set(key::name, i % 7 ? QStringLiteral("Item %1").arg(i)
                                   : QStringLiteral("Küche räumen ✓ %1 🙂").arg(i));
        item->set(key::completion, i % 5 ? Value::float32(i % 4 / 4.0) : Value::boolean(true));
        item->set(key::dateDueRepeatPeriod, Value::integer(i % 12));
        item->set(key::category, Value(i % 3 ? QStringLiteral("Work") : QString(), i % 2 == 1));
        item->set(key::reminderMark, Date{1e8 + i + 0.25});
        if (i % 50 == 0)
            item->set(key::due,
                      CalendarDate{6e7 + i * 3600.0, TimeZone{QStringLiteral("America/New_York"), {}},
                                   QStringLiteral("%Y-%m-%d %H:%M:%S %z")});
        if (i >= 300) {
            item->set(key::notes, Value::data(QByteArray(i % 40, char(i)), i % 2));
            item->set(key::nodeStatus, shared);
        }
        ArrayPtr history = Array::create();
        for (int h = 0; h < 2 + i % 4; ++h)
            history->items.push_back(
                makeEntry(h ? QStringLiteral("set name") : QStringLiteral("item created"), i % 2));
        item->set(key::history, history);
        ArrayPtr children = Array::create();
        item->set(key::children, children);
        parent->items.push_back(item);
        parent = i % 9 == 8 ? top : children; // nests a few levels, then starts again at the top
    }
    return root;
}

/// An NSArray whose two elements are the same array, and so on, `levels` deep.
QByteArray doublingArrays(int levels) {
    TypedStreamWriter out;
    out.writeHeader(1000);
    out.writeSharedString("@");
    const TypedStreamWriter::ChainLink array[] = {{"NSArray", 0}, {"NSObject", 0}};
    const TypedStreamWriter::ChainLink null[] = {{"NSNull", 0}, {"NSObject", 0}};
    std::function<qint32(int)> write = [&](int level) {
        const qint32 number = out.beginObject();
        if (level == 0) {
            out.writeClassChain(null, 2);
        } else {
            out.writeClassChain(array, 2);
            out.writeSharedString("i");
            out.writeInteger(2);
            out.writeSharedString("@");
            const qint32 element = write(level - 1);
            out.writeSharedString("@");
            out.writeReference(element);
        }
        out.endObject();
        return number;
    };
    write(levels);
    return out.take();
}

QByteArray nestedArrays(int depth) {
    QString body =
        QStringLiteral("84 01 40 84 84 84 07 'NSArray' 00 84 84 08 'NSObject' 00 85 84 01 69 01 92 ");
    for (int i = 1; i < depth; ++i)
        body += QStringLiteral("84 93 95 01 92 ");
    body += QStringLiteral("84 93 95 00 86 ");
    for (int i = 0; i < depth; ++i)
        body += QStringLiteral("86 ");
    return archiveBytes(body);
}

const QString kArrayHead =
    QStringLiteral("84 01 40 84 84 84 07 'NSArray' 00 84 84 08 'NSObject' 00 85 84 01 69 ");
const QString kStringClass = QStringLiteral("84 84 84 08 'NSString' 01 94 84 01 2B ");

} // namespace

class TestArchiveCodec : public QObject {
    Q_OBJECT
private slots:
    void samplesDecodeToTheirValues_data() {
        SKIP_WITHOUT_SAMPLES();
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("json");
        const auto row = [](const char* path, const char* json) {
            QTest::newRow(path) << QString(path) << QString(json);
        };
        const auto q = [](int n) {
            return QStringLiteral("{\"$number\":%1,\"$type\":\"q\"}").arg(n).toStdString();
        };
        row("apple-nsarchiver-foundation/NSArray", ("[\"a\"," + q(1) + ",\"b\"]").c_str());
        row("apple-nsarchiver-foundation/NSArrayEmpty", "[]");
        row("apple-nsarchiver-foundation/NSArrayNested", ("[\"top\",[" + q(1) + "," + q(2) + "]]").c_str());
        row("apple-nsarchiver-foundation/NSArrayWithNull", "[\"x\",null,\"y\"]");
        row("apple-nsarchiver-foundation/NSData", "{\"$data\":\"3q2+7wB/\"}");
        row("apple-nsarchiver-foundation/NSDate", "{\"$date\":\"2001-09-09T01:46:40.000Z\"}");
        row("apple-nsarchiver-foundation/NSDateFractional", "{\"$date\":\"2023-03-08T20:26:40.523Z\"}");
        row("apple-nsarchiver-foundation/NSDictionary", ("{\"k2\":\"v\",\"k1\":" + q(1) + "}").c_str());
        row("apple-nsarchiver-foundation/NSDictionaryNested",
            ("{\"arr\":[" + q(1) + "," + q(2) + "],\"data\":{\"$data\":\"AQI=\"},\"num\":" + q(7) + "}")
                .c_str());
        row("apple-nsarchiver-foundation/NSMutableArray", ("[\"x\"," + q(2) + "]").c_str());
        row("apple-nsarchiver-foundation/NSMutableData", "{\"$data\":\"3q2+7w==\"}");
        row("apple-nsarchiver-foundation/NSMutableDictionary", ("{\"key\":" + q(9) + "}").c_str());
        row("apple-nsarchiver-foundation/NSMutableString", "\"Hello, world\"");
        row("apple-nsarchiver-foundation/NSString", "\"Hello, world\"");
        row("apple-nsarchiver-foundation/NestedData", "[{\"$data\":\"AQI=\"},{\"$data\":\"AwQF\"}]");
        row("apple-nsarchiver-foundation/NestedStrings", "[\"imm\",\"mut\"]");
        row("apple-nsarchiver-foundation/NumberBool", "{\"$number\":1,\"$type\":\"c\"}");
        row("apple-nsarchiver-foundation/NumberDouble", "{\"$number\":100.5,\"$type\":\"d\"}");
        row("apple-nsarchiver-foundation/NumberFloat", "{\"$number\":3.5,\"$type\":\"f\"}");
        row("apple-nsarchiver-foundation/NumberInt", "{\"$number\":42,\"$type\":\"i\"}");
        row("apple-nsarchiver-foundation/NumberInt64", "{\"$number\":-9000000000,\"$type\":\"q\"}");
        row("apple-nsarchiver-swift-literals/NSArrayEmpty", "[]");
        row("apple-nsarchiver-swift-literals/NSArrayWithBool",
            "[{\"$number\":1,\"$type\":\"c\"},{\"$number\":0,\"$type\":\"c\"}]");
        row("apple-nsarchiver-swift-literals/NSArrayWithMixedType",
            ("[\"abc\"," + q(123) + ",{\"$number\":0.5,\"$type\":\"d\"},{\"$number\":1,\"$type\":\"c\"}]")
                .c_str());
        row("apple-nsarchiver-swift-literals/NSArrayWithNSNumber",
            ("[" + q(0) + "," + q(1) + "," + q(2) + "," + q(3) + "," + q(4) + "," + q(5) + "]").c_str());
        row("apple-nsarchiver-swift-literals/NSArrayWithNSString", "[\"abc\",\"def\",\"012\"]");
        row("apple-nsarchiver-swift-literals/NSArrayWithNestedArray",
            ("[\"first\",[\"second\",[\"third\"," + q(3) + "]," + q(2) + "]," + q(1) + "]").c_str());
        row("apple-nsarchiver-swift-literals/NSDictionary", ("{\"key\":" + q(123) + "}").c_str());
        row("apple-nsarchiver-swift-literals/NSNumberWith1digit", q(1).c_str());
        row("apple-nsarchiver-swift-literals/NSNumberWith2digits", q(22).c_str());
        row("apple-nsarchiver-swift-literals/NSNumberWith3digits", q(333).c_str());
        row("apple-nsarchiver-swift-literals/NSNumberWith4digits", q(4444).c_str());
        row("apple-nsarchiver-swift-literals/NSNumberWith5digits", q(55555).c_str());
        row("apple-nsarchiver-swift-literals/NSNumberWithMinus2digits", q(-22).c_str());
        row("apple-nsarchiver-swift-literals/NSNumberWithMinus5digits", q(-55555).c_str());
        row("apple-nsarchiver-swift-literals/NSNumberWithFloat", "{\"$number\":0.1358,\"$type\":\"d\"}");
        row("apple-nsarchiver-swift-literals/NSNumberWithULongLong",
            "{\"$number\":18446744073709551613,\"$type\":\"Q\"}");
        row("apple-nsarchiver-swift-literals/NSString", "\"abcdefgABCDEFG!?@[]/+*^&-_\"");
        row("apple-nsarchiver-swift-literals/NSStringNil", "\"\"");
        row("inline-samples/NSString_string_value", "\"string value\"");
        row("constructed/NSArray_two_dates_sharing_one_timezone",
            "[{\"$calendarDate\":\"2000-12-31 19:00:00 "
            "-0500\",\"$timeZone\":\"America/New_York\",\"$format\":\"%Y\"},"
            "{\"$calendarDate\":\"2001-01-01 19:00:00 "
            "-0500\",\"$timeZone\":\"America/New_York\",\"$format\":\"%Y\"}]");
        row("constructed/NSCalendarDate_2001-01-01T12:00_NewYork",
            "{\"$calendarDate\":\"2001-01-01 12:00:00 -0500\",\"$timeZone\":\"America/New_York\","
            "\"$format\":\"%Y-%m-%d %H:%M:%S %z\"}");
        row("constructed/NSCalendarDate_fractional_GMT_nilformat",
            "{\"$calendarDate\":\"2004-11-29 21:33:09 +0000\",\"$timeZone\":\"GMT\",\"$format\":null}");
        row("constructed/NSColor_calibratedRGB_1_0.5_0.25_1",
            "{\"$color\":{\"space\":1,\"components\":[1.0,0.5,0.25,1.0]}}");
        row("constructed/NSColor_calibratedWhite_0.5_1",
            "{\"$color\":{\"space\":3,\"components\":[0.5,1.0]}}");
        row("constructed/NSColor_deviceCMYK_0.1_0.2_0.3_0.4_1",
            "{\"$color\":{\"space\":5,\"components\":[0.10000000149011612,0.20000000298023224,"
            "0.30000001192092896,0.4000000059604645,1.0]}}");
        row("constructed/NSColor_deviceRGB_0.2_0.4_0.6_0.8",
            "{\"$color\":{\"space\":2,\"components\":[0.20000000298023224,0.4000000059604645,"
            "0.6000000238418579,0.800000011920929]}}");
        row("constructed/NSColor_deviceWhite_0_1", "{\"$color\":{\"space\":4,\"components\":[0.0,1.0]}}");
        row("constructed/NSColor_named_System_textColor",
            "{\"$color\":{\"space\":6,\"catalog\":\"System\",\"name\":\"textColor\","
            "\"fallback\":{\"$color\":{\"space\":3,\"components\":[0.0,1.0]}}}}");
        row("constructed/NSDictionary_bigendian_typedstream",
            "{\"count\":{\"$number\":1000,\"$type\":\"i\"},\"when\":{\"$date\":\"2001-01-01T00:00:01.500Z\"}"
            "}");
        row("constructed/NSTimeZone_America_New_York", "{\"$timeZone\":\"America/New_York\"}");
    }
    void samplesDecodeToTheirValues() {
        QFETCH(QString, path);
        QFETCH(QString, json);
        const QByteArray bytes = sampleBytes(path);
        const ArchiveDecodeResult decoded = decodeArchive(bytes);
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        QCOMPARE(QString::fromUtf8(valueToJson(decoded.root, false)), json);
        // Written back, the value gives the platform's own bytes: classes, number kinds and
        // sharing all survive (the big-endian sample comes back little-endian).
        if (!path.contains(u"bigendian"))
            QCOMPARE(encodeArchive(decoded.root), bytes);
    }

    void samplesOfOtherClassesAreRefusedByName_data() {
        SKIP_WITHOUT_SAMPLES();
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QByteArray>("rootClass");
        QTest::newRow("set") << "apple-nsarchiver-foundation/NSSet"
                             << "it holds an object of the unknown class “NSSet” at byte 19"
                             << QByteArray("NSSet");
        QTest::newRow("URL") << "apple-nsarchiver-foundation/NSURL"
                             << "it holds an object of the unknown class “NSURL” at byte 19"
                             << QByteArray("NSURL");
        QTest::newRow("attributed string")
            << "apple-nsarchiver-foundation/NSAttributedString"
            << "it holds an object of the unknown class “NSAttributedString” at byte 19"
            << QByteArray("NSAttributedString");
        QTest::newRow("set inside an array")
            << "apple-nsarchiver-foundation/NestedContainers"
            << "it holds an object of the unknown class “NSSet” at byte 233" << QByteArray("NSArray");
    }
    void samplesOfOtherClassesAreRefusedByName() {
        QFETCH(QString, path);
        QFETCH(QString, error);
        QFETCH(QByteArray, rootClass);
        const ArchiveDecodeResult decoded = decodeArchive(sampleBytes(path));
        QCOMPARE(decoded.error, error);
        QCOMPARE(decoded.errorOffset, error.section(u' ', -1).toLongLong());
        QCOMPARE(decoded.rootClassName, rootClass);
        QVERIFY(decoded.root.isNil());
    }

    void writesTheDocumentedArchiveOfAnArray() {
        ArrayPtr array = Array::create(false);
        array->items = {"a", Number::ofType('q', 1, 0, 0), "b"};
        QCOMPARE(encodeArchive(array),
                 archiveBytes(
                     "84 01 40 84 84 84 07 'NSArray' 00 84 84 08 'NSObject' 00 85 84 01 69 03 "
                     "92 84 84 84 08 'NSString' 01 94 84 01 2B 01 'a' 86 "
                     "92 84 84 84 08 'NSNumber' 00 84 84 07 'NSValue' 00 94 84 01 2A 84 84 01 71 9B 01 86 "
                     "92 84 96 97 01 'b' 86 86"));
    }

    void listsRoundTripWithKindsAndMutability() {
        const DictPtr list = makeList(400);
        const ArchiveDecodeResult decoded = decodeArchive(encodeArchive(list));
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        QCOMPARE(decoded.rootClassName, QByteArray("NSMutableDictionary"));
        QCOMPARE(decoded.root, Value(list));

        const DictPtr root = decoded.root.asDict();
        QVERIFY(root->isMutable);
        const ArrayPtr top = root->value(key::children).asArray();
        QVERIFY(top->isMutable);
        const DictPtr first = top->items[0].asDict();
        QVERIFY(first->isMutable);
        QVERIFY(!first->value(key::history).asArray()->items[0].asDict()->isMutable);
        QCOMPARE(first->value(key::completion).asNumber()->type, 'c');
        QCOMPARE(first->value(key::dateDueRepeatPeriod).asNumber()->type, 'i');
        QCOMPARE(first->value(key::category).isMutable(), false);
        QCOMPARE(top->items[1].asDict()->value(key::completion).asNumber()->type, 'f');
        QCOMPARE(root->value(key::color).asColor()->space, int(Color::DeviceRGB));
        // The dictionary shared by the items from 300 on is still one dictionary.
        std::vector<DictPtr> sharers;
        std::function<void(const ArrayPtr&)> collect = [&](const ArrayPtr& items) {
            for (const Value& item : items->items) {
                if (const DictPtr status = item.asDict()->value(key::nodeStatus).asDict())
                    sharers.push_back(status);
                collect(item.asDict()->value(key::children).asArray());
            }
        };
        collect(top);
        QCOMPARE(sharers.size(), size_t(100));
        QVERIFY(sharers.front() == sharers.back());
    }

    void aListReadThroughSmallWindowsIsTheSameList() {
        // Keys, type strings and the shared dictionary are referred to from many windows on, and
        // texts longer than a window make it grow.
        const DictPtr list = makeList(400);
        const QByteArray bytes = encodeArchive(list);
        for (const qint64 size : {1, 7, 64, 4096}) {
            const ArchiveDecodeResult decoded = decodeThroughWindow(bytes, size);
            QVERIFY2(decoded.ok(), qPrintable(decoded.error));
            QCOMPARE(decoded.root, Value(list));
        }
    }

    void aFileCutShortWhileItIsReadSaysWhereItsDataStops() {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("list.todo")));
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write(encodeArchive(makeList(40)));
        ArchiveSource source(file, 256); // knows the size from now on
        QVERIFY(file.resize(1000));
        const ArchiveDecodeResult decoded = ArchiveDecoder(std::move(source), nullptr).decode();
        QVERIFY(decoded.unreadable);
        QCOMPARE(decoded.error,
                 "it became shorter while it was being read, and no data is left at byte 1000");
        QCOMPARE(decoded.errorOffset, 1000);
        QVERIFY(decoded.root.isNil());
    }

    void numbersKeepTheirKindAndRange() {
        ArrayPtr numbers = Array::create();
        numbers->items = {
            Number::ofType('c', -128, 0, 0),
            Number::ofType('C', 0, 255, 0),
            Number::ofType('s', -32768, 0, 0),
            Number::ofType('S', 0, 65535, 0),
            Number::ofType('i', std::numeric_limits<qint32>::min(), 0, 0),
            Number::ofType('I', 0, std::numeric_limits<quint32>::max(), 0),
            Number::ofType('l', 2147483647, 0, 0),
            Number::ofType('L', 0, 4000000000U, 0),
            Number::ofType('q', std::numeric_limits<qint64>::min(), 0, 0),
            Number::ofType('Q', 0, std::numeric_limits<quint64>::max(), 0),
            Number::float32(0.1),
            Number::float64(-1e300),
            Number::float64(std::nan("")),
        };
        const ArchiveDecodeResult decoded = decodeArchive(encodeArchive(numbers));
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        const ArrayPtr back = decoded.root.asArray();
        QCOMPARE(back->size(), numbers->size());
        for (qsizetype i = 0; i < numbers->size(); ++i) {
            const Number& written = *numbers->items[size_t(i)].asNumber();
            const Number& read = *back->items[size_t(i)].asNumber();
            QCOMPARE(read.type, written.type);
            if (std::isnan(written.real))
                QVERIFY(std::isnan(read.real));
            else
                QVERIFY2(read == written, qPrintable(QString(QLatin1Char(written.type))));
        }
    }

    void sharedContainersAndEqualKeysAreWrittenOnce() {
        DictPtr shared = Dict::create();
        shared->set(QStringLiteral("k"), "v");
        ArrayPtr twice = Array::create();
        twice->items = {shared, shared, Dict::create(), Dict::create()};
        twice->items[2].asDict()->set(QStringLiteral("key"), Value::integer(1));
        twice->items[3].asDict()->set(QString::fromUtf8("ke") + u'y', Value::integer(2));
        const QByteArray bytes = encodeArchive(twice);

        const GenericArchiveReadResult generic = readGenericArchive(bytes);
        QVERIFY2(generic.ok(), qPrintable(generic.error));
        // Array, shared dictionary, "k", "v", two dictionaries, one "key" and four numbers.
        int strings = 0;
        for (const GenericObject& object : generic.archive.objects)
            strings += generic.archive.classes[size_t(object.classIndex)].name == "NSString";
        QCOMPARE(strings, 3);
        const ArchiveDecodeResult decoded = decodeArchive(bytes);
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        const ArrayPtr back = decoded.root.asArray();
        QVERIFY(back->items[0].asDict() == back->items[1].asDict());
        QVERIFY(back->items[2].asDict() != back->items[3].asDict());
    }

    void aSharedTextOrDataIsWrittenOnceAndReadBackShared() {
        // One long text as names, as a category of the mutable class, and as the messages of
        // entries compact or not; one note in two items. Each is one object, and stays one.
        const QString text = QStringLiteral("a text longer than any short one");
        const Value notes = Value::data(QByteArray(100, 'n'));
        Value kept = makeEntry(text, true);
        kept.asDict()->isMutable = true;
        const DictPtr first = itemWithHistory({makeEntry(text), kept, makeEntry(QStringLiteral("short"))});
        const DictPtr second = itemWithHistory({makeEntry(text)});
        for (const DictPtr& item : {first, second}) {
            item->set(key::name, text);
            item->set(key::category, Value(text, true));
            item->set(key::notes, notes);
        }
        ArrayPtr items = Array::create();
        items->items = {first, second};
        const QByteArray bytes = encodeArchive(items);
        const GenericArchive archive = readGenericArchive(bytes).archive;
        const auto objectsHolding = [&](const QByteArray& content) {
            return std::count_if(archive.objects.begin(), archive.objects.end(), [&](const GenericObject& o) {
                return !o.groups.empty() && o.groups.back().values.back().code == '+' &&
                       o.groups.back().values.back().bytes() == content;
            });
        };
        QCOMPARE(objectsHolding(text.toUtf8()), 2); // one of each class
        QCOMPARE(objectsOfClass(bytes, "NSMutableString"), 1);
        QCOMPARE(objectsOfClass(bytes, "NSData"), 1);

        const ArchiveDecodeResult decoded = decodeArchive(bytes);
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        QCOMPARE(decoded.root, Value(items));
        QCOMPARE(encodeArchive(decoded.root), bytes);
        for (const qint64 size : {1, 64})
            QCOMPARE(encodeArchive(decodeThroughWindow(bytes, size).root), bytes);
    }

    void historyEntriesAreKeptCompactAndWrittenAsRead() {
        const QString odd = QStringLiteral("2003-13-45 99:61:00 -0930"); // any digits of the form
        QCOMPARE(tardigo::historyEntry(odd, "m").asHistoryEntry()->timestamp(), odd);
        QVERIFY(!tardigo::historyEntry(QStringLiteral("yesterday"), "m").asHistoryEntry());
        QVERIFY(!tardigo::historyEntry(QStringLiteral("2003-05-17T14:03:22 +0200"), "m").asHistoryEntry());

        // Each entry has a timestamp of its own, as the program makes them: a compact entry keeps
        // the timestamp's digits, not its text object, which another value could not share.
        const auto stamp = [] { return Value(QString::fromLatin1("2003-05-17 14:03:22 +0200")); };
        const Value messageFirst = immutableDict({{key::message, "renamed"}, {key::timestamp, stamp()}});
        const Value mutableEntry = makeEntry(QStringLiteral("kept as a dictionary"), true);
        mutableEntry.asDict()->isMutable = true;
        const Value mutableMessage =
            immutableDict({{key::timestamp, stamp()}, {key::message, Value("m", true)}});
        const Value extraKey =
            immutableDict({{key::timestamp, stamp()}, {key::message, "m"}, {key::name, "x"}});
        const DictPtr item = itemWithHistory({tardigo::historyEntry(odd, QStringLiteral("Küche ✓")),
                                              messageFirst, mutableEntry, mutableMessage, extraKey});
        const QByteArray bytes = encodeArchive(item);
        const ArchiveDecodeResult decoded = decodeArchive(bytes);
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        QCOMPARE(decoded.root, Value(item));
        QCOMPARE(encodeArchive(decoded.root), bytes);
        const auto& entries = decoded.root.asDict()->value(key::history).asArray()->items;
        QVERIFY(entries[0].asHistoryEntry() && entries[1].asHistoryEntry());
        QCOMPARE(entries[1].asDict()->entries.front().first, key::message);
        QCOMPARE(entries[1].asDict()->value(key::timestamp), stamp());
        for (size_t i = 2; i < entries.size(); ++i)
            QVERIFY(!entries[i].asHistoryEntry());
        QVERIFY(entries[2].asDict()->isMutable);
    }

    void aSharedHistoryEntryStaysOneAndOnlyHistoriesHoldEntries() {
        // One entry in two histories is one object; a copy of an item has entries of its own.
        const Value entry = makeEntry(QStringLiteral("shared"));
        const DictPtr first = itemWithHistory({entry}), second = itemWithHistory({entry});
        ArrayPtr items = Array::create();
        items->items = {first, second, first->deepCopy()};
        const QByteArray bytes = encodeArchive(items);
        QCOMPARE(objectsOfClass(bytes, "NSDictionary"), 2);
        const ArrayPtr back = decodeArchive(bytes).root.asArray();
        const auto entryOf = [&](size_t i) {
            return back->items[i].asDict()->value(key::history).asArray()->items[0].asHistoryEntry();
        };
        QVERIFY(entryOf(0) && entryOf(0) == entryOf(1) && entryOf(2) != entryOf(0));

        // A dictionary of the same form anywhere else is a dictionary, even when it is also an
        // entry of a history: whoever holds it keeps one object, whose changes last.
        DictPtr root = Dict::create();
        root->set(key::history, Array::create());
        root->value(key::history).asArray()->items.push_back(makeEntry(QStringLiteral("twice"), true));
        root->set(key::children, Array::create());
        root->value(key::children).asArray()->items = {root->value(key::history).asArray()->items[0],
                                                       makeEntry(QStringLiteral("child"), true)};
        const DictPtr read = decodeArchive(encodeArchive(root)).root.asDict();
        QVERIFY(read->value(key::history).asArray()->items[0].asHistoryEntry());
        for (const Value& child : read->value(key::children).asArray()->items) {
            QVERIFY(!child.asHistoryEntry());
            QVERIFY(child.asDict() == child.asDict());
        }
        QCOMPARE(read->value(key::children).asArray()->items[0].asDict()->value(key::message),
                 Value("twice"));
    }

    void referencesGiveBackTheObjectsReadBefore() {
        // The platform's archiver refers back to any object it wrote before, strings and numbers
        // included, and a string first read as a value may come back as a key.
        TypedStreamWriter out;
        out.writeHeader(1000);
        out.writeSharedString("@");
        const auto begin = [&](std::initializer_list<TypedStreamWriter::ChainLink> chain) {
            const qint32 number = out.beginObject();
            out.writeClassChain(std::data(chain), int(chain.size()));
            return number;
        };
        const auto string = [&](const char* text, bool isMutable) {
            const qint32 number = isMutable
                                      ? begin({{"NSMutableString", 1}, {"NSString", 1}, {"NSObject", 0}})
                                      : begin({{"NSString", 1}, {"NSObject", 0}});
            out.writeSharedString("+");
            out.writeUtf8(QString::fromUtf8(text));
            out.endObject();
            return number;
        };
        const char* const longText = "a text longer than the short ones that are shared";
        begin({{"NSArray", 0}, {"NSObject", 0}});
        out.writeSharedString("i");
        out.writeInteger(13);
        out.writeSharedString("@");
        const qint32 shortMutable = string("Work", true);
        out.writeSharedString("@");
        string("Work", false);
        out.writeSharedString("@");
        const qint32 longString = string(longText, false);
        out.writeSharedString("@");
        const qint32 number = begin({{"NSNumber", 0}, {"NSValue", 0}, {"NSObject", 0}});
        out.writeSharedString("*");
        out.writeCString("q");
        out.writeSharedString("q");
        out.writeInteger(-70000);
        out.endObject();
        out.writeSharedString("@");
        const qint32 date = begin({{"NSDate", 0}, {"NSObject", 0}});
        out.writeSharedString("d");
        out.writeReal('d', 12.5);
        out.endObject();
        out.writeSharedString("@");
        const qint32 data = begin({{"NSData", 0}, {"NSObject", 0}});
        out.writeSharedString("i");
        out.writeInteger(2);
        out.writeSharedString("[2c]");
        out.writeBytes("xy");
        out.endObject();
        out.writeSharedString("@");
        const qint32 dict = begin({{"NSDictionary", 0}, {"NSObject", 0}});
        out.writeSharedString("i");
        out.writeInteger(2);
        for (const qint32 key : {longString, shortMutable}) {
            out.writeSharedString("@");
            out.writeReference(key);
            out.writeSharedString("@");
            out.writeReference(key == longString ? number : date);
        }
        out.endObject();
        for (const qint32 earlier : {shortMutable, longString, number, date, data}) {
            out.writeSharedString("@");
            out.writeReference(earlier);
        }
        out.writeSharedString("@");
        out.writeReference(dict);
        out.endObject();

        // Through a small window the earlier objects are read again from bytes the window has left.
        const QByteArray bytes = out.take();
        for (const ArchiveDecodeResult& decoded : {decodeArchive(bytes), decodeThroughWindow(bytes, 16)}) {
            QVERIFY2(decoded.ok(), qPrintable(decoded.error));
            const std::vector<Value>& items = decoded.root.asArray()->items;
            QCOMPARE(items.size(), size_t(13));
            for (const size_t i : {0, 1, 7}) {
                QCOMPARE(*items[i].asString(), QStringLiteral("Work"));
                QCOMPARE(items[i].isMutable(), i != 1);
            }
            QCOMPARE(*items[8].asString(), QString::fromUtf8(longText));
            QCOMPARE(items[9].asNumber()->type, 'q');
            QCOMPARE(items[9].asNumber()->integer, -70000);
            QCOMPARE(items[10], Value(Date{12.5}));
            QCOMPARE(items[11], Value::data("xy"));
            const DictPtr keyed = items[12].asDict();
            QVERIFY(keyed == items[6].asDict());
            QCOMPARE(keyed->value(QString::fromUtf8(longText)), items[3]);
            QCOMPARE(keyed->value(QStringLiteral("Work")), items[4]);
        }
    }

    void hostileArchivesGiveOneErrorWithItsOffset_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("wrong signature") << streamBytes("04 0B 'streamtypes' 81 E8 03 84 01 40 85")
                                         << "it is not a typed-stream archive (it lacks the “streamtyped” or "
                                            "“typedstream” signature) at byte 1";
        QTest::newRow("no object first")
            << archiveBytes("84 01 69 05") << "it does not start with an object at byte 16";
        QTest::newRow("reserved tag")
            << archiveBytes("84 01 40 8A") << "it holds the reserved tag byte 0x8A at byte 19";
        QTest::newRow("reference out of range")
            << archiveBytes("84 01 40 99")
            << "it refers to object-table entry 7, beyond the 0 entries read so far at byte 19";
        QTest::newRow("reference to a class") << archiveBytes(kArrayHead + "01 92 93 86")
                                              << "it refers to a class where an object belongs at byte 49";
        QTest::newRow("negative length") << archiveBytes(kArrayHead + "01 92 " + kStringClass + "FB 86 86")
                                         << "it holds the negative length -5 at byte 66";
        QTest::newRow("count of 2^31 - 1")
            << archiveBytes(kArrayHead + "82 FF FF FF 7F 92 85 86")
            << "it holds a count of 2147483647, more than the 3 bytes left can hold at byte 47";
        QTest::newRow("count of 2^31") << archiveBytes(kArrayHead + "87 00 00 00 80 00 00 00 00 86")
                                       << "it holds the negative count -2147483648 at byte 47";
        QTest::newRow("type the class does not expect")
            << archiveBytes("84 01 40 84 84 84 07 'NSArray' 00 84 84 08 'NSObject' 00 85 84 01 71 01 86")
            << "it holds a group of type “q” where NSArray expects “i” at byte 44";
        QTest::newRow("nested 100,000 deep")
            << nestedArrays(100000) << "it nests objects more than 1000 levels deep at byte 5044";
        QTest::newRow("array holding itself") << archiveBytes(kArrayHead + "01 92 92 86")
                                              << "it holds an object that contains itself at byte 49";
        QTest::newRow("references doubling 40 times")
            << doublingArrays(40)
            << "it refers back to its objects so often that it would expand to more than 1049330 values at "
               "byte 144";
        QTest::newRow("nil element") << archiveBytes(kArrayHead + "01 92 85 86")
                                     << "it holds an array element that is nil at byte 49";
        QTest::newRow("number key")
            << archiveBytes("84 01 40 84 84 84 0C 'NSDictionary' 00 84 84 08 'NSObject' 00 85 84 01 69 01 92 "
                            "84 84 84 08 'NSNumber' 00 84 84 07 'NSValue' 00 94 84 01 2A 84 95 95 05 86")
            << "it holds a dictionary key that is not a string at byte 54";
        QTest::newRow("number of a struct type")
            << archiveBytes(
                   "84 01 40 84 84 84 07 'NSValue' 00 84 84 08 'NSObject' 00 85 84 01 2A 84 84 04 '{ii}'")
            << "it holds an NSValue of the type “{ii}”, which is not a number at byte 47";
        QTest::newRow("plain object") << archiveBytes("84 01 40 84 84 84 08 'NSObject' 00 85 86")
                                      << "it holds a plain NSObject, which stands for no value at byte 19";
        QTest::newRow("colour of an unknown kind")
            << archiveBytes("84 01 40 84 84 84 07 'NSColor' 00 84 84 08 'NSObject' 00 85 84 01 63 09 86")
            << "it holds an NSColor of the unknown kind 9 at byte 47";
    }
    void hostileArchivesGiveOneErrorWithItsOffset() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        for (const ArchiveDecodeResult& decoded : {decodeArchive(bytes), decodeThroughWindow(bytes, 8)}) {
            QCOMPARE(decoded.error, error);
            QCOMPARE(decoded.errorOffset, error.section(u' ', -1).toLongLong());
            QVERIFY(!decoded.unreadable);
            QVERIFY(decoded.root.isNil());
        }
    }

    void everyTruncationOfAListIsAnError() {
        const QByteArray bytes = encodeArchive(makeList(12));
        for (qsizetype size = 0; size < bytes.size(); ++size) {
            const ArchiveDecodeResult decoded = decodeArchive(bytes.first(size));
            QVERIFY2(!decoded.ok() && decoded.errorOffset >= 0 && decoded.errorOffset <= size,
                     qPrintable(QString::number(size)));
            QCOMPARE(decodeThroughWindow(bytes.first(size), 16).error, decoded.error);
        }
    }

    void registeredDecodersReadOtherClasses() {
        // A gadget writes its name and size as one "@i" group; its class is at version 2.
        TypedStreamWriter out;
        out.writeHeader(1000);
        out.writeSharedString("@");
        out.beginObject();
        const TypedStreamWriter::ChainLink array[] = {{"NSMutableArray", 0}, {"NSArray", 0}, {"NSObject", 0}};
        const TypedStreamWriter::ChainLink gadget[] = {{"Gadget", 2}, {"NSObject", 0}};
        out.writeClassChain(array, 3);
        out.writeSharedString("i");
        out.writeInteger(2);
        for (const int size : {3, 40}) {
            out.writeSharedString("@");
            out.beginObject();
            out.writeClassChain(gadget, 2);
            out.writeSharedString("@i");
            out.writeNil();
            out.writeInteger(size);
            out.endObject();
        }
        out.endObject();
        const QByteArray bytes = out.take();

        ClassDecoderRegistry registry;
        registry.add("Gadget", [](ArchiveObjectReader& reader) -> Value {
            const std::vector<Value> fields = reader.decodeGroup("@i");
            if (reader.failed())
                return {};
            DictPtr decoded = Dict::create();
            decoded->set(QStringLiteral("version"), Value::integer(*reader.versionForClassName("Gadget")));
            decoded->set(QStringLiteral("named"), Value::boolean(!fields[0].isNil()));
            decoded->set(QStringLiteral("size"), fields[1]);
            return decoded;
        });
        const ArchiveDecodeResult decoded = decodeArchive(bytes, registry);
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        QCOMPARE(
            valueToJson(decoded.root, false),
            QByteArray(
                "[{\"version\":{\"$number\":2,\"$type\":\"i\"},\"named\":{\"$number\":0,\"$type\":\"c\"},"
                "\"size\":{\"$number\":3,\"$type\":\"i\"}},{\"version\":{\"$number\":2,\"$type\":\"i\"},"
                "\"named\":{\"$number\":0,\"$type\":\"c\"},\"size\":{\"$number\":40,\"$type\":\"i\"}}]"));

        ClassDecoderRegistry strict;
        strict.add("Gadget", [](ArchiveObjectReader& reader) -> Value {
            reader.decodeGroup("@f");
            return {};
        });
        QCOMPARE(decodeArchive(bytes, strict).error,
                 "it holds a group of type “@i” where Gadget expects “@f” at byte 79");
        QCOMPARE(decodeArchive(bytes).error, "it holds an object of the unknown class “Gadget” at byte 67");
    }

    void anIndependentDecoderReadsWhatWeWrite() {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        const DictPtr list = makeList(350);
        const QByteArray little = encodeArchive(list);
        GenericArchiveReadResult generic = readGenericArchive(little);
        QVERIFY2(generic.ok(), qPrintable(generic.error));
        generic.archive.bigEndian = true;
        const QByteArray big = writeGenericArchive(generic.archive);
        QCOMPARE(big.mid(2, 11), QByteArray("typedstream"));

        QTemporaryDir dir;
        const QByteArray expected = valueToJson(list, false) + '\n';
        for (const auto& [name, bytes] : {std::pair{"little.todo", little}, std::pair{"big.todo", big}}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            file.close();
            QProcess decoder;
            decoder.start(python, {QStringLiteral(TARDIGO_SOURCE_DIR "/tests/tools/typedstream_decode.py"),
                                   file.fileName()});
            QVERIFY(decoder.waitForFinished(60000));
            QVERIFY2(decoder.exitCode() == 0, decoder.readAllStandardError().constData());
            QCOMPARE(decoder.readAllStandardOutput(), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestArchiveCodec)
#include "tst_archive_codec.moc"
