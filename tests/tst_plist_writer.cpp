#include "exchange/plist_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace tardigo;

namespace {

const QByteArray kPrologue = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                             "<plist version=\"1.0\">\n";

// Prints a parsed property list as JSON tagged with each element's kind, keeping dictionary order.
const char* kCanonicalDump = R"(
import base64, json, plistlib, sys
def canon(v):
    if isinstance(v, bool): return ['bool', v]
    if isinstance(v, int): return ['integer', str(v)]
    if isinstance(v, float): return ['real', repr(v)]
    if isinstance(v, str): return ['string', v]
    if isinstance(v, bytes): return ['data', base64.b64encode(v).decode()]
    if isinstance(v, list): return ['array', [canon(x) for x in v]]
    if isinstance(v, dict): return ['dict', [[k, canon(x)] for k, x in v.items()]]
    return ['date', v.strftime('%Y-%m-%dT%H:%M:%SZ')]
with open(sys.argv[1], 'rb') as f:
    print(json.dumps(canon(plistlib.load(f))))
)";

Value number(char type, qint64 i, quint64 u = 0, double r = 0) {
    return Number::ofType(type, i, u, r);
}

ArrayPtr array(std::vector<Value> items) {
    ArrayPtr a = Array::create();
    a->items = std::move(items);
    return a;
}

DictPtr dict(std::vector<std::pair<QString, Value>> entries) {
    DictPtr d = Dict::create();
    d->entries = std::move(entries);
    return d;
}

// The expected tag and text of a leaf as the dump prints it.
QString expectedDate(double seconds) {
    return QDateTime::fromSecsSinceEpoch(978307200 + qint64(std::floor(seconds)), Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
}

// Compares what a client read with the tree we wrote; answers the first difference.
QString difference(const Value& expected, const QJsonValue& actual, const QString& path) {
    const QJsonArray pair = actual.toArray();
    const QString kind = pair.at(0).toString();
    const QJsonValue content = pair.at(1);
    auto mismatch = [&](const QString& what) {
        return path + QStringLiteral(": ") + what + QStringLiteral(", read ") + kind;
    };
    switch (expected.type()) {
    case Value::Type::String:
        return kind == u"string" && content.toString() == *expected.asString() ? QString()
                                                                               : mismatch("string");
    case Value::Type::Number: {
        const Number& n = *expected.asNumber();
        if (n.type == 'c')
            return kind == u"bool" && content.toBool() == (n.integer != 0) ? QString() : mismatch("bool");
        if (n.isReal()) {
            const double read = std::strtod(content.toString().toLatin1().constData(), nullptr);
            const bool same = std::isnan(n.real) ? std::isnan(read)
                              : n.type == 'f'    ? float(read) == float(n.real)
                                                 : read == n.real;
            return kind == u"real" && same ? QString()
                                           : mismatch(QStringLiteral("real ") + QString::number(n.real));
        }
        const QString text = n.isUnsigned() ? QString::number(n.unsignedInteger) : QString::number(n.integer);
        return kind == u"integer" && content.toString() == text ? QString()
                                                                : mismatch(QStringLiteral("integer ") + text);
    }
    case Value::Type::Date:
        return kind == u"date" && content.toString() == expectedDate(expected.asDate()->seconds)
                   ? QString()
                   : mismatch("date");
    case Value::Type::CalendarDate:
        return kind == u"date" && content.toString() == expectedDate(expected.asCalendarDate()->seconds)
                   ? QString()
                   : mismatch("calendar date");
    case Value::Type::Data:
        return kind == u"data" && content.toString().toLatin1() == expected.asData()->toBase64()
                   ? QString()
                   : mismatch("data");
    case Value::Type::Array: {
        const auto& items = expected.asArray()->items;
        const QJsonArray read = content.toArray();
        if (kind != u"array" || read.size() != qsizetype(items.size()))
            return mismatch(QStringLiteral("array of ") + QString::number(items.size()));
        for (size_t i = 0; i < items.size(); ++i) {
            const QString d = difference(items[i], read.at(qsizetype(i)), path + u'/' + QString::number(i));
            if (!d.isEmpty())
                return d;
        }
        return {};
    }
    case Value::Type::Dict: {
        const auto& entries = expected.asDict()->entries;
        const QJsonArray read = content.toArray();
        if (kind != u"dict" || read.size() != qsizetype(entries.size()))
            return mismatch(QStringLiteral("dict of ") + QString::number(entries.size()));
        for (size_t i = 0; i < entries.size(); ++i) {
            const QJsonArray entry = read.at(qsizetype(i)).toArray();
            if (entry.at(0).toString() != entries[i].first)
                return mismatch(QStringLiteral("key ") + entries[i].first);
            const QString d = difference(entries[i].second, entry.at(1), path + u'/' + entries[i].first);
            if (!d.isEmpty())
                return d;
        }
        return {};
    }
    default:
        return mismatch("a kind a property list cannot hold");
    }
}

QByteArray run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        qWarning() << program << arguments << process.readAllStandardError();
        return {};
    }
    return process.readAllStandardOutput();
}

} // namespace

