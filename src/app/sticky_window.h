#pragma once

#include "platform/sticky_store.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace tardigo {

/// One sticky note on the desktop: a small frameless window that stays above the others, its title
/// bar to move it by, its text to edit, a grip to size it. On Wayland the desktop decides where it
/// stands and whether it stays on top.
class StickyWindow : public QWidget {
    Q_OBJECT
public:
    explicit StickyWindow(const StickyNote& note);

    /// The note as it stands now: its text and its place and size on screen (where the desktop tells
    /// a window its place).
    StickyNote note() const;
    const QString& id() const { return _note.id; }

signals:
    /// The text, the place or the size changed.
    void changed();
    /// The user closed the note; it stays kept.
    void closeRequested();
    /// The user deleted the note.
    void deleteRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    StickyNote _note;
    QWidget* _titleBar;
    QPlainTextEdit* _text;
    QPoint _dragOffset;
};

} // namespace tardigo
