#include "archive/archive_codec.h"
#include "archive/generic_archive.h"
#include "archive/typed_stream_writer.h"
#include "exchange/archive_json.h"
#include "typed_stream_test_data.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const TypedStreamWriter::ChainLink kStringChain[] = {{"NSString", 1}, {"NSObject", 0}};

void writeString(TypedStreamWriter& out, QByteArrayView text) {
    out.beginObject();
    out.writeClassChain(kStringChain, 2);
    out.writeSharedString("+");
    out.writeInteger(text.size());
    out.writeBytes(text);
    out.endObject();
}

/// A widget of a class nobody knows, holding itself, a string and values of many type codes.
QByteArray unknownSelfContainingArchive() {
    TypedStreamWriter out;
    out.writeHeader(1000);
    out.writeSharedString("@");
    const qint32 widget = out.beginObject();
    const TypedStreamWriter::ChainLink chain[] = {{"Widget", 3}, {"NSObject", 0}};
    out.writeClassChain(chain, 2);
    out.writeSharedString("@@");
    out.writeReference(widget);
    writeString(out, "label");
    out.writeSharedString("ffsQ");
    out.writeReal('f', 0.25);
    out.writeReal('f', 2);
    out.writeIntegerOfType('s', -300);
    out.writeIntegerOfType('Q', qint64(18446744073709551615ULL));
    out.writeSharedString("[4c]*#:{pair=iC}[2d]");
    out.writeBytes("\x01\x02\x03\x04");
    out.writeCString("text");
    out.writeClassChain(chain, 2);
    out.writeSharedString("draw:");
    out.writeInteger(-5);
    out.writeByte(200);
    out.writeReal('d', 0.5);
    out.writeReal('d', -1e300);
    out.endObject();
    out.writeSharedString("i");
    out.writeInteger(70000);
    return out.take();
}

QByteArray nestedArrays(int depth) {
    QString body =
        QStringLiteral("84 01 40 84 84 84 07 'NSArray' 00 84 84 08 'NSObject' 00 85 84 01 69 01 92 ");
    for (int i = 1; i < depth; ++i)
        body += QStringLiteral("84 93 95 01 92 "); // NSArray is entry 1, "i" string 3
    body += QStringLiteral("84 93 95 00 86 ");
    for (int i = 0; i < depth; ++i)
        body += QStringLiteral("86 ");
    return archiveBytes(body);
}

} // namespace

class TestGenericArchive : public QObject {
    Q_OBJECT
private slots:
    void everySampleComesBackByteForByte_data() {
        SKIP_WITHOUT_SAMPLES();
        QTest::addColumn<QString>("path");
        for (const QString& path : typedStreamSamples())
            QTest::newRow(qPrintable(path)) << path;
    }
    void everySampleComesBackByteForByte() {
        QFETCH(QString, path);
        const QByteArray bytes = sampleBytes(path);
        const GenericArchiveReadResult read = readGenericArchive(bytes);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(writeGenericArchive(read.archive), bytes);
    }

    void bigEndianArchivesCanBeWrittenInEitherOrder() {
        SKIP_WITHOUT_SAMPLES();
        const QByteArray big = sampleBytes("constructed/NSDictionary_bigendian_typedstream");
        GenericArchiveReadResult read = readGenericArchive(big);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QVERIFY(read.archive.bigEndian);
        read.archive.bigEndian = false;
        const QByteArray little = writeGenericArchive(read.archive);
        QCOMPARE(little.mid(2, 11), QByteArray("streamtyped"));
        QCOMPARE(little.size(), big.size());
        const ArchiveDecodeResult fromBig = decodeArchive(big);
        const ArchiveDecodeResult fromLittle = decodeArchive(little);
        QVERIFY2(fromBig.ok() && fromLittle.ok(), qPrintable(fromBig.error + fromLittle.error));
        QCOMPARE(fromLittle.root, fromBig.root);
        QCOMPARE(*fromLittle.root.asDict()->value("count").asNumber(), Number::int32(1000));
    }

    void unknownClassesAndSelfContainingObjectsAreKept() {
        const QByteArray bytes = unknownSelfContainingArchive();
        const GenericArchiveReadResult read = readGenericArchive(bytes);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(writeGenericArchive(read.archive), bytes);

        const GenericArchive& archive = read.archive;
        QCOMPARE(archive.groups.size(), size_t(2));
        const GenericObject& widget = archive.objects[0];
        QCOMPARE(archive.classes[size_t(widget.classIndex)].name, QByteArray("Widget"));
        QCOMPARE(archive.classes[size_t(widget.classIndex)].version, qint64(3));
        QCOMPARE(widget.groups[0].values[0].integer(), qint64(0)); // itself
        const std::vector<GenericValue>& scalars = widget.groups[1].values;
        QCOMPARE(scalars[0].real(), 0.25);
        QCOMPARE(scalars[2].integer(), qint64(-300));
        QCOMPARE(quint64(scalars[3].integer()), 18446744073709551615ULL);
        const std::vector<GenericValue>& mixed = widget.groups[2].values;
        QCOMPARE(mixed[0].bytes(), QByteArray("\x01\x02\x03\x04"));
        QCOMPARE(mixed[1].bytes(), QByteArray("text"));
        QCOMPARE(mixed[3].bytes(), QByteArray("draw:"));
        QCOMPARE(mixed[4].items()[1].integer(), qint64(200));
        QCOMPARE(archive.groups[1].values[0].integer(), qint64(70000));

        // The class layer cannot make a value of it, and says why.
        const ArchiveDecodeResult decoded = decodeArchive(bytes);
        QCOMPARE(decoded.error, "it holds an object of the unknown class “Widget” at byte 19");
        QCOMPARE(decoded.rootClassName, QByteArray("Widget"));
    }

