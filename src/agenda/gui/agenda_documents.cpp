#include "agenda/gui/agenda_documents.h"

#include "agenda/core/agenda.h"
#include "agenda/core/agenda_lists.h"
#include "dates/due_date_entry.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "widgets/list_lock_wait.h"

#include <QFileInfo>

namespace tardigo {

namespace {

/// The item at that place of the tree, when it still is the item the agenda showed: the same uid,
/// or, for an item without one, the same name.
NodePtr itemAt(const NodePtr& root, const AgendaEntry& entry) {
    NodePtr node = root;
    for (const int index : entry.path) {
        const ArrayPtr children = childrenOf(*node);
        if (!children || index < 0 || index >= children->size())
            return nullptr;
        node = children->items[size_t(index)].asDict();
        if (!node)
            return nullptr;
    }
    if (node == root)
        return nullptr;
    const Value uid = entry.item->value(key::uid);
    if (!uid.isNil())
        return node->value(key::uid) == uid ? node : nullptr;
    return node->value(key::name) == entry.item->value(key::name) ? node : nullptr;
}

} // namespace

AgendaDocuments::AgendaDocuments(AgendaLists& lists, FindDocument find, QObject* parent)
    : QObject(parent), _lists(lists), _find(std::move(find)) {
    _changed.setSingleShot(true);
    _changed.setInterval(0);
    connect(&_changed, &QTimer::timeout, this, [this] {
        const auto changed = std::exchange(_changedFiles, {});
        for (const QString& file : changed)
            _lists.openListChanged(file);
    });
}

AgendaDocuments::~AgendaDocuments() {
    for (auto& [list, document] : _windowless)
        document->close();
}

void AgendaDocuments::follow(TardigoDocument& document) {
    TardigoDocument* followed = &document;
    // The file the agenda knows the document by, which a Save As changes.
    auto file = std::make_shared<QString>(document.fileName());
    if (!file->isEmpty())
        _lists.setOpen(*file, document.data());
    connect(followed, &TardigoDocument::changeCounted, this, [this, file] {
        if (file->isEmpty())
            return;
        _changedFiles.insert(*file);
        _changed.start();
    });
    connect(followed, &TardigoDocument::dataReplaced, this, [this, followed, file] {
        if (!file->isEmpty())
            _lists.setOpen(*file, followed->data());
    });
    connect(followed, &TardigoDocument::fileNameChanged, this, [this, followed, file](const QString& path) {
        if (!file->isEmpty())
            _lists.closeOpen(*file);
        *file = path;
        if (!path.isEmpty())
            _lists.setOpen(path, followed->data());
    });
    connect(followed, &TardigoDocument::closed, this, [this, file] {
        if (!file->isEmpty())
            _lists.closeOpen(*file);
    });
}

NodePtr AgendaDocuments::itemIn(const TardigoDocument& document, const AgendaEntry& entry) {
    return itemAt(document.data(), entry);
}

bool AgendaDocuments::reveal(TardigoDocument& document, const AgendaEntry& entry) {
    const NodePtr item = itemIn(document, entry);
    if (!item)
        return false;
    document.revealItems({item});
    return true;
}

std::optional<QString> AgendaDocuments::markDone(const std::vector<AgendaEntry>& entries, QWidget* window) {
    // One change for each list: one undo step there, and one save of a list without a window.
    std::map<QString, std::vector<AgendaEntry>> byList;
    for (const AgendaEntry& entry : entries)
        byList[entry.list].push_back(entry);
    QStringList problems;
    for (const auto& [list, listEntries] : byList) {
        const std::optional<QString> why = change(
            listEntries,
            [](TardigoDocument& document, const NodePtr& item) {
                // As the check box of the item's row stores it.
                document.setCellValue(Value::float32(1.0), Column::Completion, item);
            },
            window);
        if (why)
            problems << *why;
    }
    return problems.isEmpty() ? std::nullopt : std::optional<QString>(problems.join(u' '));
}

std::optional<QString> AgendaDocuments::setDueDate(const AgendaEntry& entry, const QString& typed,
                                                   QWidget* window) {
    const DueDateEntry read = readDueDateEntry(typed);
    if (read.kind == DueDateEntry::Kind::Refused)
        return read.refusal;
    return change(
        {entry},
        [&typed](TardigoDocument& document, const NodePtr& item) { document.setDueDateText(typed, item); },
        window);
}

namespace {

QString goneText(const QString& list) {
    return AgendaDocuments::tr(
               "The item is no longer where it was in “%1”. Look for it in the list's window.")
        .arg(QFileInfo(list).fileName());
}

} // namespace

std::optional<QString> AgendaDocuments::change(const std::vector<AgendaEntry>& entries, const Change& change,
                                               QWidget* window) {
    TardigoDocument* document = _find(entries.front().list);
    if (!document)
        return changeWithoutWindow(entries, change, window);
    // The list's window holds the undo step, so an older change kept here is no longer the agenda's.
    forgetWindowless(entries.front().list);
    std::vector<NodePtr> items;
    for (const AgendaEntry& entry : entries)
        if (const NodePtr item = itemIn(*document, entry))
            items.push_back(item);
    if (items.empty())
        return goneText(entries.front().list);
    UndoStack& undo = document->undoStack();
    // The step is the agenda's alone, so that its Undo knows it as the window's newest.
    undo.finishRecordingStep();
    const quint64 before = undo.currentState();
    {
        const UndoGroup step(undo, QString());
        for (const NodePtr& item : items)
            change(*document, item);
    }
    undo.finishRecordingStep();
    if (undo.currentState() != before) {
        _steps.push_back({entries.front().list, undo.currentState()});
        emit undoChanged();
    }
    if (items.size() < entries.size())
        return goneText(entries.front().list);
    return std::nullopt;
}

std::optional<QString> AgendaDocuments::changeWithoutWindow(const std::vector<AgendaEntry>& entries,
                                                            const Change& change, QWidget* window) {
    const QString& list = entries.front().list;
    const QString name = QFileInfo(list).fileName();
    QString error;
    // Held from the read to the save and no longer; a wait shows on the window and never blocks it.
    const std::optional<ListLock> lock = lockListForWindow(window, list, LockWaitPurpose::Save, &error);
    if (!lock)
        return error.isEmpty()
                   ? tr("You stopped waiting for “%1”, so the item is unchanged.").arg(name)
                   : tr("“%1” could not be changed, so the item is unchanged: %2").arg(name, error);
    // The document kept from the agenda's last change, while the file is as it saved it: its
    // earlier steps can then still be undone.
    std::unique_ptr<TardigoDocument> document;
    if (const auto kept = _windowless.find(list);
        kept != _windowless.end() && !kept->second->changedOnDisk()) {
        document = std::move(kept->second);
        _windowless.erase(kept);
    } else {
        forgetWindowless(list);
    }
    if (!document) {
        document = std::make_unique<TardigoDocument>();
        if (!document->readFromFile(list, &error))
            return tr("“%1” could not be read, so the item is unchanged: %2").arg(name, error);
    }
    std::vector<NodePtr> items;
    for (const AgendaEntry& entry : entries)
        if (const NodePtr item = itemIn(*document, entry))
            items.push_back(item);
    if (items.empty()) {
        // Kept only while it holds the agenda's earlier steps: a list just read has none to undo.
        if (document->undoStack().canUndo())
            keepWindowless(list, std::move(document));
        else
            document->close();
        return goneText(list);
    }
    {
        const UndoGroup step(document->undoStack(), QString());
        for (const NodePtr& item : items)
            change(*document, item);
    }
    std::optional<QString> why;
    switch (document->saveUnlessChangedOnDisk(&error)) {
    case TardigoDocument::SaveOutcome::Saved:
        // The agenda reads the new file as it reads any other program's save.
        _steps.push_back({list, std::nullopt});
        keepWindowless(list, std::move(document));
        return items.size() < entries.size() ? std::optional<QString>(goneText(list)) : std::nullopt;
    case TardigoDocument::SaveOutcome::ChangedOnDisk:
        why = tr("“%1” changed on disk while it was being saved, so the item is unchanged. Try again.")
                  .arg(name);
        break;
    case TardigoDocument::SaveOutcome::Failed:
        why = tr("“%1” could not be saved, so the item is unchanged: %2").arg(name, error);
        break;
    }
    // Whatever the agenda did to the list before is no longer what the kept document holds.
    document->close();
    forgetStepsWithoutWindow(list);
    return why;
}

std::optional<QString> AgendaDocuments::undo(QWidget* window) {
    if (_steps.empty())
        return std::nullopt;
    const Step step = _steps.back();
    const QString& list = step.list;
    const QString name = QFileInfo(list).fileName();
    if (step.windowState) {
        _steps.pop_back();
        emit undoChanged();
        TardigoDocument* document = _find(list);
        if (!document)
            return tr("The window of “%1” was closed since, so the agenda leaves the list as it is. "
                      "Change the item again to take the change back.")
                .arg(name);
        if (document->undoStack().currentState() != *step.windowState)
            return tr("“%1” was changed in its window since, so the agenda leaves it as it is. "
                      "Use Edit > Undo in the list's window.")
                .arg(name);
        document->undoStack().undo();
        return std::nullopt;
    }
    if (_find(list)) {
        forgetWindowless(list);
        return tr("“%1” is open in a window now, so the agenda cannot take its change back there. "
                  "Change the item in the list's window.")
            .arg(name);
    }
    QString error;
    const std::optional<ListLock> lock = lockListForWindow(window, list, LockWaitPurpose::Save, &error);
    if (!lock)
        return error.isEmpty() ? tr("You stopped waiting for “%1”, so nothing was undone.").arg(name)
                               : tr("“%1” could not be changed, so nothing was undone: %2").arg(name, error);
    TardigoDocument& document = *_windowless.at(list);
    if (document.changedOnDisk()) {
        forgetWindowless(list);
        return tr("“%1” was changed since the agenda saved it, so its change cannot be taken back. "
                  "Change the item in the list's window.")
            .arg(name);
    }
    document.undoStack().undo();
    switch (document.saveUnlessChangedOnDisk(&error)) {
    case TardigoDocument::SaveOutcome::Saved:
        _steps.pop_back();
        if (!document.undoStack().canUndo())
            forgetWindowless(list);
        emit undoChanged();
        return std::nullopt;
    case TardigoDocument::SaveOutcome::ChangedOnDisk:
    case TardigoDocument::SaveOutcome::Failed:
        break;
    }
    // The list on disk is as the agenda's change left it; the kept document no longer is.
    forgetWindowless(list);
    return tr("“%1” could not be saved, so nothing was undone: %2").arg(name, error);
}

void AgendaDocuments::keepWindowless(const QString& list, std::unique_ptr<TardigoDocument> document) {
    _windowless[list] = std::move(document);
    emit undoChanged();
}

void AgendaDocuments::forgetWindowless(const QString& list) {
    const auto kept = _windowless.find(list);
    if (kept == _windowless.end())
        return;
    kept->second->close();
    _windowless.erase(kept);
    forgetStepsWithoutWindow(list);
}

void AgendaDocuments::forgetStepsWithoutWindow(const QString& list) {
    std::erase_if(_steps, [&list](const Step& step) { return step.list == list && !step.windowState; });
    emit undoChanged();
}

} // namespace tardigo
