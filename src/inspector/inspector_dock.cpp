#include "inspector/inspector_dock.h"

#include "appearance/item_appearance.h"
#include "document/tardigo_document.h"
#include "inspector/color_tool.h"
#include "inspector/completion_tool.h"
#include "inspector/due_date_tool.h"
#include "inspector/font_tool.h"
#include "inspector/history_tool.h"
#include "inspector/icons_tool.h"
#include "inspector/notes_tool.h"
#include "inspector/reminder_tool.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/inspector_tools.h"
#include "outline/status_display.h"
#include "platform/settings.h"
#include "window/document_main_window.h"
#include "window/outline_tree_view.h"
#include "window/window_host.h"

#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tardigo {

InspectorDock::InspectorDock(TardigoDocument& document, DocumentMainWindow& window, WindowHost& host)
    : InspectorDockWidget(tr("Inspector"), &window), _document(document), _window(window),
      _tool(InspectorToolNotes) {
    setObjectName(QStringLiteral("inspector"));
    setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* content = new QWidget(this);
    content->setObjectName(QStringLiteral("toolsContentView"));
    _toolSelector = named(new QComboBox(content), "sidebarPopup", tr("Inspector tool"));
    _selectionLabel = named(new QLabel(content), "sidebarItemLabel", tr("Selected item"));
    _selectionLabel->setTextFormat(Qt::PlainText);
    _selectionLabel->setWordWrap(true);
    _pages = named(new QStackedWidget(content), "sidebarTabs", tr("Inspector tools"));
    _tools = {
        {InspectorToolNotes, new NotesTool(document, _pages)},
        {InspectorToolDueDate, new DueDateTool(document, _pages)},
        {InspectorToolReminder, new ReminderTool(document, _pages)},
        {InspectorToolCompletion, new CompletionTool(document, _pages)},
        {InspectorToolHistory, new HistoryTool(_pages)},
        {InspectorToolIcons, new IconsTool(
                                 document, [&host] { host.showPreferences(true); }, _pages)},
        {InspectorToolFont, new FontTool(document, _pages)},
        {InspectorToolColor, new ColorTool(document, _pages)},
    };
    for (const int number : inspectorToolOrder()) {
        _toolSelector->addItem(inspectorToolTitle(number), number);
        _pages->addWidget(_tools.at(number));
    }
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(_toolSelector);
    layout->addWidget(_selectionLabel);
    layout->addWidget(_pages, 1);
    setWidget(content);
    // From the tools back to the outline without a mouse.
    auto* leave = new QShortcut(QKeySequence(Qt::Key_Escape), content);
    leave->setContext(Qt::WidgetWithChildrenShortcut);
    connect(leave, &QShortcut::activated, this, [this] {
        _window.activateWindow();
        _window.outline().setFocus();
    });

    connect(_toolSelector, &QComboBox::activated, this, &InspectorDock::toolChosen);
    connect(this, &QDockWidget::topLevelChanged, this, &InspectorDock::placeChanged);
    connect(this, &QDockWidget::visibilityChanged, this, &InspectorDock::keepOutlineColumnsOnScreen);
    hide();
}

ToolPage* InspectorDock::tool(int number) const {
    const auto found = _tools.find(number);
    return found == _tools.end() ? nullptr : found->second;
}

void InspectorDock::setToolIdentifierToShow(int tool) {
    if (this->tool(tool))
        _tool = tool;
}

Qt::DockWidgetArea InspectorDock::drawerArea() const {
    return Settings::instance().drawerSide() == 0 ? Qt::LeftDockWidgetArea : Qt::RightDockWidgetArea;
}

void InspectorDock::showInItsPlace() {
    const bool panel = flagOf(*_document.data(), key::panelInspector);
    _placing = true;
    if (!panel && _window.dockWidgetArea(this) != drawerArea())
        _window.addDockWidget(drawerArea(), this);
    setFloating(panel);
    _placing = false;
    show();
    raise();
    if (panel)
        activateWindow();
    activateSelectedTool();
    // Filled afresh: the item may have changed while the inspector was hidden.
    _document.updateDisplay();
    keepOutlineColumnsOnScreen();
}

