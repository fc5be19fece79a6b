#pragma once

#include "archive/list_file.h"
#include "document/cell_edit_commit.h"
#include "document/column_sorting.h"
#include "document/file_merge.h"
#include "document/inspector_commands.h"
#include "document/item_commands.h"
#include "document/item_transfer.h"
#include "document/minder_hand_off.h"
#include "document/outline_commands.h"
#include "document/restoring_operations.h"
#include "document/tree_edits.h"
#include "document/tree_shaping.h"
#include "merge/list_base.h"
#include "minder/minder_document.h"
#include "model/value.h"
#include "outline/outline_data_source.h"
#include "outline/outline_settings.h"
#include "outline/status_display.h"
#include "platform/file_identity.h"
#include "search/item_search.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QFileSystemWatcher;

namespace tardigo {

class DocumentWindow;
class InspectorView;
class OutlineItemModel;
class OutlineSelectionModel;
class AlertQueue;
class UndoStack;

/// One open list: its root node, its file, its change count and the calls it has deferred, its
/// outline (the item model, the selection and the columns' settings, which a window shows), and the
/// logic of its window, which it reaches only through the DocumentWindow interface and its signals:
/// the commands, cell edits, sorting and undo targets are its parts (itemCommands(), sorting() ...),
/// each command written once there. Every change of its tree is announced as it happens.
class TardigoDocument : public QObject, public OutlineDataSource, public MinderDocument {
    Q_OBJECT
public:
    /// The platform's kinds of change, and the minder's own (a change without an undo step that the
    /// minder made: saved at once while the user has nothing unsaved).
    enum class ChangeKind { Done, Undone, Cleared, ByMinder };

    /// A new, empty, untitled list.
    explicit TardigoDocument(QObject* parent = nullptr);
    ~TardigoDocument() override;

    const NodePtr& data() const override { return _data; }

    /// Reads the list file at path and takes its name. `isLegacy` tells whether the file is a 1.x
    /// list, which only importLegacyFile reads.
    bool readFromFile(const QString& path, QString* error, bool* isLegacy = nullptr);
    /// Converts the 1.x list file at path and takes its name, so that the next save writes the
    /// current format. The document starts unchanged, as after any read.
    bool importLegacyFile(const QString& path, QString* error);
    /// Takes the list read from the file at path, and the file's name.
    bool adoptFile(const ListLoad& load, const QString& path, QString* error);
    /// Saves the list atomically to path and takes its name; the change count is cleared.
    bool writeToFile(const QString& path, QString* error);
    /// What a save under the list's own name found.
    enum class SaveOutcome { Saved, Failed, ChangedOnDisk };
    /// Saves under the list's name unless another program changed the file since it was read or
    /// saved here; the check and the save hold the list's lock together.
    SaveOutcome saveUnlessChangedOnDisk(QString* error);
    /// Another program replaced or rewrote the list's file since it was read or saved here (a file
    /// that is gone counts as unchanged: saving makes it again).
    bool changedOnDisk() const;

    /// The list's file as read for a merge, and its version on disk then.
    struct FileOnDisk {
        ListLoad load;
        std::optional<FileIdentity> version;
    };
    /// Reads the list's file, holding the list's lock only while it reads.
    FileOnDisk readFileOnDisk() const;
    /// Merges what changed in the file since the list was last read or saved here with what changed
    /// here, as one step that can be undone; the list stays changed until it is saved, and the file
    /// counts as read. Nothing changes when the file does not hold a list of this version, or when
    /// the merged list would nest too deep.
    FileMerge mergeFileOnDisk(FileOnDisk file);

    QString fileName() const override { return _fileName; }
    /// Records the file name; the file-name bookkeeping runs on the next pass of the event loop.
    void setFileName(const QString& path);
    /// The file's name, or "Untitled" in the user's language (with a number, as the application assigns).
    QString displayName() const;
    /// The name of a list not yet saved, in the user's language.
    static QString untitledName();
    void setUntitledDisplayName(const QString& name) { _untitledName = name; }
    /// Registers the file with the minder and saves the window layout under the display name.
    void updateFilenameInPrefs();

    /// ChangeKind::Done: a change that has no undo step (a step counts through the undo stack itself).
    /// ChangeKind::Cleared: the list is as saved. ChangeKind::Undone: the undo stack moved (a step was
    /// recorded or undone).
    void countChange(ChangeKind kind);
    /// Edited whenever the content differs from what was last saved or read: the undo stack is not
    /// clean, or a change without undo came since (forgetting the steps does not make it clean).
    bool isDocumentEdited() const;
    /// Edited by the minder alone since the list was last saved or read: nothing of the user's waits.
    bool hasOnlyMinderChanges() const;

    /// The choices of the category editors: the list's own categories, with the global list unless
    /// categories are local to each list.
    QStringList categoryChoices() const;
    /// Merges the list's categories into the global list.
    void enumerateCategoriesGlobally() const;

