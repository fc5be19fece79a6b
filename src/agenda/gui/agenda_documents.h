#pragma once

#include "model/value.h"

#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>
#include <optional>

namespace tardigo {

class AgendaLists;
class TardigoDocument;
struct AgendaEntry;

/// The agenda's way to the lists' documents: it keeps AgendaLists on the trees of the open windows
/// as they change, and makes the agenda's edits through the item's list's document, with the undo
/// step, history entry, change state and autosave of an edit in the list's window. A list without
/// a window is read, changed and saved at once under its lock.
class AgendaDocuments : public QObject {
    Q_OBJECT
public:
    /// The open list of a file, whatever the spelling of its path; null when none is open.
    using FindDocument = std::function<TardigoDocument*(const QString& path)>;

    AgendaDocuments(AgendaLists& lists, FindDocument find, QObject* parent = nullptr);

    /// The document of a window that opened: its tree stands for its list until it closes.
    void follow(TardigoDocument& document);

    /// Marks the item done. Answers why not, in words, when it could not.
    std::optional<QString> markDone(const AgendaEntry& entry);
    /// Sets the item's due date as typed, read as the due-date cell reads it (empty: none).
    std::optional<QString> setDueDate(const AgendaEntry& entry, const QString& typed);
    /// The entry's item in the list's open document; null when the list holds it no longer.
    static NodePtr itemIn(const TardigoDocument& document, const AgendaEntry& entry);
    /// Selects the entry's item in the document's outline, opening the items above it; false when
    /// the list holds it no longer.
    static bool reveal(TardigoDocument& document, const AgendaEntry& entry);

private:
    using Change = std::function<void(TardigoDocument& document, const NodePtr& item)>;
    std::optional<QString> change(const AgendaEntry& entry, const Change& change);

    AgendaLists& _lists;
    FindDocument _find;
    // A command tells of its change as it starts and again once its step is recorded: the agenda
    // reads the list once, after the event loop's pass.
    QSet<QString> _changedFiles;
    QTimer _changed;
};

} // namespace tardigo
