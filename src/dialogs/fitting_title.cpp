#include "dialogs/fitting_title.h"

#include <QFontMetrics>
#include <QWidget>

namespace tardigo {

namespace {
// What a title bar above a box of reading width shows beside the desktop's buttons.
constexpr int kTitleWidthInCharacters = 40;
} // namespace

QString titleToFit(const QString& title, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(title) <= width)
        return title;
    const QString ellipsis = QStringLiteral("…");
    QString kept;
    for (const QString& word : title.split(u' ')) {
        const QString longer = kept.isEmpty() ? word : kept + u' ' + word;
        if (metrics.horizontalAdvance(longer + ellipsis) > width)
            break;
        kept = longer;
    }
    // A first word too long for the bar is cut after all; a comma or colon before the cut goes.
    if (kept.isEmpty())
        return metrics.elidedText(title, Qt::ElideRight, width);
    while (kept.endsWith(u',') || kept.endsWith(u':') || kept.endsWith(u';'))
        kept.chop(1);
    return kept + ellipsis;
}

void setFittingWindowTitle(QWidget& box, const QString& title) {
    box.setWindowTitle(
        titleToFit(title, box.fontMetrics(), box.fontMetrics().averageCharWidth() * kTitleWidthInCharacters));
}

} // namespace tardigo
