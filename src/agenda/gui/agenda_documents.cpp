#include "agenda/gui/agenda_documents.h"

#include "agenda/core/agenda.h"
#include "agenda/core/agenda_lists.h"
#include "dates/due_date_entry.h"
#include "document/tardigo_document.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "outline/outline_view.h"

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
        for (const QString& file : std::exchange(_changedFiles, {}))
            _lists.openListChanged(file);
    });
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
    OutlineView& outline = document.outlineView();
    const NodePtr& root = document.data();
    const auto listBelow = [&root](const NodePtr& node) { return childrenOf(node ? *node : *root); };
    for (const NodePtr& ancestor : ancestorsInTree(item.get(), listBelow))
        outline.expandItem(ancestor, false);
    outline.scrollItemToVisible(item);
    outline.selectItems({item});
    return true;
}

std::optional<QString> AgendaDocuments::markDone(const AgendaEntry& entry) {
    return change(entry, [](TardigoDocument& document, const NodePtr& item) {
        // As the check box of the item's row stores it.
        document.setCellValue(Value::float32(1.0), key::completion, item);
    });
}

std::optional<QString> AgendaDocuments::setDueDate(const AgendaEntry& entry, const QString& typed) {
    const DueDateEntry read = readDueDateEntry(typed);
    if (read.kind == DueDateEntry::Kind::Refused)
        return read.refusal;
    return change(entry, [&typed](TardigoDocument& document, const NodePtr& item) {
        document.setDueDateText(typed, item);
    });
}

std::optional<QString> AgendaDocuments::change(const AgendaEntry& entry, const Change& change) {
    const QString name = QFileInfo(entry.list).fileName();
    const auto gone = [&name] {
        return tr("The item is no longer where it was in “%1”. Look for it in the list's window.").arg(name);
    };
    if (TardigoDocument* document = _find(entry.list)) {
        const NodePtr item = itemIn(*document, entry);
        if (!item)
            return gone();
        change(*document, item);
        return std::nullopt;
    }
    TardigoDocument document;
    QString error;
    if (!document.readFromFile(entry.list, &error))
        return tr("“%1” could not be read, so the item is unchanged: %2").arg(name, error);
    std::optional<QString> why;
    if (const NodePtr item = itemIn(document, entry)) {
        change(document, item);
        switch (document.saveUnlessChangedOnDisk(&error)) {
        case TardigoDocument::SaveOutcome::Saved:
            // The agenda reads the new file as it reads any other program's save.
            break;
        case TardigoDocument::SaveOutcome::ChangedOnDisk:
            why = tr("“%1” changed on disk while it was being saved, so the item is unchanged. Try again.")
                      .arg(name);
            break;
        case TardigoDocument::SaveOutcome::Failed:
            why = tr("“%1” could not be saved, so the item is unchanged: %2").arg(name, error);
            break;
        }
    } else {
        why = gone();
    }
    document.close();
    return why;
}

} // namespace tardigo
