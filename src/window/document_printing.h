#pragma once

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
    DocumentPrinting(TardigoDocument& document, QWidget& window);
    ~DocumentPrinting() override;

    /// Prints the list as its outline shows it, after the print dialog when asked for.
    void printShowingPrintPanel(bool showPanels);
    /// Shows the printout as it would print; the preview can print it too.
    void printPreview();
    /// The printer the next job goes to.
    QPrinter& printer() const { return *_printer; }

private:
    void print(QPrinter& printer);

    TardigoDocument& _document;
    QWidget& _window;
    std::unique_ptr<QPrinter> _printer;
};

} // namespace tardigo
