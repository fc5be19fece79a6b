#pragma once

#include "model/value.h"
#include "stickies/core/sticky_store.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

namespace tardigo {

class StickyWindow;
class TardigoDocument;

/// The sticky notes on the desktop and their store: notes made from items, kept across restarts
/// (what they show, place and size), hidden until shown again, or deleted. While an item's list is
/// open, its note follows the item. The notes stay above other windows, but not above a dialog that
/// waits for an answer.
class StickyBoard : public QObject {
    Q_OBJECT
public:
    /// Shows the open notes kept in the store.
    explicit StickyBoard(const QString& storePath, QObject* parent = nullptr);
    /// Keeps the notes as they are now.
    ~StickyBoard() override;

    /// Puts a note for each item of the list on the desktop, each a little below and right of the
    /// one before.
    void add(TardigoDocument& document, const std::vector<NodePtr>& items);
    /// The list is open: its items' notes follow them from now on.
    void follow(TardigoDocument& document);
    /// Shows the notes that were hidden.
    void showAll();
    /// Writes the notes now instead of after the short wait that gathers quick changes.
    void save();

    const std::vector<StickyNote>& notes() const { return _notes; }
    /// The window of a note on screen; null when it is hidden.
    StickyWindow* windowOf(const QString& id) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The item a note shows, in a list open now.
    struct Followed {
        QPointer<TardigoDocument> document;
        std::weak_ptr<Dict> item;
    };

    void open(StickyNote& note);
    void noteChanged(const QString& id);
    void close(const QString& id);
    void remove(const QString& id);
    void closeWindow(const QString& id);
    StickyNote* find(const QString& id);
    void watch(TardigoDocument& document);
    /// Brings every followed note up to date with its item.
    void refresh();
    void listRenamed(const TardigoDocument& document, const QString& path);
    /// The notes above every window while no modal dialog shows, else as any window.
    void keepBelowModalWindows();

    StickyStore _store;
    std::vector<StickyNote> _notes;
    std::vector<std::unique_ptr<StickyWindow>> _windows;
    std::map<QString, Followed> _followed; // by note
    std::vector<QPointer<TardigoDocument>> _watched;
    QTimer _saveSoon;
    QTimer _refreshSoon;
    QTimer _modalityChanged; // a window came or went: whether a modal one shows is known after it
};

} // namespace tardigo
