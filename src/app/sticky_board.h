#pragma once

#include "platform/sticky_store.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

namespace tardigo {

class StickyWindow;

/// The sticky notes on the desktop and their store: notes made from items, kept across restarts
/// (text, place and size), closed until shown again, or deleted.
class StickyBoard : public QObject {
    Q_OBJECT
public:
    /// Shows the open notes kept in the store.
    explicit StickyBoard(const QString& storePath, QObject* parent = nullptr);
    /// Keeps the notes as they are now.
    ~StickyBoard() override;

    /// Puts new notes on the desktop, each a little below and right of the one before.
    void add(const std::vector<StickyNote>& notes);
    /// Shows the notes that were closed again.
    void showAll();
    /// Writes the notes now instead of after the short wait that gathers quick changes.
    void save();

    const std::vector<StickyNote>& notes() const { return _notes; }
    /// The window of a note on screen; null when it is closed.
    StickyWindow* windowOf(const QString& id) const;

private:
    void open(StickyNote& note);
    void noteChanged(const QString& id);
    void close(const QString& id);
    void remove(const QString& id);
    void closeWindow(const QString& id);
    StickyNote* find(const QString& id);

    StickyStore _store;
    std::vector<StickyNote> _notes;
    std::vector<std::unique_ptr<StickyWindow>> _windows;
    QTimer _saveSoon;
};

} // namespace tardigo
