#include "rich_text/notes_text.h"
#include "rich_text/rtfd_container.h"
#include "typed_stream_test_data.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtEndian>

using namespace tardigo;

namespace {

/// The constructed samples, made for these tests.
QString constructedSamples() {
    return test::samplesDir() + QStringLiteral("/constructed/");
}

QByteArray sample(const QString& name) {
    QFile file(constructedSamples() + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lays out a serialized directory the way the platform's serializer does, in either byte order,
// with or without the "rtfd" header, and with file sizes plain or page-aligned.
class DirectoryBuilder {
public:
    DirectoryBuilder(bool bigEndian, bool header) : _bigEndian(bigEndian), _header(header) {}

    void file(const QByteArray& name, const QByteArray& contents, bool aligned = false) {
        _entries.push_back({name, 1, contents, aligned});
    }
    // A value of another kind (2 list, 3 directory, 4 string) with its payload as given.
    void other(const QByteArray& name, quint32 type, const QByteArray& payload) {
        _entries.push_back({name, type, payload, false});
    }

    QByteArray build() const {
        QByteArray out = _header ? QByteArray("rtfd") + word(0) : QByteArray();
        out += word(3) + word(quint32(_entries.size()));
        for (const Entry& e : _entries)
            out += word(quint32(e.name.size())) + e.name;
        // Offsets count from the first byte of the header, or of the bare serialization.
        qsizetype position = out.size() + 4 * qsizetype(_entries.size());
        QByteArray values;
        for (const Entry& e : _entries) {
            QByteArray value = word(e.type);
            if (e.aligned) {
                // Marker, length, padding, then zeros up to the next page boundary.
                const qsizetype fieldsEnd = position + 16;
                const qsizetype pad = (4096 - fieldsEnd % 4096) % 4096;
                value += word(0x80000000u) + word(quint32(e.payload.size())) + word(quint32(pad));
                value += QByteArray(pad, '\0');
            } else if (e.type != 3) {
                value += word(quint32(e.payload.size()));
            }
            value += e.payload;
            out += word(quint32(value.size()));
            values += value;
            position += value.size();
        }
        return out + values;
    }

    QByteArray word(quint32 v) const {
        char bytes[4];
        if (_bigEndian)
            qToBigEndian(v, bytes);
        else
            qToLittleEndian(v, bytes);
        return QByteArray(bytes, 4);
    }

private:
    struct Entry {
        QByteArray name;
        quint32 type;
        QByteArray payload;
        bool aligned;
    };
    bool _bigEndian;
    bool _header;
    std::vector<Entry> _entries;
};

const QByteArray kRtf = "{\\rtf1\\ansi Hello {{\\NeXTGraphic image.png \\width20 \\height20}\xAC}}";

} // namespace

class TestRtfdContainer : public QObject {
    Q_OBJECT
private slots:
    void reproducesTheConstructedSamples() {
        SKIP_WITHOUT_SAMPLES();
        const QByteArray textOnly = sample(QStringLiteral("RTFD_flat_TXT.rtf_only.rtfd-data"));
        const RtfdReadResult read = readRtfdContainer(textOnly);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QVERIFY(read.rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\cocoartf949"));
        QVERIFY(read.attachments.empty());
        QCOMPARE(writeRtfdContainer({{QStringLiteral("TXT.rtf"), read.rtf}}), textOnly);

        // Our notes writer makes exactly what the sample holds.
        TextRun run;
        run.text = QStringLiteral("Buy milk");
        run.fontFamily = QStringLiteral("Helvetica");
        QCOMPARE(encodeNotes(RichText::fromRuns({run})), textOnly);
        QCOMPARE(notesPlainText(textOnly), QStringLiteral("Buy milk"));

        const QByteArray emptyDirectory =
            sample(QStringLiteral("RTFD_flat_blog_example_empty_dir_Test1.rtfd-data"));
        QCOMPARE(writeRtfdContainer({{QStringLiteral("__@PreferredName@__"), "Test1"},
                                     {QStringLiteral("__@UTF8PreferredName@__"), "Test1"}}),
                 emptyDirectory);
        const RtfdReadResult metadataOnly = readRtfdContainer(emptyDirectory);
        QCOMPARE(metadataOnly.error, QStringLiteral("The RTFD data holds no TXT.rtf."));
    }

    void readsEveryLayout_data() {
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<bool>("header");
        QTest::addColumn<bool>("aligned");
        for (const bool bigEndian : {false, true}) {
            for (const bool header : {true, false}) {
                for (const bool aligned : {false, true}) {
                    QTest::addRow("%s %s %s", bigEndian ? "big" : "little", header ? "header" : "bare",
                                  aligned ? "aligned" : "plain")
                        << bigEndian << header << aligned;
                }
            }
        }
    }
    void readsEveryLayout() {
        QFETCH(bool, bigEndian);
        QFETCH(bool, header);
        QFETCH(bool, aligned);
        DirectoryBuilder builder(bigEndian, header);
        const QByteArray image(5000, 'p');
        builder.file(".", "dir info");
        builder.file("__@PreferredName@__", "Note");
        builder.file("image.png", image, aligned);
        builder.other("folder", 3, builder.word(0));
        builder.other("label", 4, builder.word(3) + "abc");
        builder.file("TXT.rtf", kRtf, aligned);
        const QByteArray data = builder.build();

        const RtfdReadResult read = readRtfdContainer(data);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.rtf, kRtf);
        QCOMPARE(read.attachments, (std::vector<RtfdFile>{{QStringLiteral("image.png"), image}}));
        if (aligned) {
            const qsizetype payload = data.indexOf(image);
            QCOMPARE(payload % 4096, 0);
        }
        const RtfdReadResult text = readRtfdText(data); // the text alone, for previews
        QVERIFY2(text.ok(), qPrintable(text.error));
        QCOMPARE(text.rtf, kRtf);
        QVERIFY(text.attachments.empty());
    }

    void refusesDamagedContainers_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("error");
        DirectoryBuilder little(false, true);
        little.file("TXT.rtf", kRtf);
        const QByteArray good = little.build();
        auto patched = [&](qsizetype at, quint32 value) {
            QByteArray d = good;
            qToLittleEndian(value, d.data() + at);
            return d;
        };
        // Layout: "rtfd" 0 | 3 count | name size "TXT.rtf" | value size | 1 length bytes
        QTest::newRow("empty") << QByteArray() << "cut short at byte 0";
        QTest::newRow("version") << patched(4, 1) << "unknown version 1";
        QTest::newRow("not a directory") << patched(8, 1) << "byte 8 does not start a directory";
        QTest::newRow("count") << patched(12, 0x10000000) << "claims 268435456 entries";
        QTest::newRow("name size") << patched(16, 0x7FFFFFFF) << "at byte 20 claims 2147483647 bytes";
        QTest::newRow("value size") << patched(27, 0xFFFFFFF0) << "past the end of the data";
        QTest::newRow("value shorter than its header") << patched(27, 5) << "more than it holds";
        QTest::newRow("data length") << patched(35, 1000) << "at byte 39 claims 1000 bytes";
        QTest::newRow("padding") << patched(35, 0x80000000u) << "padding at byte 47 runs past the end";
        QTest::newRow("rtf missing") << QByteArray("rtfd") + QByteArray(4, 0) +
                                            QByteArray("\x03\0\0\0\0\0\0\0", 8)
                                     << "holds no TXT.rtf";
    }
    void refusesDamagedContainers() {
        QFETCH(QByteArray, data);
        QFETCH(QString, error);
        const RtfdReadResult read = readRtfdContainer(data);
        QVERIFY(!read.ok());
        QVERIFY2(read.error.contains(error), qPrintable(read.error));
        QVERIFY(!decodeNotes(data));
        QVERIFY(!readRtfdText(data).ok());
        QVERIFY(notesFirstLine(data, 100).isEmpty());
    }

    void everyTruncationIsAnError() {
        DirectoryBuilder builder(true, true);
        builder.file("a.png", "png", true);
        builder.file("TXT.rtf", kRtf);
        const QByteArray data = builder.build();
        QVERIFY(readRtfdContainer(data).ok());
        for (qsizetype size = 0; size < data.size(); ++size)
            QVERIFY2(!readRtfdContainer(data.left(size)).ok(), qPrintable(QString::number(size)));
    }

    void notesRoundTripWithAttachments() {
        DirectoryBuilder builder(false, true);
        builder.file("TXT.rtf", kRtf);
        builder.file("image.png", "\x89PNG");
        const std::optional<RichText> decoded = decodeNotes(builder.build());
        QVERIFY(decoded);
        QCOMPARE(decoded->plainText, QStringLiteral("Hello \uFFFC"));
        QCOMPARE(decoded->runs.back().attachmentName, QStringLiteral("image.png"));
        QCOMPARE(decoded->attachments.size(), size_t(1));
        QCOMPARE(decoded->attachments[0].second, QByteArray("\x89PNG"));

        const std::optional<RichText> again = decodeNotes(encodeNotes(*decoded));
        QVERIFY(again);
        QCOMPARE(*again, *decoded);
        QCOMPARE(notesPlainText(encodeNotes(*decoded)), QStringLiteral("Hello "));
    }

    void theOutlineReadsTheFirstLineThatHoldsText() {
        const auto notes = [](const QByteArray& body) {
            return writeRtfdContainer({{QStringLiteral("TXT.rtf"), "{\\rtf1\\ansi " + body + "}"},
                                       {QStringLiteral("image.png"), "\x89PNG"}});
        };
        const QByteArray picture = "{{\\NeXTGraphic image.png \\width40 \\height40}\xAC}";
        QCOMPARE(notesFirstLine(notes(picture + "\\par \\par   Buy milk \\par eggs"), 100),
                 QStringLiteral("Buy milk"));
        QCOMPARE(notesFirstLine(notes(QByteArray(5000, ' ') + "late\\par"), 100), QStringLiteral("late"));
        QCOMPARE(notesFirstLine(notes(QByteArray(3000, 'x')), 10), QStringLiteral("xxxxxxxxxx"));
        QVERIFY(notesHaveText(notes("\\par x")));
        QVERIFY(!notesHaveText(notes(picture + " \\par \\tab ")));

        const std::optional<NotesTextStart> start = notesTextStart(notes("Buy milk\\par eggs"), 5);
        QVERIFY(start && !start->whole);
        QCOMPARE(start->text, QStringLiteral("Buy m"));
        QVERIFY(notesTextStart(notes("Buy milk"), 100)->whole);
    }

    void notesTakePastedRtfAndRejectTheRest() {
        QCOMPARE(notesPlainText("{\\rtf1\\ansi caf\\'e9\\par line}"), QStringLiteral("caf\u00E9\nline"));
        QVERIFY(!notesPlainText(QByteArray()));
        QVERIFY(!notesPlainText("just some bytes"));
        QVERIFY(!notesPlainText(writeRtfdContainer({{QStringLiteral("TXT.rtf"), "not rtf"}})));
        QVERIFY(!decodeNotes("{\\rtf1" + QByteArray(100000, '{')));
    }
};

QTEST_GUILESS_MAIN(TestRtfdContainer)
#include "tst_rtfd_container.moc"
