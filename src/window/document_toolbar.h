#pragma once

#include <QHash>
#include <QStringList>
#include <QToolBar>

#include <optional>

class QMenu;
class QToolButton;

namespace tardigo {

/// The toolbar "TardigoToolbar" of a document window: icon and label items the user can choose
/// and order; the choice is remembered for every window.
class DocumentToolbar : public QToolBar {
    Q_OBJECT
public:
    static const QString newItemIdentifier;
    static const QString doneIdentifier;
    static const QString notesIdentifier;
    static const QString colorsIdentifier;
    static const QString fontsIdentifier;
    static const QString inspectorIdentifier;
    static const QString hideCompletedIdentifier;
    static const QString recentDocsIdentifier;
    static const QString printIdentifier;
    static const QString stickiesIdentifier;
    static const QString separatorIdentifier;
    static const QString flexibleSpaceIdentifier;
    static const QString customizeIdentifier;

    /// Every item the toolbar can hold, in the palette's order.
    static QStringList allowedItemIdentifiers();
    static QStringList defaultItemIdentifiers();
    /// The user's choice, or the default set.
    static QStringList savedItemIdentifiers();
    static void saveItemIdentifiers(const QStringList& identifiers);
    /// The label an item shows under its picture, in the toolbar and in its customization.
    static QString itemLabel(const QString& identifier);
    /// The picture of an item; the inspector's as it shows a hidden inspector.
    static QIcon itemIcon(const QString& identifier);

    explicit DocumentToolbar(QWidget* parent = nullptr);

    /// Shows these items in this order; unknown ones are logged and left out.
    void setItemIdentifiers(const QStringList& identifiers);
    QStringList itemIdentifiers() const { return _identifiers; }

    /// The action of an item that has one (New, Done, Notes, Colors, Fonts, Inspector, Stickies, Print,
    /// Customize).
    QAction* action(const QString& identifier) const { return _actions.value(identifier); }
    /// The hide-completed switch; null while the toolbar does not show it.
    /// Shows whether completed items are hidden, and what the switch will do.
    void showHideCompleted(bool hidden);
    /// The inspector item's picture: a panel, or the side drawer open or closed.
    void setInspectorState(bool panel, bool showing);
    /// The tool an item opens (Notes, Colors, Fonts); none for any other item.
    static std::optional<int> toolOfItem(const QString& identifier);
    /// Lists the recent documents, by file name; two of the same name show the later one.
    void setRecentDocuments(const QStringList& paths);

signals:
    void hideCompletedToggled(bool hide);
    void recentDocumentChosen(const QString& path);

private:
    void makeAction(const QString& identifier);
    QWidget* makeHideCompletedItem();
    QWidget* makeRecentDocsItem();

    QStringList _identifiers;
    QHash<QString, QAction*> _actions;
    QToolButton* _hideCompleted = nullptr;
    QToolButton* _recentDocs = nullptr;
    QMenu* _recentDocsMenu = nullptr;
};

} // namespace tardigo
