#include "print/gui/print_view.h"

#include "appearance/icon_for_name.h"
#include "appearance/item_appearance.h"
#include "appearance/rich_text_document.h"
#include "document/tardigo_document.h"
#include "outline/icon_rules.h"
#include "print/core/print_layout.h"
#include "print/core/print_page.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace tardigo {

namespace {

// Sizes in points.
constexpr double kImageSize = 16.0;
constexpr double kImageGap = 6.0;
// Sharp on paper at 288 dots an inch.
constexpr double kImagePixelsPerPoint = 4.0;
constexpr double kIndentPerLevel = 28.0;
constexpr double kTabStopDistance = 28.0;
constexpr double kFooterKerning = 1.0;
constexpr int kFooterLinesAboveBottom = 3;
// However deep an item, its text keeps this share of the line.
constexpr double kNarrowestText = 0.3;

// A text document laid out for a printer takes lengths (tab stops, image sizes, letter spacing) in
// pixels of the screen's logical resolution and scales them to the printer's.
double documentUnitsPerPoint() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? qRound(screen->logicalDotsPerInchY()) : 100) / 72.0;
}

QColor qColor(const Rgba& rgba) {
    return QColor::fromRgbF(rgba.r, rgba.g, rgba.b, rgba.a);
}

QTextCharFormat textFormat(const QFont& font, const QColor& color) {
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(color);
    return format;
}

// Where the lines of a laid-out text start: the tops of the slices a page may end between.
std::vector<std::pair<double, double>> lineSpans(const QTextDocument& text) {
    std::vector<std::pair<double, double>> spans;
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* lines = block.layout();
        if (!lines)
            continue;
        // The layout decides what to draw by this rectangle, which may reach above the first line.
        const double blockTop = lines->position().y() + lines->boundingRect().top();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const double top = lines->position().y() + lines->lineAt(i).y();
            spans.emplace_back(i == 0 ? std::min(blockTop, top) : top, top + lines->lineAt(i).height());
        }
    }
    return spans;
}

} // namespace

PrintView::PrintView(const TardigoDocument& document, PrintOptions options,
                     PrintLayout::IsExpanded isExpanded)
    : _document(document), _options(options), _isExpanded(std::move(isExpanded)) {}

PrintView::~PrintView() = default;

QString PrintView::printJobTitle() const {
    return _document.displayName();
}

bool PrintView::print(QPrinter& printer, QString* error) {
    printer.setFullPage(true);
    printer.setDocName(printJobTitle());
    if (printPages(printer))
        return true;
    *error = printer.outputFormat() == QPrinter::PdfFormat
                 ? tr("“%1” could not be written. Check that its folder exists and that you may write "
                      "there.")
                       .arg(printer.outputFileName())
                 : tr("The printer “%1” could not be started. Check that it is ready and try again.")
                       .arg(printer.printerName());
    return false;
}

bool PrintView::print(QPdfWriter& pdf) {
    pdf.setTitle(printJobTitle());
    QPageLayout paper = pdf.pageLayout();
    paper.setMode(QPageLayout::FullPageMode);
    pdf.setPageLayout(paper);
    return printPages(pdf);
}

bool PrintView::printPages(QPagedPaintDevice& device) {
    _device = &device;
    _pixelsPerPoint = device.logicalDpiY() / 72.0;
    _unitsPerPoint = documentUnitsPerPoint();
    _pageNumber = 0;
    _images.clear();
    _itemFormats.clear();
    _listFont = defaultItemFont();
    _plainFormat = textFormat(_listFont, Qt::black);
    const QSizeF paper = paperSize();
    const PrintMargins margins = printMarginsForPaperWidth(paper.width() / _pixelsPerPoint);

    QPainter painter;
    if (!painter.begin(&device))
        return false;
    _painter = &painter;
    // The text stops above the footer, which stands three of its lines above the paper's edge.
    const double footerHeight =
        kFooterLinesAboveBottom * QFontMetricsF(QApplication::font(), &device).lineSpacing();
    const double bottom = std::max(margins.bottom * _pixelsPerPoint, footerHeight);
    _textArea = QRectF(margins.left * _pixelsPerPoint, margins.top * _pixelsPerPoint,
                       paper.width() - (margins.left + margins.right) * _pixelsPerPoint,
                       paper.height() - margins.top * _pixelsPerPoint - bottom);
    _y = _textArea.top();

    const std::vector<PrintItem> items =
        PrintLayout(_document.outlineModel(), _document.outlineSettings().columns(), _isExpanded, _options,
                    IconRules::current())
            .doLayout();
    for (const PrintItem& item : items)
        printItem(item);
    drawPageBorderWithSize();
    _painter = nullptr;
    return painter.end();
}

