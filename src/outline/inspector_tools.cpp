#include "outline/inspector_tools.h"

#include "outline/inspector_view.h"

#include <QCoreApplication>

namespace tardigo {

QList<int> inspectorToolOrder() {
    return {InspectorToolNotes, InspectorToolDueDate, InspectorToolReminder,   InspectorToolIcons,
            InspectorToolFont,  InspectorToolColor,   InspectorToolCompletion, InspectorToolHistory};
}

QString inspectorToolTitle(int tool) {
    switch (tool) {
    case InspectorToolNotes:
        return QCoreApplication::translate("InspectorTools", "Notes");
    case InspectorToolDueDate:
        return QCoreApplication::translate("InspectorTools", "Due Date");
    case InspectorToolReminder:
        return QCoreApplication::translate("InspectorTools", "Reminder");
    case InspectorToolIcons:
        return QCoreApplication::translate("InspectorTools", "Icons");
    case InspectorToolFont:
        return QCoreApplication::translate("InspectorTools", "Font");
    case InspectorToolColor:
        return QCoreApplication::translate("InspectorTools", "Color");
    case InspectorToolCompletion:
        return QCoreApplication::translate("InspectorTools", "Completion and Category");
    case InspectorToolHistory:
        return QCoreApplication::translate("InspectorTools", "History");
    default:
        return QString();
    }
}

bool inspectorToolTakesSeveralItems(int tool) {
    return tool == InspectorToolIcons || tool == InspectorToolFont || tool == InspectorToolColor;
}

} // namespace tardigo
