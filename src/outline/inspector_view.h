#pragma once

namespace tardigo {

/// The inspector's tools by number.
enum InspectorTool : int {
    InspectorToolNotes = 0,
    InspectorToolDueDate = 1,
    InspectorToolReminder = 2,
    InspectorToolCompletion = 3, // the completion and category controls
    InspectorToolHistory = 4,
    InspectorToolIcons = 5,
    InspectorToolFont = 6,
    InspectorToolColor = 7,
};

/// The inspector of a document window (a drawer or a floating panel) as the document drives it.
class InspectorView {
public:
    virtual ~InspectorView() = default;

    /// The tool the inspector shows or will show.
    virtual int toolIdentifierToShow() const = 0;
    virtual void setToolIdentifierToShow(int tool) = 0;
    /// The panel is visible, or the drawer is open or opening.
    virtual bool isInspectorShowing() const = 0;
    /// Shows the inspector if hidden, hides it if shown; `fromUser` marks the document changed.
    virtual void toggleInspector(bool fromUser) = 0;
    /// Brings the current tool's page to the front.
    virtual void activateSelectedTool() = 0;
    /// Shows the inspector with that tool in front.
    virtual void showToolWithId(int tool) = 0;
    /// Reloads the icon list after the icon preferences changed.
    virtual void reloadIconTable() = 0;
};

} // namespace tardigo
