#include "accounts/message_label.h"

#include <QLabel>
#include <QLayout>

namespace tardigo {

QLabel* messageLabel(QWidget* parent, const QString& objectName, const QString& accessibleName) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setAccessibleName(accessibleName);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->hide();
    return label;
}

void growToShow(QWidget* widget) {
    QWidget* top = widget->window();
    QLayout* layout = top->layout();
    if (!layout || !top->isVisible())
        return;
    layout->activate();
    const int needed = layout->hasHeightForWidth() ? layout->totalHeightForWidth(top->width())
                                                   : layout->totalSizeHint().height();
    if (needed > top->height())
        top->resize(top->width(), needed);
}

} // namespace tardigo
