#include "window/document_toolbar.h"

#include "appearance/icon_for_name.h"
#include "inspector/core/inspector_view.h"
#include "model/keys.h"
#include "platform/localized.h"
#include "platform/user_defaults.h"
#include "window/window_log.h"

#include <QFileInfo>
#include <QMenu>
#include <QToolButton>

namespace tardigo {

const QString DocumentToolbar::newItemIdentifier = QStringLiteral("TardigoToolbarNewItem");
const QString DocumentToolbar::doneIdentifier = QStringLiteral("TardigoToolbarDone");
const QString DocumentToolbar::notesIdentifier = QStringLiteral("TardigoToolbarNotes");
const QString DocumentToolbar::colorsIdentifier = QStringLiteral("TardigoToolbarColors");
const QString DocumentToolbar::fontsIdentifier = QStringLiteral("TardigoToolbarFonts");
const QString DocumentToolbar::inspectorIdentifier = QStringLiteral("TardigoToolbarInspector");
const QString DocumentToolbar::hideCompletedIdentifier = QStringLiteral("TardigoToolbarHideCompleted");
const QString DocumentToolbar::recentDocsIdentifier = QStringLiteral("TardigoToolbarRecentDocs");
const QString DocumentToolbar::printIdentifier = QStringLiteral("TardigoToolbarPrint");
const QString DocumentToolbar::stickiesIdentifier = QStringLiteral("TardigoToolbarStickies");
const QString DocumentToolbar::separatorIdentifier = QStringLiteral("TardigoToolbarSeparator");
const QString DocumentToolbar::flexibleSpaceIdentifier = QStringLiteral("TardigoToolbarFlexibleSpace");
const QString DocumentToolbar::customizeIdentifier = QStringLiteral("TardigoToolbarCustomize");

QStringList DocumentToolbar::allowedItemIdentifiers() {
    return {newItemIdentifier,       doneIdentifier,       notesIdentifier,     colorsIdentifier,
            fontsIdentifier,         stickiesIdentifier,   printIdentifier,     inspectorIdentifier,
            hideCompletedIdentifier, recentDocsIdentifier, separatorIdentifier, flexibleSpaceIdentifier,
            customizeIdentifier};
}

QStringList DocumentToolbar::defaultItemIdentifiers() {
    return {newItemIdentifier,       doneIdentifier,      notesIdentifier,
            colorsIdentifier,        fontsIdentifier,     hideCompletedIdentifier,
            flexibleSpaceIdentifier, customizeIdentifier, inspectorIdentifier};
}

std::optional<int> DocumentToolbar::toolOfItem(const QString& identifier) {
    if (identifier == notesIdentifier)
        return InspectorToolNotes;
    if (identifier == colorsIdentifier)
        return InspectorToolColor;
    if (identifier == fontsIdentifier)
        return InspectorToolFont;
    return std::nullopt;
}

QStringList DocumentToolbar::savedItemIdentifiers() {
    const UserDefaults& defaults = UserDefaults::standard();
    if (defaults.objectForKey(pref::toolbarItemIdentifiers).isNil())
        return defaultItemIdentifiers();
    return defaults.stringArrayForKey(pref::toolbarItemIdentifiers);
}

void DocumentToolbar::saveItemIdentifiers(const QStringList& identifiers) {
    UserDefaults::standard().setStringArray(pref::toolbarItemIdentifiers, identifiers);
}

QString DocumentToolbar::paletteLabel(const QString& identifier) {
    static const QHash<QString, QString> labels{
        {newItemIdentifier, QStringLiteral("New Item")},
        {doneIdentifier, QStringLiteral("Done Item")},
        {notesIdentifier, QStringLiteral("Notes")},
        {colorsIdentifier, QStringLiteral("Colors")},
        {fontsIdentifier, QStringLiteral("Fonts")},
        {inspectorIdentifier, QStringLiteral("Inspector Drawer or Panel")},
        {hideCompletedIdentifier, QStringLiteral("Completed")},
        {recentDocsIdentifier, QStringLiteral("Recent Docs")},
        {printIdentifier, QStringLiteral("Print")},
        {stickiesIdentifier, QStringLiteral("Stickies")},
        {separatorIdentifier, QStringLiteral("Separator")},
        {flexibleSpaceIdentifier, QStringLiteral("Flexible Space")},
        {customizeIdentifier, QStringLiteral("Customize")},
    };
    return localized(labels.value(identifier, identifier));
}

DocumentToolbar::DocumentToolbar(QWidget* parent) : QToolBar(tr("Toolbar"), parent) {
    setObjectName(QStringLiteral("TardigoToolbar"));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    makeAction(newItemIdentifier, QStringLiteral("New"), QStringLiteral("Create a new todo item"),
               QStringLiteral("vk_newitem"));
    makeAction(doneIdentifier, QStringLiteral("Done"), QStringLiteral("Mark the current item \"done\""),
               QStringLiteral("done-toolbar-item"))
        ->setEnabled(false);
    makeAction(notesIdentifier, QStringLiteral("Notes"), QStringLiteral("Show the notes tool."),
               QStringLiteral("notes-toolbar-item"))
        ->setEnabled(false);
    makeAction(colorsIdentifier, QStringLiteral("Colors"), QStringLiteral("Show the colors tool"),
               QStringLiteral("colors-toolbar-item"))
        ->setEnabled(false);
    makeAction(fontsIdentifier, QStringLiteral("Fonts"), QStringLiteral("Show the fonts tool"),
               QStringLiteral("fonts-toolbar-item"))
        ->setEnabled(false);
    makeAction(inspectorIdentifier, QStringLiteral("Inspector"), QStringLiteral("Show/Hide the inspector"),
               QStringLiteral("sidebar-closed"));
    makeAction(stickiesIdentifier, QStringLiteral("Stickies"),
               QStringLiteral("Create a sticky note with the contents of selected todo item."),
               QStringLiteral("stickies-toolbar-item"))
        ->setEnabled(false);
    makeAction(printIdentifier, QStringLiteral("Print"), QStringLiteral("Print this list"),
               QStringLiteral("print-toolbar-item"));
    makeAction(customizeIdentifier, QStringLiteral("Customize"), QStringLiteral("Customize the toolbar"),
               QStringLiteral("vk_gears"));
    setItemIdentifiers(savedItemIdentifiers());
}

QAction* DocumentToolbar::makeAction(const QString& identifier, const QString& label, const QString& toolTip,
                                     const QString& icon) {
    auto* action = new QAction(iconForName(icon), localized(label), this);
    action->setObjectName(identifier);
    action->setToolTip(localized(toolTip));
    _actions.insert(identifier, action);
    return action;
}

QWidget* DocumentToolbar::makeHideCompletedItem() {
    // A switch that stays pressed while completed items are hidden, titled as the menu command is.
    _hideCompleted = new QToolButton(this);
    _hideCompleted->setObjectName(hideCompletedIdentifier);
    _hideCompleted->setCheckable(true);
    _hideCompleted->setText(tr("Hide Completed"));
    _hideCompleted->setAccessibleName(tr("Hide completed items"));
    _hideCompleted->setIcon(iconForName(QStringLiteral("hide-completed-toolbar-item")));
    _hideCompleted->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    showHideCompleted(false);
    // clicked, not toggled: the refresh sets the switch without sending the action again.
    connect(_hideCompleted, &QToolButton::clicked, this, &DocumentToolbar::hideCompletedToggled);
    return _hideCompleted;
}

void DocumentToolbar::showHideCompleted(bool hidden) {
    if (!_hideCompleted)
        return;
    _hideCompleted->setChecked(hidden);
    _hideCompleted->setToolTip(hidden ? tr("Completed items are hidden. Click to show them again.")
                                      : tr("Completed items are shown. Click to hide them."));
}

QWidget* DocumentToolbar::makeRecentDocsItem() {
    _recentDocs = new QToolButton(this);
    _recentDocs->setObjectName(recentDocsIdentifier);
    _recentDocs->setText(localized(QStringLiteral("Recent")));
    _recentDocs->setToolTip(localized(QStringLiteral("Switch to another Tardigo todo list.")));
    _recentDocs->setIcon(iconForName(QStringLiteral("recent-docs-toolbar-item")));
    _recentDocs->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    _recentDocs->setPopupMode(QToolButton::InstantPopup);
    _recentDocs->setMinimumWidth(56);
    _recentDocsMenu = new QMenu(_recentDocs);
    _recentDocsMenu->setObjectName(QStringLiteral("recentDocsPopup"));
    _recentDocs->setMenu(_recentDocsMenu);
    connect(_recentDocsMenu, &QMenu::triggered, this,
            [this](QAction* chosen) { emit recentDocumentChosen(chosen->data().toString()); });
    return _recentDocs;
}

void DocumentToolbar::setInspectorState(bool panel, bool showing) {
    const QString picture = QLatin1String(panel     ? "inspector-panel"
                                          : showing ? "sidebar-open"
                                                    : "sidebar-closed");
    QAction* inspector = _actions.value(inspectorIdentifier);
    if (inspector->data().toString() != picture) {
        inspector->setIcon(iconForName(picture));
        inspector->setData(picture);
    }
}

void DocumentToolbar::setRecentDocuments(const QStringList& paths) {
    if (!_recentDocsMenu)
        return;
    _recentDocsMenu->clear();
    QHash<QString, QAction*> byName;
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        QAction* entry = byName.value(name);
        if (!entry)
            entry = byName[name] = _recentDocsMenu->addAction(name);
        entry->setData(path);
        entry->setToolTip(path);
    }
    _recentDocs->setEnabled(!paths.isEmpty());
}