class TestPlistWriter : public QObject {
    Q_OBJECT
private slots:
    void writesThePlatformLayout() {
        const Value tree = array({dict({{"name", "Buy milk"},
                                        {"done", Value::boolean(false)},
                                        {"completion", Value::float32(0.5)},
                                        {"children", Array::create()},
                                        {"settings", Dict::create()},
                                        {"notes", Value::data(QByteArray("\x00\x01\x02", 3))}}),
                                  Value::boolean(true), Value::integer(-3)});
        QCOMPARE(xmlPropertyList(tree), kPrologue + "<array>\n"
                                                    "\t<dict>\n"
                                                    "\t\t<key>name</key>\n"
                                                    "\t\t<string>Buy milk</string>\n"
                                                    "\t\t<key>done</key>\n"
                                                    "\t\t<false/>\n"
                                                    "\t\t<key>completion</key>\n"
                                                    "\t\t<real>0.5</real>\n"
                                                    "\t\t<key>children</key>\n"
                                                    "\t\t<array/>\n"
                                                    "\t\t<key>settings</key>\n"
                                                    "\t\t<dict/>\n"
                                                    "\t\t<key>notes</key>\n"
                                                    "\t\t<data>\n"
                                                    "\t\tAAEC\n"
                                                    "\t\t</data>\n"
                                                    "\t</dict>\n"
                                                    "\t<true/>\n"
                                                    "\t<integer>-3</integer>\n"
                                                    "</array>\n"
                                                    "</plist>\n");
    }

    void escapesTextAndReplacesForbiddenCharacters() {
        const QString text = QStringLiteral("a<b & c>d\te\nf\rg\x01h\x1Fi") + QChar(0xD800) +
                             QStringLiteral("j\uFFFEk") + QString::fromUcs4(U"\U0001F600");
        const QByteArray xml = xmlPropertyList(dict({{"<&>", text}}));
        QVERIFY2(xml.contains("<key>&lt;&amp;&gt;</key>"), xml.constData());
        QVERIFY2(
            xml.contains(QStringLiteral("<string>a&lt;b &amp; c&gt;d\te\nf&#13;g\uFFFDh\uFFFDi\uFFFDj\uFFFDk")
                             .toUtf8() +
                         QString::fromUcs4(U"\U0001F600</string>").toUtf8()),
            xml.constData());
    }

