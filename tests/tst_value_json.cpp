#include "exchange/json_writer.h"
#include "exchange/value_json.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

#include <cmath>
#include <limits>

using namespace tardigo;

namespace {

/// One value of every kind, with the awkward corners of each.
Value everyKind() {
    DictPtr dict = Dict::create();
    dict->set(QStringLiteral("zeta"), "text with \"quotes\", \\, a tab\t, \x01 and ünïcødé ✓");
    dict->set(QStringLiteral("alpha"), Number::boolean(true));
    dict->set(QStringLiteral("int64"), Number::ofType('q', std::numeric_limits<qint64>::min(), 0, 0));
    dict->set(QStringLiteral("uint64"), Number::ofType('Q', 0, std::numeric_limits<quint64>::max(), 0));
    dict->set(QStringLiteral("float"), Number::float32(0.1));
    dict->set(QStringLiteral("nan"), Number::float64(std::nan("")));
    dict->set(QStringLiteral("date"), Date{21692800.25});
    dict->set(QStringLiteral("far date"), Date{1e15});
    dict->set(QStringLiteral("calendar"),
              CalendarDate{61200, TimeZone{QStringLiteral("America/New_York"), {}}, QStringLiteral("%Y")});
    dict->set(QStringLiteral("zone"), TimeZone{QStringLiteral("GMT"), QByteArray("TZif")});
    dict->set(QStringLiteral("data"), Value::data(QByteArray("\xDE\xAD\xBE\xEF", 4)));
    auto fallback = std::make_shared<Color>(Color{Color::CalibratedWhite, {0.0f, 1.0f}, {}, {}, nullptr});
    ArrayPtr colors = Array::create();
    colors->items = {
        Color{Color::DeviceCMYK, {0.1f, 0.2f, 0.3f, 0.4f, 1.0f}, {}, {}, nullptr},
        Color{Color::Named, {}, QStringLiteral("System"), QStringLiteral("textColor"), fallback}};
    dict->set(QStringLiteral("colors"), colors);
    dict->set(QStringLiteral("null"), Null{});
    dict->set(QStringLiteral("empty"), Array::create());
    return dict;
}

const char* const kEveryKindJson =
    "{\"zeta\":\"text with \\\"quotes\\\", \\\\, a tab\\t, \\u0001 and ünïcødé ✓\","
    "\"alpha\":{\"$number\":1,\"$type\":\"c\"},"
    "\"int64\":{\"$number\":-9223372036854775808,\"$type\":\"q\"},"
    "\"uint64\":{\"$number\":18446744073709551615,\"$type\":\"Q\"},"
    "\"float\":{\"$number\":0.10000000149011612,\"$type\":\"f\"},"
    "\"nan\":{\"$number\":\"NaN\",\"$type\":\"d\"},"
    "\"date\":{\"$date\":\"2001-09-09T01:46:40.250Z\"},"
    "\"far date\":{\"$date\":1000000000000000.0},"
    "\"calendar\":{\"$calendarDate\":\"2001-01-01 12:00:00 -0500\",\"$timeZone\":\"America/New_York\","
    "\"$format\":\"%Y\"},"
    "\"zone\":{\"$timeZone\":\"GMT\",\"$data\":\"VFppZg==\"},"
    "\"data\":{\"$data\":\"3q2+7w==\"},"
    "\"colors\":[{\"$color\":{\"space\":5,\"components\":[0.10000000149011612,0.20000000298023224,"
    "0.30000001192092896,0.4000000059604645,1.0]}},"
    "{\"$color\":{\"space\":6,\"catalog\":\"System\",\"name\":\"textColor\","
    "\"fallback\":{\"$color\":{\"space\":3,\"components\":[0.0,1.0]}}}}],"
    "\"null\":null,\"empty\":[]}";

} // namespace

class TestValueJson : public QObject {
    Q_OBJECT
private slots:
    void everyKindHasItsForm() {
        QCOMPARE(QString::fromUtf8(valueToJson(everyKind(), false)), QString::fromUtf8(kEveryKindJson));
        QCOMPARE(valueToJson(Value(), false), QByteArray("null"));
    }

    void largeTextIsPassedOnAsItGrows() {
        // Several passes of the writer's chunk, with a history entry among the values.
        ArrayPtr many = Array::create();
        for (int i = 0; i < 20000; ++i)
            many->items.push_back(i % 2 ? everyKind()
                                        : historyEntry(QStringLiteral("2003-05-17 14:03:22 +0200"), "made"));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(valueToJson(many, true, buffer));
        QVERIFY(buffer.data().size() > 3 << 20);
        QCOMPARE(buffer.data(), valueToJson(many, true));

        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("/dev/full is not there");
        QVERIFY(!valueToJson(many, true, full));
    }

