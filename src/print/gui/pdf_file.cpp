#include "print/gui/pdf_file.h"

#include "platform/atomic_file.h"
#include "print/gui/print_view.h"

#include <QPageLayout>
#include <QPdfWriter>

namespace tardigo {

QString printToPdfFile(PrintView& view, const QString& path, const QPageLayout& paper) {
    // The PDF engine goes on after a failed write; the save notices it and keeps the old file.
    return writeFileAtomically(path, [&](QIODevice& file) {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Tardigo"));
        pdf.setPageLayout(paper);
        return view.print(pdf) ? QString() : QStringLiteral("the pages could not be drawn");
    });
}

} // namespace tardigo