    void leavesOutWhatAPlistCannotHold() {
        const ArrayPtr loop = Array::create();
        loop->items = {Value("kept"), Value(loop)};
        const auto breakCycle = qScopeGuard([&] { loop->items.clear(); });
        const Value tree = array(
            {Null{}, Value(TimeZone{"GMT", std::nullopt}), Value(Color{}),
             dict({{"gone", Null{}}, {"when", Date{1e300}}, {"here", Value::integer(1)}}), Value(loop)});
        QCOMPARE(xmlPropertyList(tree), kPrologue + "<array>\n"
                                                    "\t<dict>\n"
                                                    "\t\t<key>here</key>\n"
                                                    "\t\t<integer>1</integer>\n"
                                                    "\t</dict>\n"
                                                    "\t<array>\n"
                                                    "\t\t<string>kept</string>\n"
                                                    "\t</array>\n"
                                                    "</array>\n"
                                                    "</plist>\n");
    }

    void realClientsReadTheSameTree() {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed, so plistlib cannot check the export.");
        const Value tree = array({
            dict({{"name", QStringLiteral("Caf\u00E9 \u2014 ") + QString::fromUcs4(U"\U0001F600")},
                  {"empty", ""},
                  {"markup", "<b>&amp;</b>\r\n\ttabbed"},
                  {"yes", Value::boolean(true)},
                  {"no", Value::boolean(false)},
                  {"int", Value::integer(42)},
                  {"int64", number('q', -9000000000)},
                  {"uint64", number('Q', 0, 18446744073709551613ULL)},
                  {"short", number('s', -7)},
                  {"float", Value::float32(0.1)},
                  {"double", Value(Number::float64(0.1))},
                  {"whole", Value(Number::float64(3))},
                  {"tiny", Value(Number::float64(5e-324))},
                  {"huge", Value(Number::float64(1.7976931348623157e308))},
                  {"negative zero", Value(Number::float64(-0.0))},
                  {"infinite", Value(Number::float64(-INFINITY))},
                  {"not a number", Value(Number::float32(NAN))},
                  {"data", Value::data(QByteArray(200, '\xA5') + "tail")},
                  {"no data", Value::data(QByteArray())},
                  {"date", Date{21692800}},
                  {"early date", Date{-978307200.5}},
                  {"calendar date", CalendarDate{61200.75, TimeZone{"America/New_York", std::nullopt}, {}}},
                  {"children", array({dict({{"name", "child"}, {"children", Array::create()}})})},
                  {"settings", Dict::create()}}),
            array({array({array({"deep"})})}),
        });
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString xmlPath = dir.filePath(QStringLiteral("export.plist"));
        QFile file(xmlPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(xmlPropertyList(tree));
        file.close();

        const QJsonDocument fromPython =
            QJsonDocument::fromJson(run(python, {"-c", kCanonicalDump, xmlPath}));
        QVERIFY2(fromPython.isArray(), "plistlib could not read the export");
        const QString pythonDifference = difference(tree, fromPython.array(), QStringLiteral("plistlib"));
        QVERIFY2(pythonDifference.isEmpty(), qPrintable(pythonDifference));

        const QString plistutil = QStandardPaths::findExecutable(QStringLiteral("plistutil"));
        if (plistutil.isEmpty())
            QSKIP("plistutil (libplist-utils) is not installed; only plistlib checked the export.");
        // plistutil 2.2 has no JSON output: let it rewrite the export as a binary list, then dump that.
        const QString binaryPath = dir.filePath(QStringLiteral("export.bin"));
        run(plistutil, {"-i", xmlPath, "-o", binaryPath, "-f", "bin"});
        const QJsonDocument fromPlistutil =
            QJsonDocument::fromJson(run(python, {"-c", kCanonicalDump, binaryPath}));
        QVERIFY2(fromPlistutil.isArray(), "plistutil could not read the export");
        const QString plistutilDifference =
            difference(tree, fromPlistutil.array(), QStringLiteral("plistutil"));
        QVERIFY2(plistutilDifference.isEmpty(), qPrintable(plistutilDifference));
    }
};

QTEST_GUILESS_MAIN(TestPlistWriter)
#include "tst_plist_writer.moc"