void DocumentToolbar::setItemIdentifiers(const QStringList& identifiers) {
    // Custom items, separators and spaces are made anew each time; the item actions stay.
    for (QAction* shown : actions()) {
        removeAction(shown);
        if (!_actions.key(shown).isEmpty())
            continue;
        delete shown; // a widget action deletes its widget with it
    }
    _hideCompleted = nullptr;
    _recentDocs = nullptr;
    _recentDocsMenu = nullptr;
    _identifiers.clear();
    for (const QString& identifier : identifiers) {
        if (QAction* action = _actions.value(identifier)) {
            addAction(action);
        } else if (identifier == hideCompletedIdentifier) {
            addWidget(makeHideCompletedItem());
        } else if (identifier == recentDocsIdentifier) {
            addWidget(makeRecentDocsItem());
        } else if (identifier == separatorIdentifier) {
            addSeparator();
        } else if (identifier == flexibleSpaceIdentifier) {
            auto* space = new QWidget(this);
            space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
            addWidget(space);
        } else {
            qCWarning(lcWindow).noquote()
                << QStringLiteral("unknown toolbar item requested: %1").arg(identifier);
            continue;
        }
        _identifiers.append(identifier);
    }
    for (QToolButton* button : findChildren<QToolButton*>())
        button->setAutoRaise(true);
}

} // namespace tardigo
