#include "document/undo_manager.h"

#include "model/core_log.h"

#include <QTimer>
#include <QUndoCommand>

#include <atomic>
#include <iterator>
#include <memory>
#include <utility>

namespace tardigo {

namespace {
// Numbers steps across every document, so that no two documents' states are the same.
std::atomic<quint64> lastSerial = 0;
} // namespace

/// The actions that take back one step, run newest first. Each adds its inverse while it runs, and
/// those become the step's actions for the way back. Pushed as a change of the step the event is
/// recording, it merges into that step.
class UndoStep : public QUndoCommand {
public:
    explicit UndoStep(UndoStack& stack) : _stack(stack) {}

    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override {
        if (_stack._recording != this)
            return false;
        // The stack deletes the change once merged: its actions move rather than copy.
        auto* change = const_cast<UndoStep*>(static_cast<const UndoStep*>(other));
        std::move(change->actions.begin(), change->actions.end(), std::back_inserter(actions));
        setText(change->text());
        return true;
    }

    void undo() override {
        // Changes made after an undo are a step of their own.
        if (_stack._recording == this)
            _stack._recording = nullptr;
        replay();
    }
    void redo() override {
        // The stack redoes a command as it is pushed; the change it records is made already.
        if (std::exchange(_pushed, true))
            replay();
    }

    std::vector<UndoStack::Action> actions;
    quint64 serial = 0;

private:
    void replay() {
        const std::vector<UndoStack::Action> replayed = std::exchange(actions, {});
        _stack._replayed = &actions;
        ++_stack._replays;
        for (auto it = replayed.rbegin(); it != replayed.rend(); ++it)
            (*it)();
        _stack._replayed = nullptr;
        // A step whose actions left nothing to take back is gone from the stack.
        setObsolete(actions.empty());
    }

    UndoStack& _stack;
    bool _pushed = false;
};

UndoStack::UndoStack(QObject* parent) : QObject(parent) {}

UndoStack::~UndoStack() = default;

void UndoStack::openEvent() {
    if (_eventOpen)
        return;
    // Everything recorded during this event becomes one step.
    _eventOpen = true;
    QTimer::singleShot(0, this, [this] { closeEvent(); });
}

void UndoStack::closeEvent() {
    if (!_eventOpen)
        return;
    if (_openGroups > 0) {
        qCWarning(lcDocument) << "an undo group was left open at the end of an event";
        return;
    }
    _eventOpen = false;
    _eventText.clear();
    if (std::exchange(_recording, nullptr))
        emit changed();
}

void UndoStack::pushToEventStep(std::unique_ptr<UndoStep> change) {
    change->setText(_eventText);
    UndoStep* pushed = change.get();
    const int index = _stack.index();
    _stack.push(change.release());
    if (_stack.index() == index)
        return; // merged into the event's step
    pushed->serial = ++lastSerial;
    _recording = pushed;
    emit changed();
}

void UndoStack::beginGroup() {
    openEvent();
    ++_openGroups;
}

void UndoStack::endGroup() {
    if (_openGroups == 0) {
        qCWarning(lcDocument) << "an undo group ended that was not open";
        return;
    }
    --_openGroups;
}

void UndoStack::addUndoAction(Action action) {
    if (_replayed) {
        _replayed->push_back(std::move(action));
        return;
    }
    openEvent();
    auto change = std::make_unique<UndoStep>(*this);
    change->actions.push_back(std::move(action));
    pushToEventStep(std::move(change));
}

void UndoStack::setUndoText(const QString& text) {
    if (_replayed)
        return;
    openEvent();
    _eventText = text;
    // An empty change that renames the step, so that the stack tells its new name.
    if (_recording)
        pushToEventStep(std::make_unique<UndoStep>(*this));
}

void UndoStack::finishRecordingStep() {
    if (_openGroups == 0)
        closeEvent();
}

void UndoStack::undo() {
    finishRecordingStep();
    if (_openGroups > 0) {
        qCWarning(lcDocument) << "undo refused while an undo group is open";
        return;
    }
    if (!_stack.canUndo())
        return;
    _stack.undo();
    emit changed();
}

void UndoStack::redo() {
    finishRecordingStep();
    if (_openGroups > 0) {
        qCWarning(lcDocument) << "redo refused while an undo group is open";
        return;
    }
    if (!_stack.canRedo())
        return;
    _stack.redo();
    emit changed();
}

quint64 UndoStack::currentState() const {
    const int newest = _stack.index() - 1;
    return newest < 0 ? 0 : static_cast<const UndoStep*>(_stack.command(newest))->serial;
}

void UndoStack::setClean() {
    finishRecordingStep();
    if (_recording)
        _stack.resetClean();
    else
        _stack.setClean();
}

void UndoStack::clear() {
    const bool clean = isClean();
    // The event stays open: whoever opened its groups closes them, and its name stands.
    _recording = nullptr;
    _stack.clear();
    if (!clean)
        _stack.resetClean();
}

} // namespace tardigo
