#include "print/core/print_page.h"

#include "dates/user_date_time_format.h"
#include "model/clock.h"

#include <QCoreApplication>

namespace tardigo {

PrintMargins printMarginsForPaperWidth(double paperWidth) {
    const double side = paperWidth * 0.05;
    return {side, side, paperWidth * 0.08, side};
}

QString pageFooterText(int pageNumber, const QString& listName) {
    const QString separator = QStringLiteral("    ");
    return QCoreApplication::translate("PrintPage", "page") + u' ' + QString::number(pageNumber) + separator +
           listName + separator + formatUserDateTime(Clock::now());
}

} // namespace tardigo
