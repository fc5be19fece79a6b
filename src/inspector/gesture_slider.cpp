#include "inspector/gesture_slider.h"

#include <QAccessibleWidget>
#include <QKeyEvent>

namespace tardigo {

namespace {

/// The slider as assistive technology sees it: Qt's own would set a value that is never handed over.
class AccessibleGestureSlider : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleGestureSlider(GestureSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return QStringLiteral("%1 %").arg(slider()->value());
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& value) override { slider()->setValueAsGesture(value.toInt()); }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

private:
    GestureSlider* slider() const { return static_cast<GestureSlider*>(widget()); }
};

QAccessibleInterface* accessibleGestureSlider(const QString&, QObject* object) {
    auto* slider = dynamic_cast<GestureSlider*>(object);
    return slider ? new AccessibleGestureSlider(slider) : nullptr;
}

} // namespace

GestureSlider::GestureSlider(std::function<void(int)> finished, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), _finished(std::move(finished)) {
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleGestureSlider);
        return true;
    }();
    Q_UNUSED(accessible);
    // A drag moves the handle only; its value comes when the button is released.
    setTracking(false);
}

void GestureSlider::showValue(int value) {
    setValue(value);
    _shown = value;
}

void GestureSlider::setValueAsGesture(int value) {
    setValue(value);
    finish();
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
