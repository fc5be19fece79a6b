#pragma once

#include <QSlider>

#include <functional>

namespace tardigo {

/// A slider that hands over its value once a gesture ends, and never while it is being filled: when
/// the button of a drag or of a press on its groove is released, when a key is released however long
/// it repeated, at each turn of the wheel, and when the focus leaves in the middle of one.
class GestureSlider : public QSlider {
public:
    /// `finished` receives the value a gesture ended at, when it differs from the one shown.
    GestureSlider(std::function<void(int)> finished, QWidget* parent = nullptr);

    /// Shows a value without handing it over.
    void showValue(int value);
    /// Moves to a value and hands it over, as a gesture that ended there: what assistive technology
    /// sets.
    void setValueAsGesture(int value);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void finish();

    std::function<void(int)> _finished;
    int _shown = 0;
};

} // namespace tardigo
