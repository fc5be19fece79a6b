#include "document/undo_manager.h"

#include "document/document_log.h"
#include "platform/localized.h"

#include <QTimer>

#include <algorithm>
#include <atomic>

namespace tardigo {

namespace {
// Numbers steps across every document, so that no two documents' states are the same.
std::atomic<quint64> lastSerial = 0;
} // namespace

UndoManager::UndoManager(QObject* parent) : QObject(parent) {}

void UndoManager::setChangeHandler(std::function<void(Change)> handler) {
    _changeHandler = std::move(handler);
}

void UndoManager::openEventGroupIfNeeded() {
    if (!_openGroups.empty())
        return;
    // Everything recorded during this event becomes one step.
    _eventGroupOpen = true;
    _openGroups.emplace_back();
    QTimer::singleShot(0, this, [this] { closeEventGroup(); });
}

void UndoManager::beginUndoGrouping() {
    openEventGroupIfNeeded();
    _openGroups.emplace_back();
}

void UndoManager::endUndoGrouping() {
    if (_openGroups.empty()) {
        qCWarning(lcDocument) << "endUndoGrouping without an open undo group";
        return;
    }
    Group group = std::move(_openGroups.back());
    _openGroups.pop_back();
    if (!_openGroups.empty()) {
        Group& parent = _openGroups.back();
        std::move(group.actions.begin(), group.actions.end(), std::back_inserter(parent.actions));
        if (parent.actionName.isEmpty())
            parent.actionName = group.actionName;
        return;
    }
    if (group.actions.empty())
        return;
    group.serial = ++lastSerial;
    _undoStack.push_back(std::move(group));
    if (_changeHandler)
        _changeHandler(Change::StepRecorded);
}

void UndoManager::closeEventGroup() {
    if (!_eventGroupOpen)
        return;
    if (_openGroups.size() != 1) {
        qCWarning(lcDocument) << "an undo group was left open at the end of an event";
        return;
    }
    _eventGroupOpen = false;
    endUndoGrouping();
}

void UndoManager::registerUndo(Action action) {
    if (_replaying != Replay::None) {
        _replayed.actions.push_back(std::move(action));
        return;
    }
    const bool started = !isRecordingStep();
    openEventGroupIfNeeded();
    _openGroups.back().actions.push_back(std::move(action));
    _redoStack.clear();
    if (started && _changeHandler)
        _changeHandler(Change::StepStarted);
}

void UndoManager::setActionName(const QString& name) {
    if (_replaying != Replay::None)
        return;
    openEventGroupIfNeeded();
    _openGroups.front().actionName = name;
}

bool UndoManager::isRecordingStep() const {
    return std::any_of(_openGroups.begin(), _openGroups.end(),
                       [](const Group& group) { return !group.actions.empty(); });
}

void UndoManager::finishRecordingStep() {
    if (_openGroups.size() == 1)
        closeEventGroup();
}

bool UndoManager::canUndo() const {
    if (!_undoStack.empty())
        return true;
    return _openGroups.size() == 1 && _eventGroupOpen && !_openGroups.front().actions.empty();
}

QString UndoManager::undoActionName() const {
    if (_eventGroupOpen && _openGroups.size() == 1 && !_openGroups.front().actions.empty())
        return _openGroups.front().actionName;
    return _undoStack.empty() ? QString() : _undoStack.back().actionName;
}

QString UndoManager::undoMenuItemTitle() const {
    const QString name = undoActionName();
    return name.isEmpty() ? localized(QStringLiteral("Undo"))
                          : localized(QStringLiteral("Undo %1")).arg(name);
}

QString UndoManager::redoActionName() const {
    return _redoStack.empty() ? QString() : _redoStack.back().actionName;
}

QString UndoManager::redoMenuItemTitle() const {
    const QString name = redoActionName();
    return name.isEmpty() ? localized(QStringLiteral("Redo"))
                          : localized(QStringLiteral("Redo %1")).arg(name);
}

void UndoManager::undo() {
    if (_openGroups.size() == 1)
        closeEventGroup();
    if (!_openGroups.empty()) {
        qCWarning(lcDocument) << "undo refused while an undo group is open";
        return;
    }
    if (_undoStack.empty())
        return;
    Group step = std::move(_undoStack.back());
    _undoStack.pop_back();
    replay(std::move(step), Replay::Undo, _redoStack);
    if (_changeHandler)
        _changeHandler(Change::StepUndone);
}

void UndoManager::redo() {
    if (_openGroups.size() == 1)
        closeEventGroup();
    if (!_openGroups.empty()) {
        qCWarning(lcDocument) << "redo refused while an undo group is open";
        return;
    }
    if (_redoStack.empty())
        return;
    Group step = std::move(_redoStack.back());
    _redoStack.pop_back();
    replay(std::move(step), Replay::Redo, _undoStack);
    if (_changeHandler)
        _changeHandler(Change::StepRedone);
}

void UndoManager::replay(Group step, Replay kind, std::vector<Group>& reverse) {
    _replayed = Group{step.actionName, {}, step.serial};
    _replaying = kind;
    ++_replays;
    for (auto it = step.actions.rbegin(); it != step.actions.rend(); ++it)
        (*it)();
    _replaying = Replay::None;
    if (!_replayed.actions.empty())
        reverse.push_back(std::move(_replayed));
    _replayed = Group{};
}

void UndoManager::clear() {
    // The open groups stay open: whoever opened them closes them.
    for (Group& group : _openGroups)
        group.actions.clear();
    _undoStack.clear();
    _redoStack.clear();
}

} // namespace tardigo
