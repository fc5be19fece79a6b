#pragma once

#include "print/print_options.h"
#include "print/print_run.h"

#include <QCoreApplication>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QPrinter;
class QRectF;
class QSizeF;
class QTextDocument;

namespace tardigo {

class TardigoDocument;

/// One printout of a list: the list's print layout as a text document, paginated into the text area
/// that the paper's margins leave, with a footer on every page. The printout shows what the list's
/// outline shows.
class PrintView {
    Q_DECLARE_TR_FUNCTIONS(PrintView)
public:
    PrintView(const TardigoDocument& document, PrintOptions options);
    ~PrintView();

    QString printJobTitle() const;
    /// Prints every page; false, with the reason, when the printer cannot be written to.
    bool print(QPrinter& printer, QString* error);

private:
    std::unique_ptr<QTextDocument> doLayout(QPrinter& printer, double textWidth);
    void appendRun(const PrintRun& run, QTextDocument& text);
    QString imageResource(const QString& name, QTextDocument& text);
    void drawPageBorderWithSize(QPainter& painter, const QSizeF& paperSize);

    const TardigoDocument& _document;
    PrintOptions _options;
    double _pixelsPerPoint = 1.0; // the printer's
    double _unitsPerPoint = 1.0;  // the text document's
    int _pageNumber = 0;
    int _notesCount = 0;
    QHash<QString, QString> _imageResources; // icon name to resource name
};

} // namespace tardigo
