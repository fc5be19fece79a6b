#pragma once

#include <QWidget>

namespace tardigo {

struct StatusDisplay;

/// One page of the inspector. Its controls show what the document's refresh produced, and forward
/// what the user does with them to the document.
class ToolPage : public QWidget {
public:
    using QWidget::QWidget;

    /// Shows the refresh's result: enabled and filled from the selected item, or disabled and cleared.
    virtual void render(const StatusDisplay& display) = 0;
    /// Ends any editing in the tool, storing what was typed.
    virtual void finishEditing() {}
    /// The control that takes the typing focus when the tool comes to the front.
    virtual QWidget* focusControl() = 0;
};

/// Gives a control the object name tests and scripts find it by, and the name assistive technology
/// reads out; answers the control.
template <typename Control>
Control* named(Control* control, const char* objectName, const QString& accessibleName) {
    control->setObjectName(QLatin1String(objectName));
    control->setAccessibleName(accessibleName);
    return control;
}

} // namespace tardigo
