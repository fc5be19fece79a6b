#pragma once

#include "accounts/synced_window.h"
#include "alerts/alert_queue.h"
#include "document/autosave_scheduler.h"
#include "document/document_window.h"
#include "widgets/list_lock_wait.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QLabel;

namespace tardigo {

class DocumentMenus;
class DocumentPrinting;
class DocumentToolbar;
class ElidingLabel;
class InspectorDockWidget;
class MessageBoxHost;
class OutlineAppearance;
class OutlineDelegate;
class OutlineTreeView;
class TardigoDocument;
class WindowHost;
class WindowSearch;
class WindowSync;

/// The window of one list: the outline with its six columns, the toolbar, the menus, the status
/// line and the inspector. It turns widget events into document calls and shows what the document's
/// refresh produced. It owns its document.
class DocumentMainWindow : public QMainWindow, public DocumentWindow, public SyncedWindow {
    Q_OBJECT
public:
    /// The clipboard commands a text field being edited takes before the outline does.
    enum class TextCommand { Copy, Cut, Paste, SelectAll };

    /// Sets the window up for the document, as its layout and the list's saved state say.
    DocumentMainWindow(std::unique_ptr<TardigoDocument> document, WindowHost& host);
    ~DocumentMainWindow() override;

    QWidget& widget() override { return *this; }
    TardigoDocument& document() const override { return *_document; }
    OutlineTreeView& outline() const { return *_outline; }
    DocumentToolbar& toolbar() const { return *_toolbar; }
    DocumentMenus& menus() const { return *_menus; }
    MessageBoxHost& messages() const { return *_messages; }
    InspectorDockWidget& inspector() const { return *_inspector; }
    DocumentPrinting& printing() const { return *_printing; }
    WindowSync& sync() const { return *_sync; }

    void showWindows() override;
    bool isVisible() const override { return QMainWindow::isVisible(); }
    void saveLayoutUnderName(const QString& autosaveName) override;
    InspectorView* inspectorView() override;
    MessageHost& messageHost() override;
    void finishAllEditing() override;
    void renderDisplay(const StatusDisplay& display) override;
    void setStatusText(const QString& text) override;

    /// Saves the list under its name, or asks for one; false when it was not saved.
    bool save() override;
    /// Asks for a new name and saves the list under it; false when it was not saved.
    bool saveAs();
    /// Saves as Save does, with the notes typed so far, without ending the editing in progress.
    AutosaveScheduler::Outcome autoSave();
    /// Reads the list again from its file, after the user agreed to lose the changes.
    void revert();
    /// Offers to save unsaved changes; false when the user chose to keep the window open.
    bool confirmClose();
    /// Reads the list again from its file, keeping open and selected the items that are still there.
    void reloadFromDisk() override;
    /// The user has answered for the unsaved changes already (quitting): closing asks no more.
    void setChangesReviewed() { _changesReviewed = true; }
    /// Turns the selected items into sticky notes; beeps when none is selected.
    void makeSticky();
    /// Enables the commands and sets the check marks as the list is now.
    void validate() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildWidgets();
    void connectCommands();
    void connectMenuCommands();
    /// The commands that rearrange items, move them through the clipboard, and show the inspector.
    void connectShapingCommands();
    void connectInspectorCommands();
    void restoreLayout(const QString& autosaveName);
    /// Shrinks and moves the window into the available area of its screen.
    void fitIntoScreen();
    void updateTitle();
    void updateRecentDocuments();
    void customizeToolbar();
    /// Undoes, or redoes, the newest step; beeps when there is none.
    void undo(bool redo);
    /// Runs the call when the menu command is chosen or its shortcut typed.
    void onCommand(QAction* command, const std::function<void()>& call);
    /// Hands a clipboard command to the text field being edited, if one is; false when none is.
    bool forwardToTextField(TextCommand command);
    void dataReplaced();
    void alert(const Message& message);
    /// The lock of the list at path for a save or a read, waited for without blocking the window;
    /// none after telling the user why (the status line, when they stopped waiting).
    std::optional<ListLock> lockList(const QString& path, LockWaitPurpose purpose);
    /// Writes the list to its file, telling the user when that failed.
    bool saveToFile();
    /// Another program changed the list's file: the user chooses to merge its changes with this
    /// version's, to reload it, to save this version over it, or none of them for now. True when the
    /// list was saved.
    bool resolveChangeOnDisk();
    /// Merges the changes in the list's file with this version's, as one step that can be undone,
    /// and tells how many items each side changed; the list stays unsaved.
    void mergeChangesOnDisk();

    std::unique_ptr<TardigoDocument> _document;
    WindowHost& _host;
    OutlineTreeView* _outline = nullptr;
    std::unique_ptr<OutlineAppearance> _appearance; // the outline's icons, fonts and colours
    OutlineDelegate* _delegate = nullptr;
    DocumentToolbar* _toolbar = nullptr;
    DocumentMenus* _menus = nullptr;
    InspectorDockWidget* _inspector = nullptr;
    DocumentPrinting* _printing = nullptr;
    WindowSync* _sync = nullptr;
    WindowSearch* _search = nullptr;
    QLabel* _statusLine = nullptr; // the count of outstanding items
    ElidingLabel* _selectionLabel = nullptr;
    ElidingLabel* _statusMessage = nullptr; // shown instead of the selection until the next refresh
    MessageBoxHost* _messages = nullptr;
    bool _closed = false;
    bool _changesReviewed = false;
    bool _waitingForLock = false;
    bool _askingAboutDisk = false; // the question about a change on disk is shown
};

} // namespace tardigo
