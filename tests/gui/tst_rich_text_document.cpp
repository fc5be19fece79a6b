#include "gui_test_support.h"

#include "appearance/readable_color.h"
#include "appearance/rich_text_document.h"
#include "rich_text/notes_text.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

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

QByteArray png(QColor color, QSize size = QSize(4, 3)) {
    QImage image(size, QImage::Format_ARGB32);
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

// What a reader sees of a document: each paragraph's alignment, list item and text, and each
// fragment's text in the font, colour and link it is shown with; pictures by their size.
QStringList describe(const QTextDocument& document) {
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line =
            QStringLiteral("align %1").arg(int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask));
        if (const QTextList* list = block.textList())
            line += QStringLiteral(" list %1/%2 item %3")
                        .arg(int(list->format().style()))
                        .arg(list->format().indent())
                        .arg(list->itemNumber(block));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                const QImage shown =
                    document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
                const QSizeF size =
                    image.width() > 0 ? QSizeF(image.width(), image.height()) : QSizeF(shown.size());
                line += QStringLiteral(" [picture %1x%2]").arg(size.width()).arg(size.height());
                continue;
            }
            const QFont font = format.font();
            // CSS pixels are three quarters of a point.
            const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
            line += QStringLiteral(" \"%1\" %2 %3pt%4%5%6%7 %8 %9")
                        .arg(it.fragment().text(), font.family())
                        .arg(points)
                        .arg(font.bold() ? " bold" : "", font.italic() ? " italic" : "",
                             font.underline() ? " underline" : "", font.strikeOut() ? " struck" : "")
                        .arg(format.foreground().style() == Qt::NoBrush ? QString("-")
                                                                        : format.foreground().color().name(),
                             format.anchorHref());
        }
        lines << line;
    }
    return lines;
}

