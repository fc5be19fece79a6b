#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace tardigo {

/// A document's undo stack. Steps are groups of registered closures, undone newest first; nothing is
/// ever redone. A registration outside any group opens a group for the current event, which closes
/// on the next pass of the event loop, so every group opened during one event folds into one step.
class UndoManager : public QObject {
public:
    using Action = std::function<void()>;
    /// What the document's change counting hears about.
    enum class Change { StepRecorded, StepUndone };

    explicit UndoManager(QObject* parent = nullptr);

    /// Called whenever a step is completed or undone.
    void setChangeHandler(std::function<void(Change)> handler);

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return int(_openGroups.size()); }

    /// Records an action that undoes part of the current change; `target` is what it acts on.
    /// Ignored while undoing: an undone step cannot be redone.
    void registerUndo(const void* target, Action action);
    /// Names the step being recorded (the outermost open group).
    void setActionName(const QString& name);

    bool canUndo() const;
    /// The name of the step undo() would undo; empty when there is none.
    QString undoActionName() const;
    /// "Undo", or "Undo <action name>", for the Edit menu.
    QString undoMenuItemTitle() const;
    /// Closes the event's group if it is the only one open, then undoes the newest step.
    void undo();
    /// Which state the steps have brought the document to: each recorded step has a number of its
    /// own, and the state is that of the newest step still on the stack (0: none). A document that
    /// remembers the state it was saved in knows whether undo took it elsewhere.
    quint64 currentState() const { return _undoStack.empty() ? 0 : _undoStack.back().serial; }
    bool isUndoing() const { return _undoing; }

    /// Forgets every action registered for `target`; steps left empty disappear.
    void removeAllActionsWithTarget(const void* target);

private:
    struct Registration {
        const void* target;
        Action action;
    };
    struct Group {
        QString actionName;
        std::vector<Registration> actions;
        quint64 serial = 0; // given when the step is recorded
    };

    void openEventGroupIfNeeded();
    void closeEventGroup();

    std::vector<Group> _undoStack;
    std::vector<Group> _openGroups;
    bool _eventGroupOpen = false;
    bool _undoing = false;
    quint64 _lastSerial = 0;
    std::function<void(Change)> _changeHandler;
};

} // namespace tardigo
