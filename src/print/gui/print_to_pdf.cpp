#include "print/gui/print_to_pdf.h"

#include "archive/output_guard.h"
#include "document/tardigo_document.h"
#include "platform/untrusted_text.h"
#include "print/gui/pdf_file.h"
#include "print/gui/print_view.h"

#include <QCoreApplication>
#include <QPageLayout>

#include <cstdio>

namespace tardigo {

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "tardigo: %s\n", qPrintable(terminalSafe(message)));
    return 1;
}

} // namespace

int printListToPdf(const QString& listPath, const QString& pdfPath, PrintOptions options, bool replace) {
    if (const OutputCheck check = checkOutput(pdfPath, OutputKind::Other, {listPath}); !check.allows(replace))
        return fail(check.reason);
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
    PrintView view(document, options);
    error = printToPdfFile(view, pdfPath, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}));
    document.close();
    return error.isEmpty() ? 0 : fail(error);
}

} // namespace tardigo