    void classesOfOneNameStayApart() {
        // A chain A -> B -> A of two distinct classes named A: merging them by name would make
        // the chain refer back into itself.
        const QByteArray bytes = archiveBytes("84 01 40 84 84 84 01 'A' 00 84 84 01 'B' 00 84 93 00 85 86");
        const GenericArchiveReadResult read = readGenericArchive(bytes);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.archive.classes.size(), size_t(3));
        QCOMPARE(writeGenericArchive(read.archive), bytes);
    }

    void badArchivesGiveOneErrorWithItsOffset_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("nested 100,000 deep")
            << nestedArrays(100000) << "it nests values more than 1000 levels deep at byte 5044";
        QTest::newRow("type string with endless empty elements")
            << archiveBytes("84 07 '[9[0c]]'")
            << "it holds the type string “[9[0c]]”, which holds an array of elements that take no bytes at "
               "byte 16";
        QTest::newRow("group without a type string")
            << archiveBytes("85") << "it holds a group without a type string at byte 16";
        QTest::newRow("object without a class")
            << archiveBytes("84 01 40 84 85 86") << "it holds an object without a class at byte 19";
        QTest::newRow("byte array longer than the data")
            << archiveBytes("84 04 '[9c]' 01 02") << "the data ends in the middle of a byte array at byte 22";
        QTest::newRow("object never closed") << archiveBytes("84 01 40 84 84 84 01 'X' 00 85 84 01 69 05")
                                             << "the data ends in the middle of an object at byte 30";
    }
    void badArchivesGiveOneErrorWithItsOffset() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const GenericArchiveReadResult read = readGenericArchive(bytes);
        QCOMPARE(read.error, error);
        QCOMPARE(read.errorOffset, error.section(u' ', -1).toLongLong());
    }

    void everyTruncationOfAnArchiveIsAnError() {
        const QByteArray bytes = unknownSelfContainingArchive();
        for (qsizetype size = 0; size < bytes.size(); ++size) {
            const GenericArchiveReadResult read = readGenericArchive(bytes.first(size));
            // A cut that falls between top-level groups leaves a shorter archive.
            if (read.ok()) {
                QVERIFY(read.archive.groups.size() < 2);
                continue;
            }
            QVERIFY2(read.errorOffset >= 0 && read.errorOffset <= size, qPrintable(read.error));
        }
    }

    void archivesDumpAsJson() {
        const GenericArchiveReadResult read = readGenericArchive(unknownSelfContainingArchive());
        const QByteArray expected =
            "[[\"@\",{\"$class\":\"Widget\",\"$version\":3,\"$groups\":[[\"@@\",{\"$ref\":0,\"$class\":"
            "\"Widget\"},"
            "\"label\"],[\"ffsQ\",0.25,2.0,-300,18446744073709551615],[\"[4c]*#:{pair=iC}[2d]\","
            "{\"$data\":\"AQIDBA==\"},\"text\",{\"$class\":\"Widget\",\"$version\":3},\"draw:\",[-5,200],"
            "[0.5,-1e+300]]]}],[\"i\",70000]]";
        QCOMPARE(archiveToJson(read.archive, false), expected);
    }

    void knownObjectsInsideUnknownOnesDumpAsValues() {
        SKIP_WITHOUT_SAMPLES();
        const GenericArchiveReadResult read =
            readGenericArchive(sampleBytes("apple-nsarchiver-foundation/NestedScalars"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        const QByteArray expected = "[[\"@\",{\"$class\":\"NSArray\",\"$version\":0,\"$groups\":[[\"i\",4],"
                                    "[\"@\",{\"$date\":\"2001-09-09T01:46:40.000Z\"}],"
                                    "[\"@\",{\"$class\":\"NSURL\",\"$version\":0,\"$groups\":[[\"c\",0],[\"@"
                                    "\",\"https://example.com/path?q=1\"]]}],"
                                    "[\"@\",{\"$class\":\"NSURL\",\"$version\":0,\"$groups\":[[\"c\",1],[\"@"
                                    "\",{\"$class\":\"NSURL\",\"$version\":0,"
                                    "\"$groups\":[[\"c\",0],[\"@\",\"https://example.com/dir/"
                                    "\"]]}],[\"@\",\"page.html\"]]}],[\"@\",null]]}]]";
        QCOMPARE(archiveToJson(read.archive, false), expected);
    }
};

QTEST_GUILESS_MAIN(TestGenericArchive)
#include "tst_generic_archive.moc"
