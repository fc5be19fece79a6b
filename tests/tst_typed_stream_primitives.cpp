#include "archive/archive_source.h"
#include "archive/type_encoding.h"
#include "archive/typed_stream_reader.h"
#include "archive/typed_stream_writer.h"
#include "typed_stream_test_data.h"

#include <QBuffer>
#include <QTest>

#include <cmath>
#include <limits>

using namespace tardigo;
using tardigo::test::streamBytes;

class TestTypedStreamPrimitives : public QObject {
    Q_OBJECT
private slots:
    void integersUseTheShortestFormInBothByteOrders_data() {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("little");
        QTest::addColumn<QString>("big");
        QTest::newRow("1") << qint64(1) << "01"
                           << "01";
        QTest::newRow("22") << qint64(22) << "16"
                            << "16";
        QTest::newRow("-22") << qint64(-22) << "EA"
                             << "EA";
        QTest::newRow("-110 is the lowest inline byte") << qint64(-110) << "92"
                                                        << "92";
        QTest::newRow("-111 needs two bytes") << qint64(-111) << "81 91 FF"
                                              << "81 FF 91";
        QTest::newRow("127") << qint64(127) << "7F"
                             << "7F";
        QTest::newRow("128") << qint64(128) << "81 80 00"
                             << "81 00 80";
        QTest::newRow("333") << qint64(333) << "81 4D 01"
                             << "81 01 4D";
        QTest::newRow("1000") << qint64(1000) << "81 E8 03"
                              << "81 03 E8";
        QTest::newRow("4444") << qint64(4444) << "81 5C 11"
                              << "81 11 5C";
        QTest::newRow("55555") << qint64(55555) << "82 03 D9 00 00"
                               << "82 00 00 D9 03";
        QTest::newRow("-55555") << qint64(-55555) << "82 FD 26 FF FF"
                                << "82 FF FF 26 FD";
        QTest::newRow("-9e9") << qint64(-9000000000) << "87 00 E6 8E E7 FD FF FF FF"
                              << "87 FF FF FF FD E7 8E E6 00";
    }
    void integersUseTheShortestFormInBothByteOrders() {
        QFETCH(qint64, value);
        QFETCH(QString, little);
        QFETCH(QString, big);
        for (const bool bigEndian : {false, true}) {
            TypedStreamWriter writer(bigEndian);
            writer.writeInteger(value);
            const QByteArray bytes = writer.take();
            QCOMPARE(bytes, streamBytes(bigEndian ? big : little));
            const QByteArray data = streamBytes(bigEndian ? "04 0B 'typedstream' 81 03 E8 " + big
                                                          : "04 0B 'streamtyped' 81 E8 03 " + little);
            TypedStreamReader reader(data);
            QVERIFY(reader.readHeader());
            QCOMPARE(reader.systemVersion(), qint64(1000));
            QCOMPARE(reader.readInteger(), value);
            QVERIFY(reader.atEnd());
        }
    }

    void integersTakeTheWidthOfTheirType() {
        // Sign-extended, then cut to the type's width: FD is -3 for every kind.
        QCOMPARE(TypedStreamReader::unsignedOfType('Q', -3), 18446744073709551613ULL);
        QCOMPARE(TypedStreamReader::unsignedOfType('I', -3), quint64(4294967293U));
        QCOMPARE(TypedStreamReader::unsignedOfType('S', -3), quint64(65533));
        QCOMPARE(TypedStreamReader::signedOfType('s', 70000), qint64(4464));
        QCOMPARE(TypedStreamReader::signedOfType('i', 4294967295LL), qint64(-1));
        QCOMPARE(TypedStreamReader::signedOfType('q', -9000000000), qint64(-9000000000));

        TypedStreamWriter writer;
        writer.writeIntegerOfType('Q', qint64(18446744073709551613ULL));
        writer.writeIntegerOfType('I', qint64(4294967293U));
        writer.writeIntegerOfType('S', 65535);
        QCOMPARE(writer.take(), streamBytes("FD FD FF"));
    }

