#pragma once

#include "outline/inspector_view.h"

#include <QDockWidget>

namespace tardigo {

struct StatusDisplay;

/// The inspector as a document window holds it: a dock at the window's side (the drawer) or floating
/// beside it (the panel), holding the tools that show and change the selected items.
class InspectorDockWidget : public QDockWidget, public InspectorView {
public:
    using QDockWidget::QDockWidget;

    /// Shows what a refresh produced: the selection's name and the tools, enabled and filled.
    virtual void renderDisplay(const StatusDisplay& display) = 0;
    /// Ends the editing in the tools, storing typed notes.
    virtual void finishEditing() = 0;
    /// Moves the inspector between the window's side and a floating panel, and shows it there.
    virtual void tearOffInspector() = 0;
    /// Fits the floating panel to the tool it shows.
    virtual void resizeToFitTool() = 0;
};

} // namespace tardigo
