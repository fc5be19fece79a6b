#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace tardigo {

/// A document's undo and redo stacks. Steps are groups of registered closures, undone newest first. A
/// closure registers its own inverse while it runs, so undoing a step records the step that redoes
/// it, and redoing records the step that undoes it again. A registration outside any group opens a
/// group for the current event, which closes on the next pass of the event loop, so every group
/// opened during one event folds into one step. A new change forgets what was undone.
class UndoManager : public QObject {
public:
    using Action = std::function<void()>;
    /// What the document's change counting hears about.
    enum class Change { StepStarted, StepRecorded, StepUndone, StepRedone };

    explicit UndoManager(QObject* parent = nullptr);

    /// Called whenever a step begins to be recorded, is completed or is undone.
    void setChangeHandler(std::function<void(Change)> handler);

    /// Records an action that undoes part of the current change. While a step is undone (or redone)
    /// it records the action that redoes (or undoes) it instead.
    void registerUndo(Action action);
    /// Names the step being recorded (the outermost open group); an undone or redone step keeps
    /// its name.
    void setActionName(const QString& name);

    bool canUndo() const;
    /// The name of the step undo() would undo; empty when there is none.
    QString undoActionName() const;
    /// "Undo", or "Undo <action name>", for the Edit menu.
    QString undoMenuItemTitle() const;
    /// Closes the event's group if it is the only one open, then undoes the newest step.
    void undo();
    bool canRedo() const { return !_redoStack.empty(); }
    /// The name of the step redo() would redo; empty when there is none.
    QString redoActionName() const;
    /// "Redo", or "Redo <action name>", for the Edit menu.
    QString redoMenuItemTitle() const;
    /// Redoes the step undone last, unless a change came since.
    void redo();
    /// Which state the steps have brought the document to: each recorded step has a number of its
    /// own, never given to a step of another document of this process (a list closed and opened
    /// again does not come back to a state an agenda's step remembers), and the state is that of the
    /// newest step still on the stack (0: none). A document that
    /// remembers the state it was saved in knows whether undo took it elsewhere. A step redone keeps
    /// the number it had, so undo then redo comes back to the same state.
    quint64 currentState() const { return _undoStack.empty() ? 0 : _undoStack.back().serial; }
    /// A step is being recorded: a change was made in this event and becomes a step when it ends.
    bool isRecordingStep() const;
    /// Ends the step this event is recording now rather than when the event ends (a save takes the
    /// list as it is, so the step belongs before it).
    void finishRecordingStep();
    /// How many steps have been undone or redone: the actions of one replay see the same number.
    quint64 replays() const { return _replays; }

    /// Forgets every step, and what the step being recorded registered so far.
    void clear();

private:
    friend class UndoGroup;

    struct Group {
        QString actionName;
        std::vector<Action> actions;
        quint64 serial = 0; // given when the step is recorded
    };

    enum class Replay { None, Undo, Redo };

    void beginUndoGrouping();
    void endUndoGrouping();

    void openEventGroupIfNeeded();
    void closeEventGroup();
    /// Runs the step's actions newest first; what they register becomes the step that reverses
    /// them, under the same name and number, pushed onto `reverse`.
    void replay(Group step, Replay kind, std::vector<Group>& reverse);

    std::vector<Group> _undoStack;
    std::vector<Group> _redoStack;
    std::vector<Group> _openGroups;
    Group _replayed; // what the actions of the step being replayed register
    bool _eventGroupOpen = false;
    Replay _replaying = Replay::None;
    quint64 _replays = 0;
    std::function<void(Change)> _changeHandler;
};

/// One named undo step for as long as it lives: what is registered meanwhile belongs to it, however
/// the scope is left. Groups nest, and fold into the step of the event; the name given last names it.
class UndoGroup {
public:
    UndoGroup(UndoManager& manager, const QString& actionName) : _manager(manager) {
        _manager.beginUndoGrouping();
        _manager.setActionName(actionName);
    }
    ~UndoGroup() { _manager.endUndoGrouping(); }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    UndoManager& _manager;
};

} // namespace tardigo