    void realsAreIntegersWhenIntegral_data() {
        QTest::addColumn<char>("code");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("float 1") << 'f' << 1.0 << "01";
        QTest::newRow("float 0") << 'f' << 0.0 << "00";
        QTest::newRow("float 3.5") << 'f' << 3.5 << "83 00 00 60 40";
        QTest::newRow("date 21692800") << 'd' << 21692800.0 << "82 80 01 4B 01";
        QTest::newRow("double 100.5") << 'd' << 100.5 << "83 00 00 00 00 00 20 59 40";
        QTest::newRow("double beyond float precision") << 'd' << 16777217.0 << "83 00 00 00 10 00 00 70 41";
        QTest::newRow("double beyond int32") << 'd' << 4294967296.0 << "83 00 00 00 00 00 00 F0 41";
    }
    void realsAreIntegersWhenIntegral() {
        QFETCH(char, code);
        QFETCH(double, value);
        QFETCH(QString, bytes);
        TypedStreamWriter writer;
        writer.writeReal(code, value);
        QCOMPARE(writer.take(), streamBytes(bytes));
        const QByteArray data = streamBytes(bytes);
        TypedStreamReader reader(data);
        QCOMPARE(reader.readReal(code), value);
    }

    void realsKeepNaNAndReadBigEndian() {
        TypedStreamWriter writer(true);
        writer.writeReal('d', std::numeric_limits<double>::quiet_NaN());
        writer.writeReal('f', 0.5);
        const QByteArray bytes = writer.take();
        QCOMPARE(bytes, streamBytes("83 7F F8 00 00 00 00 00 00 83 3F 00 00 00"));
        const QByteArray data = streamBytes("04 0B 'typedstream' 81 03 E8") + bytes;
        TypedStreamReader reader(data);
        QVERIFY(reader.readHeader());
        QVERIFY(reader.isBigEndian());
        QVERIFY(std::isnan(reader.readReal('d')));
        QCOMPARE(reader.readReal('f'), 0.5);
    }

    void sharedStringsAndCStringsAreWrittenOnce() {
        TypedStreamWriter writer;
        writer.writeSharedString("@");
        writer.writeCString("q"); // object 0, its text string 1
        writer.writeSharedString("q");
        writer.writeCString("q");
        writer.writeSharedString("@");
        QCOMPARE(writer.take(), streamBytes("84 01 40 84 84 01 71 93 92 92"));

        const QByteArray data = streamBytes("84 01 40 84 84 01 71 93 92 92 85");
        TypedStreamReader reader(data);
        QCOMPARE(reader.string(reader.readSharedString()), QByteArrayView("@"));
        const qint32 text = reader.readCString();
        QCOMPARE(reader.readSharedString(), text);
        QCOMPARE(reader.readCString(), text);
        QCOMPARE(reader.readSharedString(), 0);
        QCOMPARE(reader.readSharedString(), -1);
        QVERIFY(!reader.failed());
    }

    void theStringTableKeepsItsTextsAsTheWindowMovesOn() {
        // An empty text first, short ones filling more than one block of the table, and one
        // longer than a block, all read through a window smaller than most of them.
        QList<QByteArray> texts{QByteArray()};
        for (int i = 0; i < 3000; ++i)
            texts << QByteArray::number(i).repeated(3);
        texts << QByteArray(20000, 'x');
        TypedStreamWriter writer;
        for (const QByteArray& text : texts)
            writer.writeSharedString(text);
        QBuffer device;
        device.setData(writer.take());
        QVERIFY(device.open(QIODevice::ReadOnly));
        TypedStreamReader reader(ArchiveSource(device, 8));
        std::vector<qint32> indexes;
        for (qsizetype i = 0; i < texts.size(); ++i)
            indexes.push_back(reader.readSharedString());
        QVERIFY2(!reader.failed(), qPrintable(reader.error()));
        QVERIFY(reader.atEnd());
        for (qsizetype i = 0; i < texts.size(); ++i)
            QCOMPARE(reader.string(indexes[size_t(i)]), QByteArrayView(texts[i]));
    }

