#include "inspector/gui/gesture_slider.h"

#include <QKeyEvent>

namespace tardigo {

GestureSlider::GestureSlider(std::function<void(int)> finished, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), _finished(std::move(finished)) {
    // A drag moves the handle only; its value comes when the button is released.
    setTracking(false);
}

void GestureSlider::showValue(int value) {
    setValue(value);
    _shown = value;
}

void GestureSlider::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    finish();
}

void GestureSlider::keyReleaseEvent(QKeyEvent* event) {
    QSlider::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        finish();
}

void GestureSlider::wheelEvent(QWheelEvent* event) {
    QSlider::wheelEvent(event);
    finish();
}

void GestureSlider::focusOutEvent(QFocusEvent* event) {
    finish();
    QSlider::focusOutEvent(event);
}

void GestureSlider::finish() {
    if (value() == _shown)
        return;
    _shown = value();
    _finished(_shown);
}

} // namespace tardigo