void PrintView::printItem(const PrintItem& item) {
    const double imageSize = kImageSize * _pixelsPerPoint;
    const double imageColumn = (kImageSize + kImageGap) * _pixelsPerPoint;
    double left = _textArea.left() + item.depth * kIndentPerLevel * _pixelsPerPoint;
    const int imageColumns = int(_options.checkboxes) + int(_options.icons);
    // A branch nested very deep still leaves its names room to be read.
    left =
        std::min(left, _textArea.right() - imageColumns * imageColumn - kNarrowestText * _textArea.width());
    const double textLeft = left + imageColumns * imageColumn;

    // The name, then what the outline's other columns show, set apart from it.
    const QString details = item.details.join(u' ');
    const QString separator = !item.name.isEmpty() && !details.isEmpty() ? kPrintDetailsSeparator : QString();
    const QTextCharFormat& own = formatOf(item.style);
    QTextLayout line(item.name + separator + details, own.font(), _device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    line.setTextOption(option);
    const int nameEnd = int(item.name.size());
    const int separatorEnd = nameEnd + int(separator.size());
    line.setFormats({{0, nameEnd, own},
                     {nameEnd, int(separator.size()), _plainFormat},
                     {separatorEnd, int(details.size()), own}});
    line.beginLayout();
    double height = 0;
    for (QTextLine row = line.createLine(); row.isValid(); row = line.createLine()) {
        row.setLineWidth(_textArea.right() - textLeft);
        row.setPosition(QPointF(0, height));
        height += row.height();
    }
    line.endLayout();

    // The images stand level with the first line of text.
    const QTextLine first = line.lineAt(0);
    const double firstHeight = std::max(first.height(), imageSize);
    makeRoom(firstHeight);
    const double imageTop = _y + (firstHeight - imageSize) / 2;
    double imageLeft = left;
    if (_options.checkboxes) {
        drawImage(item.checkbox, QPointF(imageLeft, imageTop));
        imageLeft += imageColumn;
    }
    if (_options.icons && !item.icon.isEmpty())
        drawImage(item.icon, QPointF(imageLeft, imageTop));
    _painter->setPen(Qt::black);
    for (int i = 0; i < line.lineCount(); ++i) {
        const QTextLine row = line.lineAt(i);
        const double rowHeight = i == 0 ? firstHeight : row.height();
        if (i > 0)
            makeRoom(rowHeight);
        row.draw(_painter, QPointF(textLeft, _y + (rowHeight - row.height()) / 2 - row.y()));
        _y += rowHeight;
    }
    if (item.notes)
        printNotes(*item.notes, textLeft);
}

std::unique_ptr<QTextDocument> PrintView::notesDocument(const RichText& notes, double width) const {
    // The notes print in the list's text size, under their item's name.
    RichText sized = notesInTextSize(notes, _listFont.pointSizeF());
    for (TextRun& run : sized.runs) {
        run.attachmentWidth = qRound(run.attachmentWidth * _unitsPerPoint);
        run.attachmentHeight = qRound(run.attachmentHeight * _unitsPerPoint);
    }
    std::unique_ptr<QTextDocument> text = toTextDocument(sized);
    text->documentLayout()->setPaintDevice(_device);
    text->setDocumentMargin(0);
    text->setDefaultFont(_listFont);
    QTextOption option = text->defaultTextOption();
    option.setTabStopDistance(kTabStopDistance * _unitsPerPoint);
    text->setDefaultTextOption(option);
    text->setTextWidth(width);
    return text;
}

void PrintView::printNotes(const RichText& notes, double left) {
    const std::unique_ptr<QTextDocument> text = notesDocument(notes, _textArea.right() - left);
    // Each page draws a slice of the notes that ends between two lines. The layout draws every
    // paragraph that touches the clip, so the clip keeps clear of the slices before and after by a
    // fraction of a pixel: a page must not draw a line of the next, whose characters would sit in
    // the PDF under the clip, where a reader or a search still finds them.
    const auto drawSlice = [&](double from, double to) {
        _painter->save();
        _painter->translate(left, _y - from);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, from + 0.5, text->textWidth(), to - from - 1);
        // Paper is white whatever the screen's palette.
        context.palette.setColor(QPalette::Text, Qt::black);
        _painter->setClipRect(context.clip);
        text->documentLayout()->draw(_painter, context);
        _painter->restore();
    };
    const std::vector<std::pair<double, double>> spans = lineSpans(*text);
    if (!spans.empty())
        makeRoom(spans.front().second);
    double sliceTop = 0;
    for (const auto& [top, bottom] : spans) {
        if (_y + bottom - sliceTop <= _textArea.bottom() || top <= sliceTop)
            continue;
        drawSlice(sliceTop, top);
        _y += top - sliceTop;
        newPage();
        sliceTop = top;
    }
    const double end = text->documentLayout()->documentSize().height();
    drawSlice(sliceTop, end);
    _y += end - sliceTop;
}