    void classChainsEndAtAClassWrittenBefore() {
        TypedStreamWriter writer;
        const TypedStreamWriter::ChainLink string[] = {{"NSString", 1}, {"NSObject", 0}};
        const TypedStreamWriter::ChainLink number[] = {{"NSNumber", 0}, {"NSValue", 0}, {"NSObject", 0}};
        QCOMPARE(writer.writeClassChain(string, 2), 0);
        QCOMPARE(writer.writeClassChain(number, 3), 2);
        QCOMPARE(writer.writeClassChain(string, 2), 0);
        const QByteArray bytes = writer.take();
        QCOMPARE(bytes, streamBytes("84 84 08 'NSString' 01 84 84 08 'NSObject' 00 85 "
                                    "84 84 08 'NSNumber' 00 84 84 07 'NSValue' 00 93 92"));

        TypedStreamReader reader(bytes);
        const qint32 first = reader.readClass();
        const qint32 second = reader.readClass();
        QCOMPARE(reader.readClass(), first);
        QCOMPARE(reader.className(first), QByteArrayView("NSString"));
        QCOMPARE(reader.className(reader.classInfo(reader.classInfo(second).superclass).superclass),
                 QByteArrayView("NSObject"));
        QCOMPARE(reader.versionForClassName("NSString"), std::optional<qint64>(1));
        QCOMPARE(reader.versionForClassName("NSURL"), std::nullopt);
    }

    void badBytesGiveOneErrorWithItsOffset_data() {
        QTest::addColumn<QString>("bytes");
        QTest::addColumn<QString>("reads");
        QTest::addColumn<QString>("error");
        QTest::newRow("truncated integer") << "81 01"
                                           << "integer"
                                           << "the data ends in the middle of an integer at byte 0";
        QTest::newRow("reserved tag") << "88"
                                      << "integer"
                                      << "it holds the reserved tag byte 0x88 at byte 0";
        QTest::newRow("tag in place of an integer")
            << "85"
            << "integer"
            << "it holds the tag byte 0x85 where an integer belongs at byte 0";
        QTest::newRow("string reference beyond the table")
            << "84 01 40 94"
            << "string string"
            << "it refers to string-table entry 2, beyond the 1 entries read so far at byte 3";
        QTest::newRow("negative string length") << "84 FB"
                                                << "string"
                                                << "it holds a string of the negative length -5 at byte 1";
        QTest::newRow("string longer than the data") << "84 82 FF FF FF 7F 41"
                                                     << "string"
                                                     << "the data ends in the middle of a string at byte 0";
        QTest::newRow("class referring to a C string")
            << "84 84 01 71 92"
            << "cstring class"
            << "it refers to a C string where a class belongs at byte 4";
        QTest::newRow("object referring to a class")
            << "84 84 01 41 00 85 92"
            << "class object"
            << "it refers to a class where an object belongs at byte 6";
        QTest::newRow("class chain looping into itself")
            << "84 84 01 41 00 84 84 01 42 00 92"
            << "class"
            << "it holds a class chain that refers back into itself at byte 10";
    }
    void badBytesGiveOneErrorWithItsOffset() {
        QFETCH(QString, bytes);
        QFETCH(QString, reads);
        QFETCH(QString, error);
        const QByteArray data = streamBytes(bytes);
        TypedStreamReader reader(data);
        for (const QString& read : reads.split(u' ')) {
            if (read == u"integer")
                reader.readInteger();
            else if (read == u"string")
                reader.readSharedString();
            else if (read == u"cstring")
                reader.readCString();
            else if (read == u"class")
                reader.readClass();
            else
                reader.readObject();
        }
        QCOMPARE(reader.error(), error);
        QCOMPARE(reader.errorOffset(), reader.error().section(u' ', -1).toLongLong());
        // Once failed, the reader stays put and answers neutral values.
        const qint64 offset = reader.offset();
        QCOMPARE(reader.readInteger(), qint64(0));
        QCOMPARE(reader.readObject().head, TypedStreamReader::Head::Nil);
        QCOMPARE(reader.offset(), offset);
        QCOMPARE(reader.error(), error);
    }