    void prettyFormIndentsByTwo() {
        ArrayPtr array = Array::create();
        DictPtr dict = Dict::create();
        dict->set(QStringLiteral("a"), "b");
        array->items = {dict, Array::create(), Dict::create()};
        QCOMPARE(valueToJson(array, true), QByteArray("[\n  {\n    \"a\": \"b\"\n  },\n  [],\n  {}\n]"));
    }

    void realsUseTheShortestTextThatReadsBack_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("zero") << 0.0 << QByteArray("0.0");
        QTest::newRow("negative zero") << -0.0 << QByteArray("-0.0");
        QTest::newRow("tenth") << 0.1 << QByteArray("0.1");
        QTest::newRow("integral") << 123456789.0 << QByteArray("123456789.0");
        QTest::newRow("last positional") << 1e15 << QByteArray("1000000000000000.0");
        QTest::newRow("first exponential") << 1e16 << QByteArray("1e+16");
        QTest::newRow("small positional") << 0.0001 << QByteArray("0.0001");
        QTest::newRow("small exponential") << 1.5e-5 << QByteArray("1.5e-05");
        QTest::newRow("smallest") << 5e-324 << QByteArray("5e-324");
        QTest::newRow("largest") << std::numeric_limits<double>::max()
                                 << QByteArray("1.7976931348623157e+308");
        QTest::newRow("negative") << -2.5e-300 << QByteArray("-2.5e-300");
    }
    void realsUseTheShortestTextThatReadsBack() {
        QFETCH(double, value);
        QFETCH(QByteArray, text);
        QCOMPARE(JsonWriter::formatReal(value), text);
        QCOMPARE(text.toDouble(), value);
    }

    void valuesReadBack() {
        const Value value = everyKind();
        QString error;
        const std::optional<Value> back = valueFromJson(valueToJson(value, true), &error);
        QVERIFY2(back, qPrintable(error));
        // Written again, the value reads the same (NaN never equals itself, so compare the text).
        QCOMPARE(valueToJson(*back, false), valueToJson(value, false));
        const DictPtr dict = back->asDict();
        QCOMPARE(dict->entries.front().first, QStringLiteral("zeta"));
        QCOMPARE(dict->value(QStringLiteral("uint64")).asNumber()->unsignedInteger,
                 std::numeric_limits<quint64>::max());
        QCOMPARE(dict->value(QStringLiteral("float")).asNumber()->type, 'f');
        QVERIFY(std::isnan(dict->value(QStringLiteral("nan")).asNumber()->real));
        QCOMPARE(dict->value(QStringLiteral("date")).asDate()->seconds, 21692800.25);
        QCOMPARE(dict->value(QStringLiteral("calendar")).asCalendarDate()->seconds, 61200.0);
    }

    void plainJsonReadsAsTheNearestValues() {
        QString error;
        const std::optional<Value> value = valueFromJson(
            "{\"b\":1,\"a\":[true,5000000000,2.5,null,\"x\",18446744073709551615],\"b\":2}", &error);
        QVERIFY2(value, qPrintable(error));
        QCOMPARE(valueToJson(*value, false),
                 QByteArray(
                     "{\"b\":{\"$number\":2,\"$type\":\"i\"},\"a\":[{\"$number\":1,\"$type\":\"c\"},"
                     "{\"$number\":5000000000,\"$type\":\"q\"},{\"$number\":2.5,\"$type\":\"d\"},null,\"x\","
                     "{\"$number\":18446744073709551615,\"$type\":\"Q\"}]}"));
        QVERIFY(value->asDict()->isMutable);
    }

    void badJsonIsRefused_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        QTest::newRow("unclosed") << QByteArray("[1, 2") << "an array is not closed at byte 5";
        QTest::newRow("trailing") << QByteArray("{} x") << "there is more text after the value at byte 3";
        QTest::newRow("bare word") << QByteArray("[nul]")
                                   << "there is no value where one should be at byte 1";
        QTest::newRow("deep") << QByteArray(5000, '[') << "the values nest too deeply at byte 1001";
        QTest::newRow("control character")
            << QByteArray("\"a\nb\"") << "a string holds a raw control character at byte 2";
        QTest::newRow("char out of range") << QByteArray("{\"$number\":300,\"$type\":\"c\"}")
                                           << "a number of type “c” does not hold an integer of that type";
        QTest::newRow("unknown number type")
            << QByteArray("{\"$number\":3,\"$type\":\"x\"}") << "a number has the unknown type “x”";
        QTest::newRow("date form")
            << QByteArray("{\"$date\":\"2003-05-17 12:03:22\"}")
            << "the date “2003-05-17 12:03:22” is not in the form 2003-05-17T12:03:22.000Z";
        QTest::newRow("base64") << QByteArray("{\"$data\":\"&&\"}") << "some data is not in base64";
    }
    void badJsonIsRefused() {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        QString problem;
        QVERIFY(!valueFromJson(json, &problem));
        QCOMPARE(problem, error);
    }
};

QTEST_GUILESS_MAIN(TestValueJson)
#include "tst_value_json.moc"
