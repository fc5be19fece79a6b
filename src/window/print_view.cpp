#include "window/print_view.h"

#include "document/icon_rules.h"
#include "document/tardigo_document.h"
#include "print/print_layout.h"
#include "print/print_page.h"
#include "window/icon_for_name.h"
#include "window/item_appearance.h"
#include "window/rich_text_document.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <algorithm>

namespace tardigo {

namespace {

// Sizes in points.
constexpr double kImageSize = 16.0;
constexpr double kTabStopDistance = 28.0;
constexpr double kFooterKerning = 1.0;
constexpr int kFooterLinesAboveBottom = 3;

// A text document laid out for a printer takes lengths (tab stops, image sizes, letter spacing) in
// pixels of the screen's logical resolution and scales them to the printer's.
double documentUnitsPerPoint() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? qRound(screen->logicalDotsPerInchY()) : 100) / 72.0;
}

QColor qColor(const Rgba& rgba) {
    return QColor::fromRgbF(rgba.r, rgba.g, rgba.b, rgba.a);
}

QTextCharFormat plainFormat() {
    QTextCharFormat format;
    format.setFont(QApplication::font());
    format.setForeground(Qt::black);
    return format;
}

QTextCharFormat itemFormat(const PrintTextStyle& style) {
    QTextCharFormat format;
    const QFont font = qFontForItemFont(style.font);
    format.setFont(font);
    format.setForeground(qColor(style.color));
    // Qt lifts text by a share of its height, given in percent.
    if (style.baselineOffset != 0 && font.pointSizeF() > 0)
        format.setBaselineOffset(100.0 * style.baselineOffset / font.pointSizeF());
    return format;
}

// Each item's notes name their images on their own; within a printout the names must be unique.
RichText withUniqueAttachmentNames(RichText notes, int notesNumber) {
    const QString prefix = QStringLiteral("notes%1/").arg(notesNumber);
    for (TextRun& run : notes.runs)
        if (run.isAttachment())
            run.attachmentName.prepend(prefix);
    for (auto& [name, contents] : notes.attachments)
        name.prepend(prefix);
    return notes;
}

// Where each page starts: a line that would be cut by a page's end starts the next page. The pages
// are drawn from one long text, each clipped to its share; a page must not draw a line of the next,
// whose characters would sit in the PDF under the clip, where a reader or a search still finds them.
std::vector<double> pageTops(const QTextDocument& text, double pageHeight) {
    std::vector<double> tops{0.0};
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* lines = block.layout();
        if (!lines)
            continue;
        // The layout decides what to draw by this rectangle, which may reach above the first line.
        const double blockTop = lines->position().y() + lines->boundingRect().top();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const double top = lines->position().y() + lines->lineAt(i).y();
            const double start = i == 0 ? std::min(blockTop, top) : top;
            if (top + lines->lineAt(i).height() > tops.back() + pageHeight && start > tops.back())
                tops.push_back(start);
        }
    }
    return tops;
}

} // namespace

PrintView::PrintView(const TardigoDocument& document, PrintOptions options)
    : _document(document), _options(options) {}

PrintView::~PrintView() = default;

QString PrintView::printJobTitle() const {
    return _document.displayName();
}

