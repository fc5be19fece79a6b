#pragma once

#include "model/value.h"

#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace tardigo {

class AgendaLists;
class TardigoDocument;
struct AgendaEntry;

/// The agenda's way to the lists' documents: it keeps AgendaLists on the trees of the open windows
/// as they change, and makes the agenda's edits through the item's list's document, with the undo
/// step, history entry, change state and autosave of an edit in the list's window. A list without
/// a window is read, changed and saved at once under its lock; its document is kept, so that the
/// agenda's Undo can take the change back while the file stays as it was saved.
class AgendaDocuments : public QObject {
    Q_OBJECT
public:
    /// The open list of a file, whatever the spelling of its path; null when none is open.
    using FindDocument = std::function<TardigoDocument*(const QString& path)>;

    AgendaDocuments(AgendaLists& lists, FindDocument find, QObject* parent = nullptr);
    ~AgendaDocuments() override;

    /// The document of a window that opened: its tree stands for its list until it closes.
    void follow(TardigoDocument& document);

    /// Marks the items done, one undo step in each list. Answers why not, in words, for those it
    /// could not. A wait for a list's lock shows on `window`.
    std::optional<QString> markDone(const std::vector<AgendaEntry>& entries, QWidget* window);
    /// Sets the item's due date as typed, read as the due-date cell reads it (empty: none).
    std::optional<QString> setDueDate(const AgendaEntry& entry, const QString& typed, QWidget* window);

    /// Whether the agenda has a change of its own to take back.
    bool canUndo() const { return !_steps.empty(); }
    /// Takes back the agenda's newest change: in a list's window, unless the list was changed there
    /// since; in a list without a window, unless the file changed since or the list opened in a
    /// window. Answers why not, in words.
    std::optional<QString> undo(QWidget* window);
    /// The entry's item in the list's open document; null when the list holds it no longer.
    static NodePtr itemIn(const TardigoDocument& document, const AgendaEntry& entry);
    /// Selects the entry's item in the document's outline, opening the items above it; false when
    /// the list holds it no longer.
    static bool reveal(TardigoDocument& document, const AgendaEntry& entry);

signals:
    void undoChanged();

private:
    using Change = std::function<void(TardigoDocument& document, const NodePtr& item)>;
    /// Changes the entries' items, which are all in one list.
    std::optional<QString> change(const std::vector<AgendaEntry>& entries, const Change& change,
                                  QWidget* window);
    std::optional<QString> changeWithoutWindow(const std::vector<AgendaEntry>& entries, const Change& change,
                                               QWidget* window);
    void keepWindowless(const QString& list, std::unique_ptr<TardigoDocument> document);
    /// Forgets the kept document of a list: its file is no longer as the agenda saved it.
    void forgetWindowless(const QString& list);

    AgendaLists& _lists;
    FindDocument _find;
    // A command tells of its change as it starts and again once its step is recorded: the agenda
    // reads the list once, after the event loop's pass.
    QSet<QString> _changedFiles;
    QTimer _changed;
    /// A change the agenda made, newest last.
    struct Step {
        QString list;
        /// The undo state the list's window reached with the change; none: a list without a window,
        /// whose kept document holds the step.
        std::optional<quint64> windowState;
    };
    void forgetStepsWithoutWindow(const QString& list);
    // The documents of lists without a window that the agenda changed.
    std::map<QString, std::unique_ptr<TardigoDocument>> _windowless;
    std::vector<Step> _steps;
};

} // namespace tardigo
