#include "print/gui/document_printing.h"

#include "alerts/alert_queue.h"
#include "dialogs/output_confirmation.h"
#include "document/tardigo_document.h"
#include "print/core/print_options.h"
#include "print/gui/pdf_file.h"
#include "print/gui/print_controller.h"
#include "print/gui/print_view.h"

#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace tardigo {

namespace {

/// Whether the job writes a PDF file. The preview draws with the printer's own settings through an
/// engine that only keeps the pages.
bool printsToFile(QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat &&
           printer.paintEngine()->type() == QPaintEngine::Pdf;
}

} // namespace

DocumentPrinting::DocumentPrinting(TardigoDocument& document, QWidget& window,
                                   PrintLayout::IsExpanded isExpanded)
    : QObject(&window), _document(document), _window(window), _isExpanded(std::move(isExpanded)),
      _printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

DocumentPrinting::~DocumentPrinting() = default;

void DocumentPrinting::printShowingPrintPanel(bool showPanels) {
    _document.finishAllEditing();
    if (showPanels) {
        QPrintDialog dialog(_printer.get(), &_window);
        dialog.setWindowTitle(tr("Print “%1”").arg(_document.displayName()));
        dialog.setOptionTabs({new PrintController});
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    print(*_printer, showPanels);
}

void DocumentPrinting::printPreview() {
    _document.finishAllEditing();
    QPrintPreviewDialog preview(_printer.get(), &_window);
    preview.setWindowTitle(tr("Print Preview of “%1”").arg(_document.displayName()));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { print(*printer, true); });
    preview.exec();
}

void DocumentPrinting::print(QPrinter& printer, bool replaceAgreed) {
    // The options are read now, after the dialog that may have changed them.
    PrintView view(_document, PrintOptions::fromSettings(), _isExpanded);
    QString error;
    if (printsToFile(printer)) {
        const QString path = printer.outputFileName();
        if (!confirmOutput(&_window, path, {_document.fileName()}, replaceAgreed))
            return;
        error = printToPdfFile(view, path, printer.pageLayout());
    } else {
        view.print(printer, &error);
    }
    if (!error.isEmpty())
        if (AlertQueue* alerts = _document.alertQueue())
            alerts->addAlert(tr("The list could not be printed."), error, false, std::nullopt, std::nullopt,
                             std::nullopt);
}

} // namespace tardigo
