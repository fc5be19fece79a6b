#include "dialogs/message_box_fitting.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QWidget>

namespace tardigo {

namespace {
// What a title bar above a box of reading width shows beside the desktop's buttons.
constexpr int kTitleWidthInCharacters = 40;
constexpr int kReadingWidthInCharacters = 60;
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

void giveReadingWidth(QMessageBox& box) {
    // The box lays itself out in a grid; a spacer across its bottom row sets the smallest width.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().averageCharWidth() * kReadingWidthInCharacters;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace tardigo
