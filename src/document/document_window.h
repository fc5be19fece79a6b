#pragma once

#include <QString>

namespace tardigo {

class InspectorView;
class MessageHost;
struct StatusDisplay;

/// What the document asks of the window that shows it. A document without a window (one the minder
/// opened, or the command-line tool's) has none.
class DocumentWindow {
public:
    virtual ~DocumentWindow() = default;

    /// Brings the document's window on screen.
    virtual void showWindows() = 0;
    virtual bool isVisible() const = 0;
    /// Uses the name as the autosave name of the outline's column layout and saves the window's frame
    /// under it.
    virtual void saveLayoutUnderName(const QString& autosaveName) = 0;

    /// The window's inspector, or none before it exists.
    virtual InspectorView* inspectorView() = 0;
    /// The window as it shows messages.
    virtual MessageHost& messageHost() = 0;

    /// Ends the cell or notes editing in progress in whichever of the document's windows is key, so
    /// that the edit is committed.
    virtual void finishAllEditing() = 0;
    /// Shows what a refresh produced: the status line, the switches, the inspector's label and tools.
    virtual void renderDisplay(const StatusDisplay& display) = 0;
    /// Shows a text in the status line until the next refresh.
    virtual void setStatusText(const QString& text) = 0;
};

} // namespace tardigo
