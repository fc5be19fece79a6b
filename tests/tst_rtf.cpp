#include "rich_text/rtf_reader.h"
#include "rich_text/rtf_writer.h"

#include <QTest>

using namespace tardigo;

namespace {

// The header and ruler the platform writes before the text.
const QByteArray kPlatformHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\cocoartf949\\cocoasubrtf540\n"
    "{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;\\f1\\fmodern\\fcharset0 Courier;}\n"
    "{\\colortbl;\\red255\\green255\\blue255;\\red255\\green0\\blue0;}\n"
    "\\pard\\tx560\\tx1120\\tx1680\\ql\\qnatural\\pardirnatural\n\n";

RichText read(const QByteArray& rtf) {
    const RtfReadResult result = readRtf(rtf);
    if (!result.ok())
        qWarning() << result.error;
    return result.text;
}

QString plain(const QByteArray& body) {
    return read("{\\rtf1\\ansi " + body + "}").plainText;
}

TextRun run(const QString& text, const QString& font = QStringLiteral("Helvetica"), double size = 12) {
    TextRun r;
    r.text = text;
    r.fontFamily = font;
    r.fontSize = size;
    return r;
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT
private slots:
    void readsStyledRunsAsThePlatformWritesThem() {
        const RichText text =
            read(kPlatformHeader + "\\f0\\fs24 \\cf0 plain \\b bold\\b0  \\i\\ul it-ul\\i0\\ulnone  "
                                   "\\strike struck\\strike0  \\cf2 red\\cf0 \\\n"
                                   "\\pard\\tx560\\qc\\pardirnatural\n"
                                   "\\f1\\fs36 \\cf0 centred}");
        QCOMPARE(text.plainText, QStringLiteral("plain bold it-ul struck red\ncentred"));
        QStringList texts;
        for (const TextRun& r : text.runs)
            texts << r.text;
        QCOMPARE(texts,
                 QStringList({"plain ", "bold", " ", "it-ul", " ", "struck", " ", "red", "\n", "centred"}));
        QCOMPARE(text.runs[0].fontFamily, QStringLiteral("Helvetica"));
        QCOMPARE(text.runs[0].fontSize, 12.0);
        QVERIFY(!text.runs[0].color && !text.runs[0].bold);
        QVERIFY(text.runs[1].bold);
        QVERIFY(text.runs[3].italic && text.runs[3].underline && !text.runs[3].bold);
        QVERIFY(text.runs[5].strike && !text.runs[5].underline);
        QCOMPARE(text.runs[7].color, (Rgba{1, 0, 0, 1}));
        QVERIFY(!text.runs[8].color);
        for (size_t i = 0; i < 9; ++i)
            QCOMPARE(text.runs[i].alignment, Alignment::Natural);
        QCOMPARE(text.runs[9].fontFamily, QStringLiteral("Courier"));
        QCOMPARE(text.runs[9].fontSize, 18.0);
        QCOMPARE(text.runs[9].alignment, Alignment::Center);
    }

    void paragraphTakesTheAlignmentWhereItEnds() {
        const RichText text = read("{\\rtf1 left \\qr right\\par\\pard next}");
        QCOMPARE(text.runs.size(), size_t(2));
        QCOMPARE(text.runs[0].text, QStringLiteral("left right\n"));
        QCOMPARE(text.runs[0].alignment, Alignment::Right);
        QCOMPARE(text.runs[1].alignment, Alignment::Natural);
        const RichText grouped = read("{\\rtf1 {\\qc in\\par}out}");
        QCOMPARE(grouped.runs.back().text, QStringLiteral("out"));
        QCOMPARE(grouped.runs.back().alignment, Alignment::Natural);
    }

    void breaksTabsAndSymbols() {
        QCOMPARE(plain("a\\par b\\\nc\\\rd\\line e"), QStringLiteral("a\nb\nc\nd\u2028e"));
        QCOMPARE(plain("a\tb\\tab c"), QStringLiteral("a\tb\tc"));
        QCOMPARE(plain("a\nb\r\nc"), QStringLiteral("abc"));
        QCOMPARE(plain("\\{x\\} \\\\ \\~\\emdash\\bullet\\ldblquote q\\rdblquote"),
                 QStringLiteral("{x} \\ \u00A0\u2014\u2022\u201Cq\u201D"));
        const RichText text = read("{\\rtf1 a\\line b\\par c}");
        QCOMPARE(text.readableText(), QStringLiteral("a\nb\nc"));
    }

    void codePages_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("cp1252") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 \\'80 \\'e9\\'C9 \\'93q\\'94}")
                                << QStringLiteral("\u20AC \u00E9\u00C9 \u201Cq\u201D");
        QTest::newRow("ansi default") << QByteArray("{\\rtf1\\ansi \\'e9}") << QStringLiteral("\u00E9");
        QTest::newRow("mac") << QByteArray("{\\rtf1\\mac \\'8e\\'a5\\'d2}")
                             << QStringLiteral("\u00E9\u2022\u201C");
        QTest::newRow("cpg10000") << QByteArray("{\\rtf1\\ansi\\ansicpg10000 \\'8e}")
                                  << QStringLiteral("\u00E9");
        QTest::newRow("raw high byte") << QByteArray("{\\rtf1\\mac caf\x8e}") << QStringLiteral("caf\u00E9");
        QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb\\'4}") << QStringLiteral("azzb4");
    }
    void codePages() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(read(rtf).plainText, text);
    }

    void unicodeEscapes_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::newRow("default skip 1") << QByteArray("\\u8364?x") << QStringLiteral("\u20ACx");
        QTest::newRow("uc0") << QByteArray("\\uc0\\u8364 x") << QStringLiteral("\u20ACx");
        QTest::newRow("uc2 hex fallback")
            << QByteArray("\\uc2\\u937\\'4f\\'6dx") << QStringLiteral("\u03A9x");
        QTest::newRow("fallback stops at group")
            << QByteArray("{\\uc3\\u937 a}b") << QStringLiteral("\u03A9b");
        QTest::newRow("negative pair")
            << QByteArray("\\uc0\\u-10179\\u-8704 !") << QString::fromUcs4(U"\U0001F600!");
        QTest::newRow("positive pair")
            << QByteArray("\\uc0\\u55357\\u56832 ") << QString::fromUcs4(U"\U0001F600");
        QTest::newRow("lone high") << QByteArray("\\uc0\\u55357 x") << QStringLiteral("\uFFFDx");
        QTest::newRow("lone low") << QByteArray("\\uc0\\u56832 x") << QStringLiteral("\uFFFDx");
        QTest::newRow("out of range")
            << QByteArray("\\uc0\\u99999 \\u-99999 x") << QStringLiteral("\uFFFD\uFFFDx");
        QTest::newRow("huge uc") << QByteArray("\\uc2000000000\\u65 abc") << QStringLiteral("A");
    }
    void unicodeEscapes() {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QCOMPARE(plain(body), text);
    }

    void skipsTablesAndIgnorableDestinations() {
        const QByteArray rtf =
            "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Gill Sans{\\*\\panose 02}{\\*\\falt GS};}"
            "{\\f5 Times\\'e9;}}"
            "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret}{\\author Me}}"
            "{\\*\\expandedcolortbl;;}{\\*\\unknowndest hidden}{\\pict\\bin4 \x01}\x02\x03 }"
            "\\f5 {\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt link}} "
            "\\unknownword7 shown\\f0 !}";
        const RichText text = read(rtf);
        QCOMPARE(text.plainText, QStringLiteral("link shown!"));
        QCOMPARE(text.runs.front().fontFamily, QStringLiteral("Times\u00E9"));
        QCOMPARE(text.runs.back().fontFamily, QStringLiteral("Gill Sans"));
    }

    void readsAttachmentsWithTheirNames() {
        const RichText text =
            read(kPlatformHeader + "see {{\\NeXTGraphic Pasted Graphic.tiff \\width2880 \\height1440\n"
                                   "}\xAC}and {{\\NeXTGraphic caf\\'c3\\'a9 \\{1\\}.png \\width20 \\height10 "
                                   "\\appleattachmentpadding0 \\appleembedtype0}\xAC}!}");
        QCOMPARE(text.plainText, QStringLiteral("see \uFFFCand \uFFFC!"));
        QCOMPARE(text.runs.size(), size_t(5));
        QCOMPARE(text.runs[1].attachmentName, QStringLiteral("Pasted Graphic.tiff"));
        QCOMPARE(text.runs[1].attachmentWidth, 2880);
        QCOMPARE(text.runs[1].attachmentHeight, 1440);
        QCOMPARE(text.runs[3].attachmentName, QStringLiteral("caf\u00E9 {1}.png"));
        QCOMPARE(text.readableText(), QStringLiteral("see and !"));
        // Two attachments in a row stay two runs.
        const RichText twice = read("{\\rtf1 {{\\NeXTGraphic a.png}\xAC}{{\\NeXTGraphic a.png}\xAC}}");
        QCOMPARE(twice.runs.size(), size_t(2));
    }

    void survivesHostileInput_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 abc{\\b def") << QStringLiteral("abcdef");
        QTest::newRow("extra close") << QByteArray("{\\rtf1 a}}b{c") << QStringLiteral("a");
        QTest::newRow("huge bin") << QByteArray("{\\rtf1 keep\\bin999999999999 lost}")
                                  << QStringLiteral("keep");
        QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << QStringLiteral("ab");
        QTest::newRow("huge numbers")
            << QByteArray("{\\rtf1\\fs99999999999999999999\\cf-7\\f123456789012 x}") << QStringLiteral("x");
        QTest::newRow("trailing backslash") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
        QTest::newRow("trailing hex") << QByteArray("{\\rtf1 a\\'") << QStringLiteral("a");
        QTest::newRow("control bytes") << QByteArray("{\\rtf1 a\x01\x00"
                                                     "b}",
                                                     12)
                                       << QStringLiteral("ab");
        QTest::newRow("long word") << QByteArray("{\\rtf1 \\" + QByteArray(100000, 'x') + " y}")
                                   << QStringLiteral("y");
        QTest::newRow("unclosed attachment")
            << QByteArray("{\\rtf1 a{{\\NeXTGraphic x") << QStringLiteral("a");
        QTest::newRow("attachment without a name")
            << QByteArray("{\\rtf1 a{{\\NeXTGraphic  \\width200 \\height100}\xAC}b}") << QStringLiteral("ab");
        QTest::newRow("unclosed field")
            << QByteArray("{\\rtf1 a{\\field{\\*\\fldinst{HYPERLINK \"x") << QStringLiteral("a");
        QTest::newRow("result without field")
            << QByteArray("{\\rtf1 {\\fldrslt b}c}") << QStringLiteral("bc");
        QTest::newRow("list words out of place")
            << QByteArray("{\\rtf1 {\\*\\listtable\\listlevel\\levelnfc0{\\*\\levelmarker x}\\listid-5}"
                          "{\\*\\listoverridetable\\ls1\\listid9}\\ls2147483647\\ilvl99 a\\par}")
            << QStringLiteral("a\n");
    }
    void survivesHostileInput() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        const RtfReadResult result = readRtf(rtf);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.text.plainText, text);
        // Whatever was read survives our writer.
        const RtfReadResult again = readRtf(writeRtf(result.text.runs));
        QVERIFY(again.text.runs == result.text.runs);
    }

    void readingStopsAtTheCharacterLimit() {
        const QByteArray rtf = kPlatformHeader + "\\f0\\fs24 Milk\\par \\f1 eggs and \\u8364 ? bread}";
        const RtfReadResult whole = readRtf(rtf, 100);
        QCOMPARE(whole.text.plainText, QStringLiteral("Milk\neggs and € bread"));
        QVERIFY(!whole.cutShort);
        const RtfReadResult start = readRtf(rtf, 7);
        QCOMPARE(start.text.plainText, QStringLiteral("Milk\neg"));
        QVERIFY(start.cutShort);
        QCOMPARE(start.text.runs.front().fontFamily, QStringLiteral("Helvetica")); // the header was read
    }

    void refusesWhatIsNotRtf() {
        QVERIFY(!readRtf("").ok());
        QVERIFY(!readRtf("plain text").ok());
        QVERIFY(readRtf("plain text").error.contains(u"{\\rtf"));
        QByteArray deep = "{\\rtf1 x";
        deep += QByteArray(200000, '{');
        const RtfReadResult result = readRtf(deep);
        QVERIFY(!result.ok());
        QVERIFY2(result.error.contains(u"deeper") && result.error.contains(u"byte 519"),
                 qPrintable(result.error));
        // Deep but within the limit is fine, and linear.
        QByteArray nested = "{\\rtf1 ";
        for (int i = 0; i < 100; ++i)
            nested += "{" + QByteArray::number(i % 10);
        QCOMPARE(readRtf(nested).text.plainText.size(), 100);
    }

    void readsListsAndLinksAsThePlatformWritesThem() {
        // Nested lists and a link as the platform writes them: the list table, its overrides, each
        // item's \\ls and \\ilvl with its marker for readers that know no lists, and a field.
        const QByteArray rtf =
            "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2639\n"
            "{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
            "{\\colortbl;\\red255\\green255\\blue255;}\n"
            "{\\*\\listtable{\\list\\listtemplateid1\\listhybrid"
            "{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1"
            "\\levelspace360\\levelindent0{\\*\\levelmarker "
            "\\{disc\\}}{\\leveltext\\leveltemplateid1\\'01\\uc0\\u8226 ;}"
            "{\\levelnumbers;}\\fi-360\\li720\\lin720 }"
            "{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1"
            "\\levelspace360\\levelindent0{\\*\\levelmarker "
            "\\{circle\\}}{\\leveltext\\leveltemplateid2\\'01\\uc0\\u9702 ;}"
            "{\\levelnumbers;}\\fi-360\\li1440\\lin1440 }{\\listname ;}\\listid1}"
            "{\\list\\listtemplateid2\\listhybrid{\\listlevel\\levelnfc0\\levelnfcn0\\leveljc0\\leveljcn0"
            "\\levelfollow0\\levelstartat1\\levelspace360\\levelindent0{\\*\\levelmarker \\{decimal\\}.}"
            "{\\leveltext\\leveltemplateid101\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720\\lin720 }"
            "{\\listname ;}\\listid2}}\n"
            "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}"
            "{\\listoverride\\listid2\\listoverridecount0\\ls2}}\n"
            "\\pard\\tx220\\tx720\\pardeftab720\\li720\\fi-720\\partightenfactor0\n"
            "\\ls1\\ilvl0\\f0\\fs24 \\cf0 {\\listtext\t\\uc0\\u8226 \t}Milk\\\n"
            "\\pard\\tx940\\tx1440\\pardeftab720\\li1440\\fi-1440\\partightenfactor0\n"
            "\\ls1\\ilvl1\\cf0 {\\listtext\t\\uc0\\u9702 \t}semi-skimmed\\\n"
            "\\pard\\tx220\\tx720\\pardeftab720\\li720\\fi-720\\partightenfactor0\n"
            "\\ls1\\ilvl0\\cf0 {\\listtext\t\\uc0\\u8226 \t}Eggs\\\n"
            "\\pard\\pardeftab720\\partightenfactor0\n"
            "\\cf0 See {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/shop?list=1\"}}{\\fldrslt \\ul "
            "shop}}.\\\n"
            "\\pard\\tx220\\tx720\\pardeftab720\\li720\\fi-720\\partightenfactor0\n"
            "\\ls2\\ilvl0\\cf0 {\\listtext\t1.\t}Pay\\\n"
            "{\\listtext\t2.\t}Go}";
        const RichText text = read(rtf);
        QCOMPARE(text.plainText, QStringLiteral("Milk\nsemi-skimmed\nEggs\nSee shop.\nPay\nGo"));
        const auto placeOf = [&](const QString& word) {
            for (const TextRun& r : text.runs)
                if (r.text.contains(word))
                    return r.list;
            return ListPlace{-1};
        };
        QCOMPARE(placeOf("Milk"), (ListPlace{1, 0, ListStyle::Disc}));
        QCOMPARE(placeOf("semi"), (ListPlace{1, 1, ListStyle::Circle}));
        QCOMPARE(placeOf("Eggs"), (ListPlace{1, 0, ListStyle::Disc}));
        QCOMPARE(placeOf("See"), ListPlace{});
        QCOMPARE(placeOf("Pay"), (ListPlace{2, 0, ListStyle::Decimal}));
        QCOMPARE(placeOf("Go"), (ListPlace{2, 0, ListStyle::Decimal}));
        const auto link = std::find_if(text.runs.begin(), text.runs.end(),
                                       [](const TextRun& r) { return !r.link.isEmpty(); });
        QVERIFY(link != text.runs.end());
        QCOMPARE(link->text, QStringLiteral("shop"));
        QCOMPARE(link->link, QStringLiteral("https://example.org/shop?list=1"));
        QVERIFY(link->underline);
        QVERIFY((link + 1)->link.isEmpty());
        // A list table that comes after a list's first item changes nothing for its level.
        const RichText late =
            read("{\\rtf1 \\ls1\\ilvl0 a\\par{\\*\\listtable{\\list\\listlevel\\levelnfc0\\listid1}}"
                 "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}b\\par}");
        QCOMPARE(late.plainText, QStringLiteral("a\nb\n"));
        for (const TextRun& r : late.runs)
            QCOMPARE(r.list, (ListPlace{1, 0, ListStyle::Disc}));
        QCOMPARE(read(writeRtf(late.runs)).runs, late.runs);

        // The plain text keeps the markers, as the platform's does.
        QCOMPARE(text.readableText(),
                 QStringLiteral("\t\u2022\tMilk\n\t\u25E6\tsemi-skimmed\n\t\u2022\tEggs\n"
                                "See shop.\n\t1.\tPay\n\t2.\tGo"));
    }

    void writesListsAndLinksAsThePlatformDoes() {
        const auto item = [](const QString& text, int list, int level, ListStyle style) {
            TextRun r = run(text);
            r.list = {list, level, style};
            return r;
        };
        TextRun linked = run(QStringLiteral("the \"shop\""));
        linked.link = QStringLiteral("https://example.org/a b?q=\u00E9");
        linked.italic = true;
        const std::vector<TextRun> runs{item("one\n", 7, 0, ListStyle::Decimal),
                                        item("sub\n", 7, 1, ListStyle::LowerAlpha),
                                        item("two\n", 7, 0, ListStyle::Decimal),
                                        item("sub again\n", 7, 1, ListStyle::LowerAlpha),
                                        run("Ask "),
                                        linked,
                                        run(" first.")};
        const QByteArray rtf = writeRtf(runs);
        QVERIFY2(
            rtf.contains(
                "{\\*\\listtable{\\list\\listtemplateid1\\listhybrid{\\listlevel\\levelnfc0\\levelnfcn0"),
            rtf.constData());
        QVERIFY(rtf.contains("{\\*\\levelmarker \\{decimal\\}.}"));
        QVERIFY(rtf.contains("\\levelnfc4\\levelnfcn4"));
        QVERIFY(rtf.contains("{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}"));
        QVERIFY(rtf.contains("\\ls1\\ilvl0"));
        QVERIFY(rtf.contains("\\ls1\\ilvl1"));
        // Each item's marker, numbered as a reader numbers them: the sub-list starts again at a.
        QVERIFY(rtf.contains("{\\listtext\t1.\t}"));
        QVERIFY(rtf.contains("{\\listtext\t2.\t}"));
        QCOMPARE(rtf.count("{\\listtext\ta.\t}"), 2);
        QVERIFY2(
            rtf.contains(
                "{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a b?q=\\'e9\"}}{\\fldrslt \\i the "
                "\"shop\"}} first."),
            rtf.constData());

        const RichText back = read(rtf);
        QCOMPARE(back.runs.size(), runs.size());
        for (size_t i = 0; i < runs.size(); ++i) {
            TextRun expected = runs[i];
            if (expected.list.inList())
                expected.list.list = 1; // lists are numbered in the order they start
            QCOMPARE(back.runs[i], expected);
        }
        QCOMPARE(back.readableText(),
                 QStringLiteral("\t1.\tone\n\ta.\tsub\n\t2.\ttwo\n\ta.\tsub again\nAsk the \"shop\" first."));

        // A quote in an address would end it early: it is written percent-encoded.
        TextRun quoted = run(QStringLiteral("q"));
        quoted.link = QStringLiteral("https://example.org/\"q\"");
        QCOMPARE(read(writeRtf({quoted})).runs.front().link, QStringLiteral("https://example.org/%22q%22"));
    }

    void writesThePlatformForm() {
        const QByteArray rtf = writeRtf({run(QStringLiteral("Buy milk"))});
        QCOMPARE(rtf,
                 QByteArray("{\\rtf1\\ansi\\ansicpg1252\\cocoartf949\\cocoasubrtf540\n"
                            "{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
                            "{\\colortbl;\\red255\\green255\\blue255;}\n"
                            "\\pard\\tx560\\tx1120\\tx1680\\tx2240\\tx2800\\tx3360\\tx3920\\tx4480\\tx5040"
                            "\\tx5600\\tx6160\\tx6720\\ql\\qnatural\\pardirnatural\n"
                            "\n"
                            "\\f0\\fs24 \\cf0 Buy milk}"));
        TextRun special =
            run(QStringLiteral("a\\{b}\tc\nd\u00E9\u20AC\u03A9\r\x01") + QString::fromUcs4(U"\U0001F600"));
        const QByteArray escaped = writeRtf({special});
        QVERIFY(
            escaped.contains("a\\\\\\{b\\}\tc\\\nd\\'e9\\'80\\uc0\\u937 \\uc0\\u13 \\uc0\\u1 \\uc0\\u55357 "
                             "\\uc0\\u56832 }"));
        for (char c : escaped)
            QVERIFY2(uchar(c) < 0x80, "RTF is 7-bit");
    }

    void writtenRunsReadBackUnchanged() {
        TextRun centred = run(QStringLiteral("plain "));
        centred.alignment = Alignment::Center;
        TextRun bold = run(QStringLiteral("bold "), QStringLiteral("Courier"), 14);
        bold.bold = true;
        bold.alignment = Alignment::Center;
        TextRun mixed = run(QStringLiteral("all\n"), QStringLiteral("Times"), 9.5);
        mixed.italic = mixed.underline = mixed.strike = true;
        mixed.color = Rgba{0, 128 / 255.0f, 1, 1};
        mixed.alignment = Alignment::Center;
        TextRun picture = run(QString(QChar(kAttachmentCharacter)));
        picture.attachmentName = QStringLiteral("Pasted {Graphic} \u00E9.png");
        picture.attachmentWidth = 200;
        picture.attachmentHeight = 100;
        picture.alignment = Alignment::Right;
        TextRun white = run(QStringLiteral(" white\u2028\\u00E9\n"));
        white.color = Rgba{1, 1, 1, 1};
        white.alignment = Alignment::Right;
        TextRun left = run(QStringLiteral("left\n"));
        left.alignment = Alignment::Left;
        left.list = {1, 2, ListStyle::UpperRoman};
        left.link = QStringLiteral("mailto:a@example.org");
        TextRun justified = run(QStringLiteral("last"));
        justified.alignment = Alignment::Justified;
        const std::vector<TextRun> runs{centred, bold, mixed, picture, white, left, justified};

        const RichText first = read(writeRtf(runs));
        QCOMPARE(first.runs.size(), runs.size());
        for (size_t i = 0; i < runs.size(); ++i)
            QCOMPARE(first.runs[i], runs[i]);
        QCOMPARE(first.plainText, RichText::fromRuns(runs).plainText);

        // And text as the platform wrote it survives our writer.
        const RichText platform =
            read(kPlatformHeader + "\\f0\\fs24 \\cf0 a \\b\\cf2 b\\\n\\pard\\qr\\f1 c}");
        const RichText again = read(writeRtf(platform.runs));
        QCOMPARE(again.runs, platform.runs);
        QCOMPARE(again.plainText, platform.plainText);
    }
};

QTEST_GUILESS_MAIN(TestRtf)
#include "tst_rtf.moc"
