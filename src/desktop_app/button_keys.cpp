#include "desktop_app/button_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

namespace tardigo {

namespace {

/// The focused button that Return should press; null when Return is someone else's: no button has
/// the focus, or a dialog's push button takes Return itself.
QAbstractButton* buttonForReturn(QObject* watched) {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!button || !button->hasFocus() || !button->isEnabled())
        return nullptr;
    if (auto* push = qobject_cast<QPushButton*>(button))
        return push->autoDefault() || push->isDefault() ? nullptr : push;
    return qobject_cast<QToolButton*>(button);
}

} // namespace

void ButtonKeys::install() {
    qApp->installEventFilter(new ButtonKeys(qApp));
}

bool ButtonKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    QAbstractButton* button = buttonForReturn(watched);
    if (!button)
        return false;
    if (type == QEvent::ShortcutOverride) {
        // The key comes to the button even where a shortcut of the window has it.
        event->accept();
        return true;
    }
    // Handed on as the Space the button already answers: a menu button opens its menu, a held key
    // presses once.
    QKeyEvent space(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), key->isAutoRepeat());
    QCoreApplication::sendEvent(button, &space);
    return true;
}

} // namespace tardigo
