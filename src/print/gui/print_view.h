#pragma once

#include "print/core/print_item.h"
#include "print/core/print_layout.h"
#include "print/core/print_options.h"

#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QTextCharFormat>

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;
class QTextDocument;

namespace tardigo {

class TardigoDocument;

/// One printout of a list: each item the list's outline shows, as a line of its own inside the
/// margins the paper's width gives, its check box and icon in columns of their own, its notes under
/// its name; a footer on every page. Each item is laid out alone, so a long list costs what its
/// items cost, page by page.
class PrintView {
    Q_DECLARE_TR_FUNCTIONS(PrintView)
public:
    /// `isExpanded` says which branches the window shows open; none: every one.
    PrintView(const TardigoDocument& document, PrintOptions options, PrintLayout::IsExpanded isExpanded = {});
    ~PrintView();

    QString printJobTitle() const;
    /// Prints every page; false, with the reason, when the printer cannot be written to.
    bool print(QPrinter& printer, QString* error);
    /// Prints every page into the PDF, on its paper; false when it could not be drawn on.
    bool print(QPdfWriter& pdf);

private:
    /// Draws every page on the device, which draws from the paper's corner.
    bool printPages(QPagedPaintDevice& device);
    void printItem(const PrintItem& item);
    void printNotes(const RichText& notes, double left);
    /// Starts the next page unless `height` more fits on this one (or the page is still empty).
    void makeRoom(double height);
    void newPage();
    void drawImage(const QString& name, QPointF where);
    const QTextCharFormat& formatOf(const PrintTextStyle& style);
    std::unique_ptr<QTextDocument> notesDocument(const RichText& notes, double width) const;
    QSizeF paperSize() const; // in the device's pixels
    void drawPageBorderWithSize();

    const TardigoDocument& _document;
    PrintOptions _options;
    PrintLayout::IsExpanded _isExpanded;
    QPagedPaintDevice* _device = nullptr;
    QPainter* _painter = nullptr;
    QRectF _textArea;             // in the device's pixels
    double _pixelsPerPoint = 1.0; // the device's
    double _unitsPerPoint = 1.0;  // a text document's
    double _y = 0;                // where the next line goes
    int _pageNumber = 0;
    QHash<QString, QImage> _images; // by icon name
    QHash<QString, QTextCharFormat> _itemFormats;
    QFont _listFont; // the default font of items
    QTextCharFormat _plainFormat;
};

} // namespace tardigo
