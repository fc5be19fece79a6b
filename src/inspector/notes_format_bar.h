#pragma once

#include <QColor>
#include <QTextListFormat>
#include <QToolBar>

#include <functional>
#include <optional>

class QTextCharFormat;
class QTextEdit;

namespace tardigo {

/// The formatting controls of the notes editor: bold, italic, underline, strikethrough, bullet and
/// numbered lists, link, text colour and clearing the formatting, each applied to the selection or
/// the word at the cursor. The buttons show the formatting at the cursor and follow the editor's
/// being enabled. In a list, Tab and Shift+Tab nest an item and take it out again; a picture on the
/// clipboard is pasted as a picture.
class NotesFormatBar : public QToolBar {
    Q_OBJECT
public:
    explicit NotesFormatBar(QTextEdit& editor, QWidget* parent = nullptr);

    /// Asks for a link's target, showing the current one; none when the user cancels, an empty text to
    /// remove the link. A dialog unless replaced (by tests).
    std::function<std::optional<QString>(const QString& current)> askForLink;
    /// Asks for a text colour; none when the user cancels. A dialog unless replaced (by tests).
    std::function<std::optional<QColor>(const QColor& current)> askForColor;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addCommand(const char* objectName, const QString& text, const QString& name,
                        const QKeySequence& shortcut, const QKeySequence& editorShortcut);
    void mergeFormat(const QTextCharFormat& format);
    void toggleList(QTextListFormat::Style style);
    /// Nests the current list item one level deeper (`levels` 1) or takes it out by one (-1).
    bool changeListLevel(int levels);
    void editLink();
    void chooseColor();
    void clearFormatting();
    bool pastePicture();
    void showFormat();
    void followEditor();

    QTextEdit& _editor;
    QAction* _bold;
    QAction* _italic;
    QAction* _underline;
    QAction* _strike;
    QAction* _bulletList;
    QAction* _numberedList;
    QAction* _link;
    QAction* _color;
    QAction* _clear;
};

} // namespace tardigo
