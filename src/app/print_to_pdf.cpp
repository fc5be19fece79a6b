#include "app/print_to_pdf.h"

#include "document/tardigo_document.h"
#include "window/print_view.h"

#include <QCoreApplication>
#include <QPrinter>

#include <cstdio>

namespace tardigo {

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "tardigo: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int printListToPdf(const QString& listPath, const QString& pdfPath, PrintOptions options) {
    TardigoDocument document;
    QString error;
    bool isLegacy = false;
    if (!document.readFromFile(listPath, &error, &isLegacy))
        return fail(error);
    if (isLegacy)
        return fail(QCoreApplication::translate("PrintToPdf",
                                                "“%1” is a Tardigo 1.x list. Convert it first with "
                                                "“tardigo-cli import”, then print the converted list.")
                        .arg(listPath));
    // A script cannot open branches by hand, so the printout shows them all.
    document.outlineCommands().expandAll();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    const int status = PrintView(document, options).print(printer, &error) ? 0 : fail(error);
    document.close();
    return status;
}

} // namespace tardigo
