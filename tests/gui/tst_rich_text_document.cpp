#include "gui_test_support.h"

#include "window/rich_text_document.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace tardigo;
using namespace tardigo::test;

namespace {

TextRun run(const QString& text, Alignment alignment = Alignment::Natural) {
    TextRun r;
    r.text = text;
    r.fontFamily = QStringLiteral("Helvetica");
    r.fontSize = 12.0;
    r.alignment = alignment;
    return r;
}

QByteArray png(QColor color) {
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Equal runs; colours pass through QColor's 16 bits a channel, finer than any text format keeps.
bool sameRun(TextRun a, const TextRun& b) {
    if (a.color && b.color) {
        const auto close = [](float x, float y) { return std::abs(x - y) < 1.0f / 4096; };
        if (close(a.color->r, b.color->r) && close(a.color->g, b.color->g) && close(a.color->b, b.color->b) &&
            close(a.color->a, b.color->a))
            a.color = b.color;
    }
    return a == b;
}

} // namespace

class TestRichTextDocument : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpGuiTest(); }

    void stylesAndParagraphsSurviveTheRoundTrip() {
        TextRun title = run("Groceries\n", Alignment::Center);
        title.bold = true;
        title.fontSize = 18.0;
        TextRun milk = run("milk ", Alignment::Right);
        milk.italic = true;
        milk.color = Rgba{0.75f, 0.25f, 0.0f, 1.0f};
        TextRun eggs = run("eggs", Alignment::Right);
        eggs.underline = true;
        eggs.strike = true;
        eggs.fontFamily = QStringLiteral("Courier");
        const RichText original = RichText::fromRuns({title, milk, eggs});

        const std::unique_ptr<QTextDocument> document = toTextDocument(original);
        QCOMPARE(document->toPlainText(), QStringLiteral("Groceries\nmilk eggs"));
        QCOMPARE(document->blockCount(), 2);
        QCOMPARE(document->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

        const RichText back = fromTextDocument(*document);
        QCOMPARE(back.plainText, original.plainText);
        QCOMPARE(back.runs.size(), original.runs.size());
        for (size_t i = 0; i < back.runs.size(); ++i)
            QVERIFY2(sameRun(back.runs[i], original.runs[i]), qPrintable(back.runs[i].text));
    }

    void imagesComeBackAsAttachments() {
        TextRun picture = run(QString(kAttachmentCharacter));
        picture.attachmentName = QStringLiteral("sketch.png");
        RichText text = RichText::fromRuns({run("see "), picture, run(" above")});
        text.attachments = {{QStringLiteral("sketch.png"), png(Qt::red)},
                            {QStringLiteral("unused.bin"), QByteArray("not an image")}};

        const std::unique_ptr<QTextDocument> document = toTextDocument(text);
        const RichText back = fromTextDocument(*document);
        QCOMPARE(back.plainText, QString("see ") + QChar(kAttachmentCharacter) + " above");
        QCOMPARE(back.attachments.size(), size_t(1));
        QCOMPARE(back.attachments.front().first, QStringLiteral("sketch.png"));
        QCOMPARE(QImage::fromData(back.attachments.front().second).pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(back.runs.at(1).attachmentWidth, 4 * 20); // twips
    }

    void anAttachmentThatIsNoImageIsLeftOut() {
        TextRun file = run(QString(kAttachmentCharacter));
        file.attachmentName = QStringLiteral("data.bin");
        RichText text = RichText::fromRuns({run("a"), file, run("b")});
        text.attachments = {{QStringLiteral("data.bin"), QByteArray("\x00\x01", 2)}};
        QCOMPARE(toTextDocument(text)->toPlainText(), QStringLiteral("ab"));
        QVERIFY(fromTextDocument(*toTextDocument(RichText{})).runs.empty());
    }
};

QTEST_MAIN(TestRichTextDocument)
#include "tst_rich_text_document.moc"
