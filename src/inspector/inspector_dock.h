#pragma once

#include "window/inspector_dock_widget.h"

#include <map>

class QComboBox;
class QLabel;
class QStackedWidget;

namespace tardigo {

class DocumentMainWindow;
class ToolPage;
class TardigoDocument;
class WindowHost;

/// The inspector of a document window: a tool selector, the name of the selection, and one page for
/// each tool. Docked at the side the preferences choose it is the drawer; floating, the panel. While
/// it is docked the window keeps the outline wide enough for its columns.
class InspectorDock : public InspectorDockWidget {
    Q_OBJECT
public:
    InspectorDock(TardigoDocument& document, DocumentMainWindow& window, WindowHost& host);

    int toolIdentifierToShow() const override { return _tool; }
    void setToolIdentifierToShow(int tool) override;
    bool isInspectorShowing() const override { return !isHidden(); }
    void toggleInspector(bool fromUser) override;
    void activateSelectedTool() override;
    void showToolWithId(int tool) override;
    void reloadIconTable() override;

    void renderDisplay(const StatusDisplay& display) override;
    void finishEditing() override;
    void tearOffInspector() override;
    void resizeToFitTool() override;

    /// A tool's page; null for a number that names none.
    ToolPage* tool(int number) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    /// Docks or floats the inspector as the list says, and shows it.
    void showInItsPlace();
    /// The user floated or docked it by hand.
    void placeChanged(bool floating);
    /// The tool selector chose a tool.
    void toolChosen(int index);
    /// Docked and shown, the outline keeps the width its columns need; else it may shrink.
    void keepOutlineColumnsOnScreen();
    Qt::DockWidgetArea drawerArea() const;

    TardigoDocument& _document;
    DocumentMainWindow& _window;
    QComboBox* _toolSelector;
    QLabel* _selectionLabel;
    QStackedWidget* _pages;
    std::map<int, ToolPage*> _tools;
    int _tool;
    bool _placing = false; // the inspector itself docks or floats, not the user
};

} // namespace tardigo