void InspectorDock::toggleInspector(bool fromUser) {
    _document.finishAllEditing();
    const bool showing = isHidden();
    if (showing)
        showInItsPlace();
    else
        hide();
    _document.inspectorCommands().inspectorShown(showing, fromUser);
}

void InspectorDock::tearOffInspector() {
    _document.finishAllEditing();
    const bool panel = _document.inspectorCommands().tearOffInspector();
    hide();
    showInItsPlace();
    if (panel)
        move(QCursor::pos());
}

void InspectorDock::placeChanged(bool floating) {
    if (_placing)
        return;
    // Floated or docked by hand: the list remembers it as the panel or the drawer.
    if (floating != flagOf(*_document.data(), key::panelInspector))
        _document.inspectorCommands().tearOffInspector();
    keepOutlineColumnsOnScreen();
}

void InspectorDock::activateSelectedTool() {
    ToolPage* page = tool(_tool);
    _toolSelector->setCurrentIndex(_toolSelector->findData(_tool));
    _pages->setCurrentWidget(page);
    if (_tool != InspectorToolNotes)
        return;
    QWidget* holder = isFloating() ? static_cast<QWidget*>(this) : &_window;
    holder->raise();
    holder->activateWindow();
    page->focusControl()->setFocus();
}

void InspectorDock::showToolWithId(int tool) {
    finishEditing(); // what was typed in the tool it leaves
    setToolIdentifierToShow(tool);
    if (isHidden()) {
        toggleInspector(true);
    } else if (isFloating()) {
        raise();
        activateWindow();
    }
    activateSelectedTool();
    // Shown from the keyboard or a notice: the typing goes into the tool.
    this->tool(_tool)->focusControl()->setFocus();
    _document.updateDisplay(); // what several selected items allow depends on the tool
}

void InspectorDock::toolChosen(int index) {
    finishEditing();
    setToolIdentifierToShow(_toolSelector->itemData(index).toInt());
    activateSelectedTool();
    _document.updateDisplay();
}

void InspectorDock::reloadIconTable() {
    static_cast<IconsTool*>(tool(InspectorToolIcons))->reloadIcons();
}

void InspectorDock::renderDisplay(const StatusDisplay& display) {
    // A hidden inspector is filled when it shows.
    if (isHidden())
        return;
    // Filling the controls may make them signal as if the user had changed them: that writes nothing.
    const TardigoDocument::SyncingModel syncing(_document);
    _selectionLabel->setText(display.selectionLabel);
    _selectionLabel->setFont(qFontForItemFont(display.selectionFont));
    for (const auto& [number, page] : _tools)
        page->render(display);
}

void InspectorDock::finishEditing() {
    for (const auto& [number, page] : _tools)
        page->finishEditing();
}

void InspectorDock::resizeToFitTool() {
    if (isFloating())
        resize(sizeHint());
}

void InspectorDock::closeEvent(QCloseEvent* event) {
    // The title bar's close button.
    _document.finishAllEditing();
    _document.inspectorCommands().inspectorShown(false, true);
    InspectorDockWidget::closeEvent(event);
}

bool InspectorDock::event(QEvent* event) {
    // The panel stops being the active window: what was typed in it is stored.
    if (event->type() == QEvent::WindowDeactivate && isFloating())
        finishEditing();
    return InspectorDockWidget::event(event);
}

void InspectorDock::keepOutlineColumnsOnScreen() {
    OutlineTreeView& outline = _window.outline();
    if (isHidden() || isFloating()) {
        outline.setMinimumWidth(0);
        return;
    }
    // The columns as laid out, the last one (stretched to fill the rest) at the width of its title.
    const QHeaderView* header = outline.header();
    int columns = 0;
    int last = -1;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        if (last >= 0)
            columns += header->sectionSize(last);
        last = logical;
    }
    if (last >= 0)
        columns += header->sectionSizeHint(last);
    const int needed = columns + 2 * outline.frameWidth() + outline.verticalScrollBar()->sizeHint().width();
    const QScreen* screen = _window.screen();
    const int room = screen ? screen->availableGeometry().width() - minimumSizeHint().width() : needed;
    outline.setMinimumWidth(std::max(0, std::min(needed, room)));
}

} // namespace tardigo