    void headersAreChecked_data() {
        QTest::addColumn<QString>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("short") << "04 0B 'stream'"
                               << "the data ends in the middle of the header at byte 0";
        QTest::newRow("wrong signature") << "04 0B 'streamtypes' 81 E8 03"
                                         << "it is not a typed-stream archive (it lacks the “streamtyped” or "
                                            "“typedstream” signature) at byte 1";
        QTest::newRow("NeXT version")
            << "03 0B 'typedstream' 81 03 E8"
            << "it is an old NeXTSTEP archive (streamer version 3), which cannot be read at byte 0";
        QTest::newRow("unknown version") << "05 0B 'streamtyped' 81 E8 03"
                                         << "it has the unknown streamer version 5 at byte 0";
    }
    void headersAreChecked() {
        QFETCH(QString, bytes);
        QFETCH(QString, error);
        const QByteArray data = streamBytes(bytes);
        TypedStreamReader reader(data);
        QVERIFY(!reader.readHeader());
        QCOMPARE(reader.error(), error);
    }

    void countsBeyondTheDataFailBeforeAllocating() {
        const QByteArray data = streamBytes("00 00 00 00");
        TypedStreamReader reader(data);
        QVERIFY(reader.checkCount(2, 2, 0));
        QVERIFY(!reader.checkCount(3, 2, 0));
        QCOMPARE(reader.error(), "it holds a count of 3, more than the 4 bytes left can hold at byte 0");
        const QByteArray negativeBytes = streamBytes("00");
        TypedStreamReader negative(negativeBytes);
        QVERIFY(!negative.checkCount(-1, 1, 0, "length"));
        QCOMPARE(negative.error(), "it holds the negative length -1 at byte 0");
    }

    void typeStringsParseIntoValueTypes() {
        QString error;
        const auto types = parseTypeEncodings("@iffff[3ff]{point={inner=cc}d}[12c]", &error);
        QVERIFY2(types, qPrintable(error));
        QCOMPARE(types->size(), size_t(9));
        const TypeEncoding& pairs = (*types)[6];
        QCOMPARE(pairs.code, '[');
        QCOMPARE(pairs.count, 3);
        QCOMPARE(pairs.fields.front().code, '{'); // several element codes form a struct
        QCOMPARE(pairs.fields.front().fields.size(), size_t(2));
        const TypeEncoding& point = (*types)[7];
        QCOMPARE(point.fields.size(), size_t(2));
        QCOMPARE(point.fields[0].fields.size(), size_t(2));
        QVERIFY((*types)[8].fields.front().isRawByte());
    }

    void typeStringsThatCannotBeReadAreRefused_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << "is empty";
        QTest::newRow("no length") << QByteArray("[c]") << "holds an array without a length";
        QTest::newRow("no element") << QByteArray("[5]") << "holds an empty structure or array element";
        QTest::newRow("unclosed") << QByteArray("{ii") << "is not closed";
        QTest::newRow("ignored int") << QByteArray("i!") << "holds the code “!”, which stands for no value";
        QTest::newRow("union") << QByteArray("(?=ic)") << "holds a union, which only NeXTSTEP archives use";
        QTest::newRow("pointer") << QByteArray("^i") << "holds the unknown type code “^”";
        QTest::newRow("endless empties")
            << QByteArray("[2000000000[0c]]") << "holds an array of elements that take no bytes";
        QTest::newRow("too long") << QByteArray("[99999999999c]") << "holds an array that is too long";
        QTest::newRow("deep") << QByteArray(200, '{') << "nests too deeply";
    }
    void typeStringsThatCannotBeReadAreRefused() {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        QString problem;
        QVERIFY(!parseTypeEncodings(text, &problem));
        QCOMPARE(problem, error);
    }
};

QTEST_GUILESS_MAIN(TestTypedStreamPrimitives)
#include "tst_typed_stream_primitives.moc"
