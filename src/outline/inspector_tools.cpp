#include "outline/inspector_tools.h"

#include "outline/inspector_view.h"
#include "platform/localized.h"

namespace tardigo {

QList<int> inspectorToolOrder() {
    return {InspectorToolNotes, InspectorToolDueDate, InspectorToolReminder,   InspectorToolIcons,
            InspectorToolFont,  InspectorToolColor,   InspectorToolCompletion, InspectorToolHistory};
}

QString inspectorToolTitle(int tool) {
    switch (tool) {
    case InspectorToolNotes:
        return localized(QStringLiteral("Notes"));
    case InspectorToolDueDate:
        return localized(QStringLiteral("Due Date"));
    case InspectorToolReminder:
        return localized(QStringLiteral("Reminder"));
    case InspectorToolIcons:
        return localized(QStringLiteral("Icons"));
    case InspectorToolFont:
        return localized(QStringLiteral("Font"));
    case InspectorToolColor:
        return localized(QStringLiteral("Color"));
    case InspectorToolCompletion:
        return localized(QStringLiteral("Completion and Category"));
    case InspectorToolHistory:
        return localized(QStringLiteral("History"));
    default:
        return QString();
    }
}

bool inspectorToolTakesSeveralItems(int tool) {
    return tool == InspectorToolIcons || tool == InspectorToolFont || tool == InspectorToolColor;
}

} // namespace tardigo
