#include "widgets/clear_button.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>

namespace tardigo {

void showClearButton(QLineEdit& field) {
    field.setClearButtonEnabled(true);
    if (auto* clear = field.findChild<QAction*>(QStringLiteral("_q_qlineeditclearaction")))
        clear->setText(QCoreApplication::translate("ClearButton", "Clear"));
}

} // namespace tardigo
