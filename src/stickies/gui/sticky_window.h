#pragma once

#include "stickies/core/sticky_store.h"

#include <QWidget>

class QLabel;
class QTextEdit;

namespace tardigo {

/// One sticky note on the desktop: a small frameless window that stays above the others, its title
/// bar to move it by, a grip to size it. A note made from an item shows the item's name and notes,
/// with their formatting, in the item's font; a note of earlier versions shows its own text, which
/// may be edited. On Wayland the desktop decides where it stands and whether it stays on top.
class StickyWindow : public QWidget {
    Q_OBJECT
public:
    explicit StickyWindow(const StickyNote& note);

    /// The note as it stands now: its text and its place and size on screen (where the desktop tells
    /// a window its place).
    StickyNote note() const;
    const QString& id() const { return _note.id; }
    /// Shows what the note holds now, where it stands.
    void setNote(const StickyNote& note);
    /// Keeps the note above other windows, or lets it go below them as any window.
    void setAboveOthers(bool above);

signals:
    /// The text, the place or the size changed.
    void changed();
    /// The user hid the note; it stays kept.
    void closeRequested();
    /// The user asked to delete the note.
    void deleteRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showContent();

    StickyNote _note;
    QWidget* _titleBar;
    QLabel* _title;
    QTextEdit* _text;
    QPoint _dragOffset;
};

} // namespace tardigo