const QTextCharFormat& PrintView::formatOf(const PrintTextStyle& style) {
    // Items share a few fonts and colours: each is looked up once a printout.
    const QString key = style.font.name.value_or(QString()) + u'/' + QString::number(style.font.pointSize) +
                        u'/' + qColor(style.color).name(QColor::HexArgb);
    auto format = _itemFormats.find(key);
    if (format == _itemFormats.end())
        format = _itemFormats.insert(key, textFormat(qFontForItemFont(style.font), qColor(style.color)));
    return *format;
}

void PrintView::makeRoom(double height) {
    if (_y + height > _textArea.bottom() && _y > _textArea.top())
        newPage();
}

void PrintView::newPage() {
    drawPageBorderWithSize();
    _device->newPage();
    _y = _textArea.top();
}

void PrintView::drawImage(const QString& name, QPointF where) {
    auto image = _images.find(name);
    if (image == _images.end()) {
        const int pixels = qRound(kImageSize * kImagePixelsPerPoint);
        image = _images.insert(name, iconForName(name).pixmap(pixels, pixels).toImage());
    }
    // An image, not a pixmap: the PDF writer keeps one copy of it however often it is drawn.
    const double size = kImageSize * _pixelsPerPoint;
    _painter->drawImage(QRectF(where, QSizeF(size, size)), *image);
}

QSizeF PrintView::paperSize() const {
    return _device->pageLayout().fullRectPixels(_device->logicalDpiY()).size();
}

void PrintView::drawPageBorderWithSize() {
    ++_pageNumber;
    QFont font = QApplication::font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, kFooterKerning * _unitsPerPoint);
    const QString footer = pageFooterText(_pageNumber, _document.displayName());
    const QFontMetricsF metrics(font, _painter->device());
    const QSizeF paper = paperSize();
    const QSizeF box = metrics.size(Qt::TextSingleLine, footer);
    const QRectF where((paper.width() - box.width()) / 2,
                       paper.height() - kFooterLinesAboveBottom * metrics.lineSpacing(), box.width(),
                       box.height());
    _painter->save();
    _painter->setFont(font);
    _painter->setPen(Qt::black);
    _painter->drawText(where, Qt::AlignLeft | Qt::TextSingleLine, footer);
    _painter->restore();
}

} // namespace tardigo
