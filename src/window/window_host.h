#pragma once

#include "model/value.h"

#include <QStringList>

#include <vector>

namespace tardigo {

class DocumentMainWindow;
class InspectorDockWidget;
class TardigoDocument;

/// What a document window asks of the application: the commands that concern every list.
class WindowHost {
public:
    virtual ~WindowHost() = default;

    virtual void newDocument() = 0;
    /// Asks the user for a list and opens it.
    virtual void openDocument() = 0;
    /// Opens the list, or brings its window forward when it is open.
    virtual void openRecentDocument(const QString& path) = 0;
    /// The lists opened or saved lately, newest first.
    virtual QStringList recentDocuments() const = 0;
    virtual void clearRecentDocuments() = 0;
    /// The list was saved under this path.
    virtual void noteRecentDocument(const QString& path) = 0;
    virtual void quit() = 0;
    /// Shows the preferences window; with `iconSection` its icon section open.
    virtual void showPreferences(bool iconSection) = 0;
    /// Puts each item of the list on the desktop as a sticky note.
    virtual void makeStickies(TardigoDocument& document, const std::vector<NodePtr>& items) = 0;
    /// Brings back the sticky notes the user closed.
    virtual void showStickies() = 0;
    /// Opens the agenda over every list, or brings it forward.
    virtual void showAgenda() {}
    /// The inspector of a new window, a child of the window.
    virtual InspectorDockWidget* makeInspector(TardigoDocument& document, DocumentMainWindow& window) = 0;
    /// The window has closed; it is deleted later.
    virtual void windowClosed(DocumentMainWindow* window) = 0;
};

} // namespace tardigo
