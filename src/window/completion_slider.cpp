#include "window/completion_slider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QStyleOptionViewItem>
#include <QWidget>

#include <cmath>

namespace tardigo {

namespace {

constexpr int kSmallHeight = 16;
constexpr int kRegularHeight = 22;
constexpr int kMargin = 4;
constexpr qreal kBarHeight = 4.0;
constexpr int kMaximumBarWidth = 120;
constexpr int kMaximumSliderWidth = kMaximumBarWidth + 48;

QStyleOptionSlider sliderOption(const QRect& cell, double fraction, bool regularSize, const QWidget* widget) {
    QStyleOptionSlider option;
    if (widget)
        option.initFrom(widget);
    option.state |= QStyle::State_Enabled | QStyle::State_Horizontal;
    option.state &= ~QStyle::State_HasFocus;
    const int height = std::min(cell.height(), regularSize ? kRegularHeight : kSmallHeight);
    // As long as the bar and its percentage, however wide the column.
    const int width = std::clamp(cell.width() - 2 * kMargin, 0, kMaximumSliderWidth);
    option.rect = QRect(cell.left() + kMargin, cell.center().y() - height / 2 + 1, width, height);
    option.orientation = Qt::Horizontal;
    option.minimum = 0;
    option.maximum = 100;
    option.sliderPosition = int(std::lround(std::clamp(fraction, 0.0, 1.0) * 100.0));
    option.sliderValue = option.sliderPosition;
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    option.tickPosition = QSlider::NoTicks;
    return option;
}

} // namespace

void CompletionSlider::paint(QPainter* painter, const QRect& cell, double fraction, bool regularSize,
                             const QWidget* widget) {
    QStyleOptionSlider option = sliderOption(cell, fraction, regularSize, widget);
    QStyle* style = widget ? widget->style() : nullptr;
    if (option.rect.width() <= 0 || !style)
        return;
    // Styles draw a slider as if it stood at the origin of its widget.
    const QPoint origin = option.rect.topLeft();
    option.rect.moveTopLeft(QPoint(0, 0));
    painter->save();
    painter->translate(origin);
    style->drawComplexControl(QStyle::CC_Slider, &option, painter, widget);
    painter->restore();
}

void CompletionSlider::paintBar(QPainter* painter, const QStyleOptionViewItem& cell, double fraction) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    const bool selected = cell.state & QStyle::State_Selected;
    const QColor ink = cell.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QFontMetrics metrics(cell.font);
    const int textWidth = metrics.horizontalAdvance(QStringLiteral("100%"));
    const QRect area = cell.rect.adjusted(kMargin, 0, -kMargin, 0);
    // The bar keeps a reading length in a wide column; the percentage follows it.
    const int barWidth = std::clamp(area.width() - textWidth - kMargin, 0, kMaximumBarWidth);
    const QRectF groove(area.left(), area.center().y() - kBarHeight / 2 + 1, barWidth, kBarHeight);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    QColor empty = ink;
    empty.setAlphaF(0.15f);
    painter->setBrush(empty);
    painter->drawRoundedRect(groove, kBarHeight / 2, kBarHeight / 2);
    if (fraction > 0.0) {
        painter->setBrush(selected ? ink : cell.palette.color(QPalette::Highlight));
        QRectF filled = groove;
        filled.setWidth(std::max(kBarHeight, groove.width() * fraction));
        painter->drawRoundedRect(filled, kBarHeight / 2, kBarHeight / 2);
        painter->setPen(ink);
        painter->setFont(cell.font);
        painter->drawText(QRect(area.left() + barWidth + kMargin, area.top(), textWidth, area.height()),
                          Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("%1%").arg(int(std::lround(fraction * 100.0))));
    }
    painter->restore();
}

double CompletionSlider::fractionAt(const QRect& cell, int x, bool regularSize, const QWidget* widget) {
    const QStyleOptionSlider option = sliderOption(cell, 0.0, regularSize, widget);
    QStyle* style = widget->style();
    const QRect groove = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, widget);
    const QRect handle = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, widget);
    const int span = groove.width() - handle.width();
    if (span <= 0)
        return 0.0;
    const int position = x - groove.left() - handle.width() / 2;
    return QStyle::sliderValueFromPosition(0, 100, std::clamp(position, 0, span), span) / 100.0;
}

} // namespace tardigo
