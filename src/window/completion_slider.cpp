#include "window/completion_slider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWidget>

#include <cmath>

namespace tardigo {

namespace {

constexpr int kSmallHeight = 16;
constexpr int kRegularHeight = 22;
constexpr int kMargin = 4;

QStyleOptionSlider sliderOption(const QRect& cell, double fraction, bool regularSize, const QWidget* widget) {
    QStyleOptionSlider option;
    if (widget)
        option.initFrom(widget);
    option.state |= QStyle::State_Enabled | QStyle::State_Horizontal;
    option.state &= ~QStyle::State_HasFocus;
    const int height = std::min(cell.height(), regularSize ? kRegularHeight : kSmallHeight);
    option.rect = QRect(cell.left() + kMargin, cell.center().y() - height / 2 + 1,
                        std::max(0, cell.width() - 2 * kMargin), height);
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