// The notes of a document as they are stored, opened again.
std::unique_ptr<QTextDocument> savedAndReopened(const QTextDocument& document) {
    const std::optional<RichText> notes = decodeNotes(encodeNotes(fromTextDocument(document)));
    return notes ? toTextDocument(*notes) : nullptr;
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

    void darkColoursAreShownLighterOnADarkBaseAndStoredAsTheyCame() {
        const QColor base(0x1e, 0x1f, 0x22);
        TextRun link = run("the shop");
        link.link = QStringLiteral("https://example.org/shop");
        link.color = Rgba{0.0f, 0.0f, 0.55f, 1.0f};
        TextRun red = run(" closes at six");
        red.color = Rgba{0.55f, 0.0f, 0.0f, 1.0f};
        TextRun plain = run(" today");
        const RichText original = RichText::fromRuns({link, red, plain});

        const std::unique_ptr<QTextDocument> document = toTextDocument(original);
        showReadableOn(*document, base);
        QVERIFY(!document->isUndoAvailable()); // showing is no step to undo
        const auto shownAt = [&document](int position) {
            QTextCursor cursor(document.get());
            cursor.setPosition(position + 1);
            return cursor.charFormat().foreground().color();
        };
        QVERIFY(contrastRatio(shownAt(0), base) >= kReadableContrast);
        QVERIFY(contrastRatio(shownAt(10), base) >= kReadableContrast);
        QVERIFY(document->toPlainText().endsWith("today"));

        RichText back = fromTextDocument(*document);
        QCOMPARE(back.runs.size(), original.runs.size());
        for (size_t i = 0; i < back.runs.size(); ++i)
            QVERIFY2(sameRun(back.runs[i], original.runs[i]), qPrintable(back.runs[i].text));

        // A colour the user gives the text since is stored as given.
        QTextCursor cursor(document.get());
        cursor.setPosition(8);
        cursor.setPosition(12, QTextCursor::KeepAnchor);
        QTextCharFormat green;
        green.setForeground(QColor(0, 128, 0));
        cursor.mergeCharFormat(green);
        back = fromTextDocument(*document);
        QCOMPARE(back.runs.size(), size_t(4));
        QCOMPARE(back.runs[1].text, QStringLiteral(" clo"));
        QVERIFY(back.runs[1].color && std::abs(back.runs[1].color->g - 128 / 255.0f) < 0.01f);
        QVERIFY(sameRun(back.runs[2], [&] {
            TextRun rest = red;
            rest.text = QStringLiteral("ses at six");
            return rest;
        }()));
    }

    void whatTheEditorShowsSurvivesSaveAndReopen() {
        // Pasted HTML with every feature the notes editor shows: a heading, font sizes and families in
        // points and pixels, alignment, a link, strikethrough, nested bulleted and numbered lists and a
        // picture.
        QTextDocument pasted;
        pasted.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        pasted.setHtml(
            QStringLiteral(
                "<h1>Shopping</h1>"
                "<p align=center>see <a href='https://example.org/list?a=1'>the list</a> <s>not</s> "
                "<span style='font-family:\"DejaVu Serif\"; font-size:18pt'>big</span> "
                "<span style='font-size:20px; color:#336699'>pixels</span></p>"
                "<ul><li>milk<ul><li>semi-skimmed</li><li>whole</li></ul></li><li>eggs<ul>"
                "<li>brown</li></ul></li></ul>"
                "<ol><li>pay</li><li>go</li></ol>"
                "<p align=right>look <img src='%1'> here</p>")
                .arg(QLatin1String("data:image/png;base64," + png(Qt::red, QSize(2, 1)).toBase64())));
        const QStringList before = describe(pasted);
        QVERIFY2(before.join('\n').contains("[picture 2x1]"), qPrintable(before.join('\n')));

        const std::unique_ptr<QTextDocument> reopened = savedAndReopened(pasted);
        QVERIFY(reopened);
        QCOMPARE(describe(*reopened), before);
        // And once more, as a list opened and saved again without a change.
        QCOMPARE(describe(*savedAndReopened(*reopened)), before);
        const RichText stored = fromTextDocument(*reopened);
        QCOMPARE(stored.attachments.size(), size_t(1));
        QCOMPARE(stored.attachments.front().first, QStringLiteral("Pasted Graphic.png"));
    }

    void attachmentsComeBackAsTheyCame() {
        // A photo and a file that is no picture, as a Mac stores them: both are written back byte for
        // byte under their names, at their sizes, and the file shows as a card with its name.
        QByteArray jpeg;
        {
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            QImage photo(30, 20, QImage::Format_RGB32);
            photo.fill(Qt::blue);
            photo.save(&buffer, "JPG");
        }
        const QByteArray pdf("%PDF-1.4 not really a picture");
        TextRun photo = run(QString(kAttachmentCharacter));
        photo.attachmentName = QStringLiteral("photo.jpg");
        photo.attachmentWidth = 300;
        photo.attachmentHeight = 200;
        TextRun file = run(QString(kAttachmentCharacter));
        file.attachmentName = QStringLiteral("../receipt.pdf");
        file.attachmentWidth = 40;
        file.attachmentHeight = 40;
        RichText text = RichText::fromRuns({run("a "), photo, run(" b "), file, photo, run(" c")});
        text.attachments = {{QStringLiteral("photo.jpg"), jpeg}, {QStringLiteral("../receipt.pdf"), pdf}};

        const std::unique_ptr<QTextDocument> document = toTextDocument(text);
        QVERIFY(describe(*document).join(' ').contains("[picture 15x10]"));
        const RichText back = fromTextDocument(*document);
        QCOMPARE(back.runs, text.runs);
        QCOMPARE(back.attachments, text.attachments);
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

    void anAttachmentWithoutItsFileIsLeftOut() {
        TextRun file = run(QString(kAttachmentCharacter));
        file.attachmentName = QStringLiteral("missing.png");
        const RichText text = RichText::fromRuns({run("a"), file, run("b")});
        QCOMPARE(toTextDocument(text)->toPlainText(), QStringLiteral("ab"));
        QVERIFY(fromTextDocument(*toTextDocument(RichText{})).runs.empty());
    }
};

QTEST_MAIN(TestRichTextDocument)
#include "tst_rich_text_document.moc"