bool PrintView::print(QPrinter& printer, QString* error) {
    printer.setFullPage(true);
    printer.setDocName(printJobTitle());
    _pixelsPerPoint = printer.resolution() / 72.0;
    _unitsPerPoint = documentUnitsPerPoint();
    _pageNumber = 0;
    const QSizeF paper = printer.paperRect(QPrinter::DevicePixel).size();
    const PrintMargins margins = printMarginsForPaperWidth(paper.width() / _pixelsPerPoint);

    QPainter painter;
    if (!painter.begin(&printer)) {
        *error = printer.outputFormat() == QPrinter::PdfFormat
                     ? tr("“%1” could not be written. Check that its folder exists and that you may write "
                          "there.")
                           .arg(printer.outputFileName())
                     : tr("The printer “%1” could not be started. Check that it is ready and try again.")
                           .arg(printer.printerName());
        return false;
    }
    // The text stops above the footer, which stands three of its lines above the paper's edge.
    const double footerHeight =
        kFooterLinesAboveBottom * QFontMetricsF(QApplication::font(), &printer).lineSpacing();
    const double bottom = std::max(margins.bottom * _pixelsPerPoint, footerHeight);
    const QRectF textArea(margins.left * _pixelsPerPoint, margins.top * _pixelsPerPoint,
                          paper.width() - (margins.left + margins.right) * _pixelsPerPoint,
                          paper.height() - margins.top * _pixelsPerPoint - bottom);
    const std::unique_ptr<QTextDocument> text = doLayout(printer, textArea.width());

    const std::vector<double> tops = pageTops(*text, textArea.height());
    for (size_t page = 0; page < tops.size(); ++page) {
        if (page > 0)
            printer.newPage();
        painter.save();
        painter.translate(textArea.left(), textArea.top() - tops[page]);
        // The layout draws every paragraph that touches the clip, so the clip keeps clear of the pages
        // before and after by a fraction of a pixel.
        const double end = page + 1 < tops.size() ? tops[page + 1] : tops[page] + textArea.height();
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, tops[page] + 0.5, textArea.width(), end - tops[page] - 1);
        // Paper is white whatever the screen's palette.
        context.palette.setColor(QPalette::Text, Qt::black);
        painter.setClipRect(context.clip);
        text->documentLayout()->draw(&painter, context);
        painter.restore();
        drawPageBorderWithSize(painter, paper);
    }
    return painter.end();
}

std::unique_ptr<QTextDocument> PrintView::doLayout(QPrinter& printer, double textWidth) {
    auto text = std::make_unique<QTextDocument>();
    text->documentLayout()->setPaintDevice(&printer);
    text->setDocumentMargin(0);
    text->setDefaultFont(QApplication::font());
    QTextOption option = text->defaultTextOption();
    option.setTabStopDistance(kTabStopDistance * _unitsPerPoint);
    text->setDefaultTextOption(option);
    text->setTextWidth(textWidth);

    const std::vector<PrintRun> runs =
        PrintLayout(_document, _document.outlineView(), _options, IconRules::current()).doLayout();
    for (const PrintRun& run : runs)
        appendRun(run, *text);
    return text;
}

void PrintView::appendRun(const PrintRun& run, QTextDocument& text) {
    QTextCursor cursor(&text);
    cursor.movePosition(QTextCursor::End);
    switch (run.kind) {
    case PrintRun::Kind::Image: {
        QTextImageFormat image;
        image.setName(imageResource(run.imageName, text));
        image.setWidth(kImageSize * _unitsPerPoint);
        image.setHeight(kImageSize * _unitsPerPoint);
        cursor.insertImage(image);
        return;
    }
    case PrintRun::Kind::Notes: {
        insertRichText(cursor, withUniqueAttachmentNames(run.notes, ++_notesCount));
        return;
    }
    case PrintRun::Kind::Text:
        break;
    }
    const QTextCharFormat format = run.style ? itemFormat(*run.style) : plainFormat();
    const QStringList lines = run.text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Each item starts a plain paragraph, whatever alignment the notes before it had.
        if (i > 0)
            cursor.insertBlock(QTextBlockFormat(), format);
        cursor.insertText(lines[i], format);
    }
}

QString PrintView::imageResource(const QString& name, QTextDocument& text) {
    if (const auto found = _imageResources.constFind(name); found != _imageResources.constEnd())
        return *found;
    const QString resource = QStringLiteral("icon%1").arg(_imageResources.size());
    const int pixels = int(kImageSize * _pixelsPerPoint);
    text.addResource(QTextDocument::ImageResource, QUrl(resource),
                     iconForName(name).pixmap(pixels, pixels).toImage());
    _imageResources.insert(name, resource);
    return resource;
}

void PrintView::drawPageBorderWithSize(QPainter& painter, const QSizeF& paperSize) {
    ++_pageNumber;
    QFont font = QApplication::font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, kFooterKerning * _unitsPerPoint);
    const QString footer = pageFooterText(_pageNumber, _document.displayName());
    const QFontMetricsF metrics(font, painter.device());
    const QSizeF box = metrics.size(Qt::TextSingleLine, footer);
    const QRectF where((paperSize.width() - box.width()) / 2,
                       paperSize.height() - kFooterLinesAboveBottom * metrics.lineSpacing(), box.width(),
                       box.height());
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(where, Qt::AlignLeft | Qt::TextSingleLine, footer);
    painter.restore();
}

} // namespace tardigo