    /// The window that shows the list, or none.
    void setWindow(DocumentWindow* window);
    DocumentWindow* window() const { return _window; }
    /// The document's part of setting up a loaded window: the alert queue, the observed
    /// notifications, the sort state of the list, a refresh, and the inspector as it was saved.
    void setUpWindow();

    /// Runs the call on the next pass of the event loop, unless the document closes first.
    void performLater(std::function<void()> call);
    /// Runs the call after the delay, unless the document closes first.
    void performAfter(std::chrono::milliseconds delay, std::function<void()> call);
    /// Closing cancels every deferred call, forgets the document's undo steps and stops observing;
    /// whoever owns the document deletes it.
    void close();
    bool isClosed() const { return _deferred == nullptr; }

    // The parts of the window's logic; each command is a member of one of them.
    ItemCommands& itemCommands() { return _itemCommands; }
    OutlineCommands& outlineCommands() { return _outlineCommands; }
    CellEditCommit& cellEdits() { return _cellEdits; }
    ColumnSorting& sorting() { return _sorting; }
    RestoringOperations& restoring() { return _restoring; }
    MinderHandOff& minderHandOff() { return _minderHandOff; }
    InspectorCommands& inspectorCommands() { return _inspectorCommands; }
    TreeShaping& shaping() { return _shaping; }
    ItemTransfer& transfer() { return _transfer; }
    TreeEdits& edits() { return _edits; }

    /// The list's outline as Qt sees it: the rows its filters show, following every change.
    OutlineItemModel& outlineModel() const { return *_outlineModel; }
    /// Which rows of the outline are selected: what the commands act on.
    OutlineSelectionModel& selection() const { return *_selection; }
    /// The columns the outline shows and how they are sorted.
    OutlineSettings& outlineSettings() { return _outlineSettings; }
    const OutlineSettings& outlineSettings() const { return _outlineSettings; }
    /// Selects the items and asks the window to show them: it opens what hides them and scrolls to
    /// the first. An item a filter hides stays unselected.
    void revealItems(const std::vector<NodePtr>& items);
    /// Makes the item the only one selected and asks the window to open its cell's editor.
    void editCell(const NodePtr& item, Column column, bool selectText);

    InspectorView* inspectorView() const;
    UndoStack& undoStack() const { return *_undoStack; }
    /// The queue of the window's messages; none without a window.
    AlertQueue* alertQueue() const override { return _alertQueue.get(); }
    void showWindows() override;

    /// While one lives, the document itself is changing the model or refreshing the window, so that
    /// control and selection callbacks do not write back. Guards nest.
    class SyncingModel {
    public:
        explicit SyncingModel(TardigoDocument& document);
        ~SyncingModel();
        SyncingModel(const SyncingModel&) = delete;
        SyncingModel& operator=(const SyncingModel&) = delete;

    private:
        QPointer<TardigoDocument> _document; // a deferred guard may outlive its document
    };
    bool syncingModel() const { return _syncingModel > 0; }

    // Outline data source.
    CellValue cellValue(Column column, const NodePtr& item) const override;
    void setCellValue(const CellValue& object, Column column, const NodePtr& item) override;
    bool setDueDateText(const QString& typed, const NodePtr& item) override;

    // Search.
    /// The text searched for: the one typed over the outline, else the list's stored term.
    QString searchText() const;
    /// Shows only the items that match the text and their ancestors; writes nothing to the list, but
    /// an empty text over a stored term removes the term, as a step that can be undone.
    void setSearchText(const QString& text);
    /// The search whose words an item matched, to show them; null for an item that did not match.
    const ItemSearch* searchMatching(const Dict& item) const;
    /// The list's stored term became the search again (it was set or removed by a step).
    void takeStoredSearchTerm();
    /// Shows every item again, as an emptied search field does, when the search hides any of the
    /// items (just made, pasted or dropped: the user wants to see them); a term stored in the list
    /// stays there, as the user did not ask to remove it.
    void setSearchAsideFor(const std::vector<NodePtr>& items);
    QStringList transferTypes() const override;
    std::unique_ptr<QMimeData> dragData(const std::vector<NodePtr>& items) override;
    bool acceptDrop(const QMimeData& data, const NodePtr& item, int childIndex) override;

    /// Ends the editing of any cell or tool, storing what was typed.
    void finishAllEditing();

