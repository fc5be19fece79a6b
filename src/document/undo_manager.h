#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <vector>

namespace tardigo {

class UndoStep;

/// A document's undo steps, on a QUndoStack: one command for every event that changed the list. A
/// change adds the actions that take it back; the first one of an event pushes the event's step,
/// and the later ones merge into it until the next turn of the event loop closes it, so that every
/// change of one event (nested `UndoGroup`s included) is one step, which the stack's actions can undo
/// at once. Each action adds its own inverse while it runs, so undoing a step leaves the actions that
/// redo it, and redoing leaves those that undo it again.
class UndoStack : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;

    explicit UndoStack(QObject* parent = nullptr);
    ~UndoStack() override;

    /// The stack itself, for the window's Undo and Redo actions.
    const QUndoStack& qUndoStack() const { return _stack; }

    /// Adds an action that takes back part of the current change. While a step is undone (or redone)
    /// it adds to the actions that redo (or undo) it instead.
    void addUndoAction(Action action);
    /// Names the step being recorded; the name given last stands. An undone or redone step keeps its
    /// name.
    void setUndoText(const QString& text);

    /// A step can be undone, the one this event records included.
    bool canUndo() const { return _stack.canUndo(); }
    /// The name of the step undo() would undo; empty when there is none.
    QString undoText() const { return _stack.undoText(); }
    /// Closes the event's step if no group holds it open, then undoes the newest step.
    void undo();
    /// A step undone can be redone: no change came since.
    bool canRedo() const { return _stack.canRedo(); }
    /// The name of the step redo() would redo; empty when there is none.
    QString redoText() const { return _stack.redoText(); }
    /// Redoes the step undone last, unless a change came since.
    void redo();

    /// Which state the steps have brought the document to: each recorded step has a number of its
    /// own, never given to a step of another document of this process (a list closed and opened
    /// again does not come back to a state an agenda's step remembers), and the state is that of the
    /// newest step not undone (0: none). A step redone keeps its number.
    quint64 currentState() const;
    /// A step is being recorded: a change was made in this event, and later ones join its step.
    bool isRecordingStep() const { return _recording != nullptr; }
    /// Closes the step this event is recording now rather than when the event ends (a save takes the
    /// list as it is, so the step belongs before it).
    void finishRecordingStep();
    /// How many steps have been undone or redone: the actions of one replay see the same number.
    quint64 replays() const { return _replays; }

    /// The steps are where they were at the last setClean().
    bool isClean() const { return _stack.isClean(); }
    /// Marks the list as saved: the event's step is closed first, as the save holds its change. A
    /// step that a group still holds open goes on changing the list, which is then not clean.
    void setClean();

    /// Forgets every step, and what the step being recorded added so far. A stack that was not
    /// clean stays so: the list still differs from what was saved.
    void clear();

signals:
    /// A step began to be recorded, was pushed, undone or redone.
    void changed();

private:
    friend class UndoGroup;
    friend class UndoStep;

    void beginGroup();
    void endGroup();
    /// Marks the event as recording, to be closed on the next turn of the event loop.
    void openEvent();
    /// Closes the event's step, unless a group still holds it open.
    void closeEvent();
    /// Pushes a command that joins the event's step, or opens it.
    void pushToEventStep(std::unique_ptr<UndoStep> change);

    QUndoStack _stack;
    bool _eventOpen = false;
    UndoStep* _recording = nullptr; // the event's step, on the stack, while later changes join it
    QString _eventText;             // the name given last in this event
    int _openGroups = 0;
    std::vector<Action>* _replayed = nullptr; // where a replay's actions add their inverses
    quint64 _replays = 0;
};

/// One named undo step for as long as it lives: what is added meanwhile belongs to it, however the
/// scope is left. Groups nest, and fold into the step of the event; the name given last names it.
class UndoGroup {
public:
    UndoGroup(UndoStack& stack, const QString& text) : _stack(stack) {
        _stack.beginGroup();
        _stack.setUndoText(text);
    }
    ~UndoGroup() { _stack.endGroup(); }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    UndoStack& _stack;
};

} // namespace tardigo
