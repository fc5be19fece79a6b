#pragma once

#include <QObject>

class QTextEdit;

namespace tardigo {

/// The notes editor's own keys: Ctrl+B, Ctrl+I and Ctrl+U make the selection, or what is typed next,
/// bold, italic or underlined. The editor claims them before any shortcut of the window sees them.
class NotesFormatKeys : public QObject {
public:
    /// Watches the editor's keys for as long as the editor lives.
    explicit NotesFormatKeys(QTextEdit& editor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextEdit& _editor;
};

} // namespace tardigo
