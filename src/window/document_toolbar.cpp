#include "window/document_toolbar.h"

#include "appearance/icon_for_name.h"
#include "outline/inspector_view.h"
#include "platform/settings.h"
#include "widgets/gui_log.h"
#include "widgets/qt_part_names.h"

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
    return Settings::instance().toolbarItems().value_or(defaultItemIdentifiers());
}

void DocumentToolbar::saveItemIdentifiers(const QStringList& identifiers) {
    Settings::instance().setToolbarItems(identifiers);
}

namespace {

struct ItemLook {
    const char* label = nullptr; // in English
    const char* toolTip = nullptr;
    const char* picture = nullptr; // an icon name
};

// How each item shows, in the toolbar and in its customization alike.
const QHash<QString, ItemLook>& itemLooks() {
    using T = DocumentToolbar;
    static const QHash<QString, ItemLook> looks{
        {T::newItemIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "New"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Create a new todo item"), "vk_newitem"}},
        {T::doneIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Done"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Mark the current item \"done\""),
          "done-toolbar-item"}},
        {T::notesIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Notes"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Show the notes tool."), "notes-toolbar-item"}},
        {T::colorsIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Colors"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Show the colors tool"), "colors-toolbar-item"}},
        {T::fontsIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Fonts"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Show the fonts tool"), "fonts-toolbar-item"}},
        {T::inspectorIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Inspector"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Show/Hide the inspector"), "sidebar-closed"}},
        {T::stickiesIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Stickies"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar",
                            "Create a sticky note with the contents of selected todo item."),
          "stickies-toolbar-item"}},
        {T::printIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Print"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Print this list"), "print-toolbar-item"}},
        {T::customizeIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Customize"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Customize the toolbar"), "vk_gears"}},
        // Its tool tip says whether completed items are hidden now.
        {T::hideCompletedIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Hide Completed"), nullptr,
          "hide-completed-toolbar-item"}},
        {T::recentDocsIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Recent"),
          QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Switch to another Tardigo todo list."),
          "recent-docs-toolbar-item"}},
        {T::separatorIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Separator"), nullptr, "separator-toolbar-item"}},
        {T::flexibleSpaceIdentifier,
         {QT_TRANSLATE_NOOP("tardigo::DocumentToolbar", "Flexible Space"), nullptr,
          "flexible-space-toolbar-item"}},
    };
    return looks;
}

QString translatedText(const char* text) {
    return text ? DocumentToolbar::tr(text) : QString();
}

} // namespace

QString DocumentToolbar::itemLabel(const QString& identifier) {
    return translatedText(itemLooks().value(identifier).label);
}

QIcon DocumentToolbar::itemIcon(const QString& identifier) {
    const char* picture = itemLooks().value(identifier).picture;
    return picture ? iconForName(QString::fromLatin1(picture)) : QIcon();
}

DocumentToolbar::DocumentToolbar(QWidget* parent) : QToolBar(tr("Toolbar"), parent) {
    setObjectName(QStringLiteral("TardigoToolbar"));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    nameOverflowButton(*this);
    for (const QString* identifier :
         {&newItemIdentifier, &doneIdentifier, &notesIdentifier, &colorsIdentifier, &fontsIdentifier,
          &inspectorIdentifier, &stickiesIdentifier, &printIdentifier, &customizeIdentifier})
        makeAction(*identifier);
    // The items that act on the selection wait for one.
    for (const QString* identifier :
         {&doneIdentifier, &notesIdentifier, &colorsIdentifier, &fontsIdentifier, &stickiesIdentifier})
        _actions.value(*identifier)->setEnabled(false);
    setItemIdentifiers(savedItemIdentifiers());
}

void DocumentToolbar::makeAction(const QString& identifier) {
    const ItemLook look = itemLooks().value(identifier);
    auto* action = new QAction(itemIcon(identifier), translatedText(look.label), this);
    action->setObjectName(identifier);
    action->setToolTip(translatedText(look.toolTip));
    _actions.insert(identifier, action);
}

QWidget* DocumentToolbar::makeHideCompletedItem() {
    // A switch that stays pressed while completed items are hidden, titled as the menu command is.
    _hideCompleted = new QToolButton(this);
    _hideCompleted->setObjectName(hideCompletedIdentifier);
    _hideCompleted->setCheckable(true);
    _hideCompleted->setText(itemLabel(hideCompletedIdentifier));
    _hideCompleted->setAccessibleName(tr("Hide completed items"));
    _hideCompleted->setIcon(itemIcon(hideCompletedIdentifier));
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
    _recentDocs->setText(itemLabel(recentDocsIdentifier));
    _recentDocs->setToolTip(translatedText(itemLooks().value(recentDocsIdentifier).toolTip));
    _recentDocs->setIcon(itemIcon(recentDocsIdentifier));
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
