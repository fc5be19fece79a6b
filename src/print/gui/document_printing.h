#pragma once

#include "print/core/print_layout.h"

#include <QObject>

#include <memory>

class QPrinter;
class QWidget;

namespace tardigo {

class TardigoDocument;

/// Printing from a list's window: the print dialog with the list's options as a tab of its own, the
/// preview, and the printer settings, which the window keeps from one job to the next.
class DocumentPrinting : public QObject {
    Q_OBJECT
public:
    /// `isExpanded` says which branches the window shows open, which the printout shows open too.
    DocumentPrinting(TardigoDocument& document, QWidget& window, PrintLayout::IsExpanded isExpanded);
    ~DocumentPrinting() override;

    /// Prints the list as its outline shows it, after the print dialog when asked for. A printout
    /// to a file never replaces the list nor any other list, replaces another file only when the
    /// user agreed (the print dialog asks), and is written whole or not at all.
    void printShowingPrintPanel(bool showPanels);
    /// Shows the printout as it would print; the preview can print it too.
    void printPreview();
    /// The printer the next job goes to.
    QPrinter& printer() const { return *_printer; }

private:
    /// `replaceAgreed`: a dialog asked whether to replace the printer's output file.
    void print(QPrinter& printer, bool replaceAgreed);

    TardigoDocument& _document;
    QWidget& _window;
    PrintLayout::IsExpanded _isExpanded;
    std::unique_ptr<QPrinter> _printer;
};

} // namespace tardigo