    // Refresh: the window shows what the document worked out; the outline follows the announced
    // changes by itself.
    /// Counts the items again and shows the window what the list and the selection are now.
    void updateUI();
    /// The refresh after a change that moved the counts by `delta`.
    void refresh(const ItemCounts& delta);
    /// Shows the selection again (it changed, or the inspector changed its tool): no count changed.
    void updateDisplay();
    /// Announces a change of one item's value under key and refreshes, the counts corrected when the
    /// item's being complete changed.
    void refreshItem(const NodePtr& item, const QString& key, bool wasCompleted) override;
    /// The same for a value under key of several items whose being complete did not change.
    void refreshItems(const std::vector<NodePtr>& items, const QString& key);
    /// How many items the list holds at every level and how many are complete, as of the last refresh.
    const ItemCounts& counts() const { return _counts; }
    /// What the last refresh showed, with any status text set since.
    const StatusDisplay& display() const { return _display; }
    /// Shows the text in the status line until the next refresh; none refreshes.
    void setStatus(const std::optional<QString>& text);
    void prefsChanged();

    void minderWithNode(const NodePtr& node, const QString& message, ItemStatus status) override;

signals:
    void editedChanged(bool edited);
    /// The list's file changed on disk, written by someone else; said once for each new version.
    void fileChangedOnDisk();
    /// A change was made or undone (not a save): what autosave follows.
    void changeCounted();
    /// The list was written to its file from here.
    void saved();
    /// A step being recorded changes a value of the item: what it holds is read after the step.
    void itemChanging(const tardigo::NodePtr& item);
    /// A step being recorded put these items, with those below them, where they now stand.
    void itemsPlaced(const std::vector<tardigo::NodePtr>& items);
    /// The list holds a new tree (read, reverted).
    void dataReplaced();

    // Each change of the tree as it happens; places are indexes in the parent's stored children.
    void itemsAboutToBeInserted(const tardigo::NodePtr& parent, int first, int last);
    void itemsInserted(const tardigo::NodePtr& parent, int first, int last);
    void itemsAboutToBeRemoved(const tardigo::NodePtr& parent, int first, int last);
    void itemsRemoved(const tardigo::NodePtr& parent, int first, int last);
    /// The children from first to last of `from` go before the child at `destination` of `to`, as
    /// it stands before the move (at the end past the last).
    void itemsAboutToBeMoved(const tardigo::NodePtr& from, int first, int last, const tardigo::NodePtr& to,
                             int destination);
    void itemsMoved(const tardigo::NodePtr& from, int first, int last, const tardigo::NodePtr& to,
                    int destination);
    /// The children of these nodes changed in many ways at once, and perhaps their own values; none:
    /// every list of the tree changed its order.
    void itemsRearranged(const std::vector<tardigo::NodePtr>& parents);
    /// Values of the item changed under these keys (the root's: the list's own settings).
    void itemChanged(const tardigo::NodePtr& item, const QStringList& keys);

    // What the document asks of the window that shows its outline.
    /// The items are to be seen: the outline opens the items that hide them and scrolls to the first.
    void itemsToReveal(const std::vector<tardigo::NodePtr>& items);
    /// The cell's editor is to open, its text selected or not.
    void cellEditRequested(const tardigo::NodePtr& item, tardigo::Column column, bool selectText);

    void fileNameChanged(const QString& path);
    void closed();

private:
    /// Counts the items again (or moves the counts by `delta`) and shows what the selection asks for.
    void render(std::optional<ItemCounts> delta);
    /// Takes a list just read as the one saved.
    void takeLoadedList(const ListLoad& load);
    /// Remembers the version of the file just read or saved, and watches the file while a window
    /// shows the list (a save replaces the file, so the watch is renewed after each).
    void rememberFileVersion();
    void watchFile();
    void fileWatched(const QString& path);
    /// Tells the window when the list became edited or unedited.
    void reportEdited();
    NodePtr _data;
    int _syncingModel = 0; // the SyncingModel guards alive
    UndoStack* _undoStack;
    ItemCommands _itemCommands;
    OutlineCommands _outlineCommands;
    CellEditCommit _cellEdits;
    ColumnSorting _sorting;
    RestoringOperations _restoring;
    MinderHandOff _minderHandOff;
    InspectorCommands _inspectorCommands;
    TreeShaping _shaping;
    ItemTransfer _transfer;
    TreeEdits _edits;
    OutlineItemModel* _outlineModel;
    OutlineSettings _outlineSettings;
    OutlineSelectionModel* _selection;
    std::unique_ptr<AlertQueue> _alertQueue;
    StatusDisplay _display;
    ItemCounts _counts; // counted at the last full refresh, and moved by every change since
    QString _fileName;
    QString _untitledName;
    bool _categoriesLocalScope = true;
    qint64 _changesWithoutUndo = 0; // since the list was last saved or read
    qint64 _minderChanges = 0;      // of those, the minder's
    bool _reportedEdited = false;
    std::optional<FileIdentity> _fileVersion;      // as read or saved here
    ListBase _base;                                // the list as read or saved here, for a merge
    std::optional<FileIdentity> _announcedVersion; // the last change on disk announced
    QFileSystemWatcher* _fileWatcher = nullptr;
    DocumentWindow* _window = nullptr;
    QPointer<QObject> _deferred; // parent of deferred calls; deleting it cancels them
};

} // namespace tardigo
