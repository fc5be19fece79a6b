#include "gui_test_support.h"

#include "../test_support.h"
#include "agenda/core/agenda_model.h"
#include "desktop_app/document_controller.h"
#include "desktop_app/icon_preferences_table.h"
#include "desktop_app/preferences_window.h"
#include "desktop_app/translators.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_columns.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "platform/settings.h"
#include "window/document_main_window.h"
#include "window/document_toolbar.h"
#include "window/due_date_editor.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace tardigo;
using namespace tardigo::test;

namespace {

// Words that German shares with the English texts.
const QSet<QString> kSameInBoth{
    QStringLiteral("tardigo"), QStringLiteral("pdf"),   QStringLiteral("icalendar"),
    QStringLiteral("xml"),     QStringLiteral("ok"),    QStringLiteral("name"),
    QStringLiteral("an"),      QStringLiteral("in"),    QStringLiteral("desktop"),
    QStringLiteral("mail"),    QStringLiteral("start"), QStringLiteral("version")};

QStringList wordsOf(QString text) {
    text.remove(u'&');
    static const QRegularExpression nonLetters(QStringLiteral("[^\\p{L}]+"));
    QStringList words;
    for (const QString& word : text.toLower().split(nonLetters, Qt::SkipEmptyParts))
        if (word.size() > 1 && !kSameInBoth.contains(word))
            words.append(word);
    return words;
}

// Every word of Tardigo's English texts: the sources of the translation.
QSet<QString> englishWords() {
    QSet<QString> words;
    QFile ts(QStringLiteral(TARDIGO_SOURCE_DIR "/translations/tardigo_de.ts"));
    if (!ts.open(QIODevice::ReadOnly))
        qFatal("the German translation is missing");
    QXmlStreamReader reader(&ts);
    while (reader.readNextStartElement() || !reader.atEnd())
        if (reader.isStartElement() && reader.name() == QLatin1String("source"))
            for (const QString& word : wordsOf(reader.readElementText()))
                words.insert(word);
    return words;
}

} // namespace

class TestGermanWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<DocumentController> _controller;
    QSet<QString> _english;

    // The English words left in a text that a German user sees.
    QStringList englishIn(const QString& text) const {
        QStringList found;
        for (const QString& word : wordsOf(text))
            if (_english.contains(word))
                found.append(word);
        return found;
    }
    void verifyGerman(const QString& text, const QString& where) const {
        const QStringList english = englishIn(text);
        QVERIFY2(english.isEmpty(),
                 qPrintable(
                     QStringLiteral("%1: “%2” has English words: %3").arg(where, text, english.join(u' '))));
    }
    // Each action of the menu and of its submenus, with its place for the failure's message.
    void walkMenu(const QMenu& menu, const QString& path, QList<std::pair<QString, const QAction*>>& found) {
        for (const QAction* action : menu.actions()) {
            if (action->isSeparator())
                continue;
            const QString place = path + QStringLiteral(" > ") + action->text();
            found.append({place, action});
            if (action->menu())
                walkMenu(*action->menu(), place, found);
        }
    }

private slots:
    void initTestCase() {
        setUpGuiTest();
        _english = englishWords();
        QVERIFY(_english.contains(QStringLiteral("file")));
        Clock::setFixed(QDateTime(QDate(2025, 3, 4), QTime(9, 0)));
        _controller = std::make_unique<DocumentController>();
    }
    void cleanupTestCase() {
        _controller.reset();
        Clock::reset();
    }

    void everyMenuSpeaksGerman() {
        DocumentMainWindow* window = _controller->newUntitledDocument();
        QVERIFY(window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // The menus fill their dynamic entries (Undo's title, the recent lists) as they open.
        for (const QAction* top : window->menuBar()->actions())
            emit top->menu()->aboutToShow();
        QList<std::pair<QString, const QAction*>> actions;
        for (const QAction* top : window->menuBar()->actions()) {
            actions.append({top->text(), top});
            walkMenu(*top->menu(), top->text(), actions);
        }
        QVERIFY(actions.size() > 40);
        for (const auto& [place, action] : actions) {
            QVERIFY2(!action->text().isEmpty(), qPrintable(place));
            verifyGerman(action->text(), place);
            verifyGerman(action->toolTip(), place);
        }
        QCOMPARE(window->menuBar()->actions().first()->text(), QStringLiteral("&Datei"));
    }

    // Edit's Undo keeps the title it always had ("Rückgängig: <step>"), not the stack's own wording.
    void undoAndRedoKeepTheirTitles() {
        DocumentMainWindow* window = _controller->newUntitledDocument();
        auto* undo = window->findChild<QAction*>(QStringLiteral("undo"));
        auto* redo = window->findChild<QAction*>(QStringLiteral("redo"));
        QVERIFY(undo && redo);
        QCOMPARE(undo->text(), QStringLiteral("Rückgängig"));
        window->document().itemCommands().newItemWithName(QStringLiteral("Brot"));
        // The step closes on the event loop's next turn.
        QTRY_VERIFY(!window->document().undoStack().undoText().isEmpty());
        const QString step = window->document().undoStack().undoText();
        QCOMPARE(undo->text(), QStringLiteral("Rückgängig: %1").arg(step));
        undo->trigger();
        QCOMPARE(redo->text(), QStringLiteral("Wiederholen: %1").arg(step));
        QCOMPARE(undo->text(), QStringLiteral("Rückgängig"));
    }

    // A list keeps the history in the words the window stored it in, as tardigo-cli stores them.
    void theHistoryIsStoredInGerman() {
        DocumentMainWindow* window = _controller->newUntitledDocument();
        window->document().itemCommands().newItemWithName(QStringLiteral("Brot"));
        const NodePtr bread = childrenOf(*window->document().data())->items.at(0).asDict();
        const ArrayPtr history = bread->value(key::history).asArray();
        QCOMPARE(*history->items.at(0).asDict()->value(key::message).asString(),
                 QStringLiteral("Eintrag angelegt"));
    }

    void noMenuRepeatsAnAccelerator() {
        const DocumentMainWindow* window = _controller->newUntitledDocument();
        QCOMPARE(repeatedAccelerators(*window->menuBar()), QStringList());
    }

    void toolbarAndOutlineSpeakGerman() {
        DocumentMainWindow* window = _controller->newUntitledDocument();
        for (const QString& identifier : DocumentToolbar::allowedItemIdentifiers())
            verifyGerman(DocumentToolbar::itemLabel(identifier), identifier);
        for (const QAction* action : window->toolbar().actions()) {
            verifyGerman(action->text(), action->objectName());
            verifyGerman(action->toolTip(), action->objectName());
        }
        for (const QAbstractButton* button : window->toolbar().findChildren<QAbstractButton*>()) {
            verifyGerman(button->text(), button->objectName());
            verifyGerman(button->toolTip(), button->objectName());
        }
        const QAbstractItemModel& model = window->outline().outlineModel();
        for (int column = 0; column < model.columnCount(); ++column)
            verifyGerman(model.headerData(column, Qt::Horizontal).toString(), QStringLiteral("header"));
        QVERIFY2(window->windowTitle().startsWith(QStringLiteral("Unbenannt")),
                 qPrintable(window->windowTitle()));
    }

    // The outline and the agenda call the due date by one word; a column width stored narrower, as
    // under English or by hand, is widened to show the title and the German dates whole.
    void theDueDateHasOneNameAndRoomForItsDates() {
        QCOMPARE(AgendaModel::tr("Due Date"), QStringLiteral("Fälligkeitsdatum"));
        QTemporaryDir files;
        const QString list = writeList(files.filePath(QStringLiteral("wochenplan.todo")), {item("Miete")});
        DocumentMainWindow* window = _controller->openFile(list);
        QVERIFY(window);
        QHeaderView& header = *window->outline().header();
        const int due = columnIndex(Column::Due);
        QCOMPARE(window->outline().outlineModel().headerData(due, Qt::Horizontal).toString(),
                 QStringLiteral("Fälligkeitsdatum"));
        const int fitting = header.sectionSize(due);
        QVERIFY(fitting >= header.fontMetrics().horizontalAdvance(QStringLiteral("Fälligkeitsdatum")));
        QVERIFY(fitting > DueDateEditor::widestDateWidth(window->outline().fontMetrics()));
        header.resizeSection(due, 40);
        Settings::instance().setOutlineColumns(QStringLiteral("wochenplan.todo"), header.saveState());
        window->setChangesReviewed();
        QVERIFY(window->close());
        window = _controller->openFile(list);
        QVERIFY(window);
        QCOMPARE(window->outline().header()->sectionSize(due), fitting);
        window->setChangesReviewed();
        QVERIFY(window->close());
    }

    void preferencesSpeakGerman() {
        PreferencesWindow preferences;
        verifyGerman(preferences.windowTitle(), QStringLiteral("title"));
        for (const QAbstractButton* button : preferences.findChildren<QAbstractButton*>())
            verifyGerman(button->text(), button->objectName());
        for (const QLabel* label : preferences.findChildren<QLabel*>())
            verifyGerman(label->text(), label->objectName());
        for (const QGroupBox* group : preferences.findChildren<QGroupBox*>())
            verifyGerman(group->title(), group->objectName());
        for (const QString& condition : IconPreferencesTable::statusNames())
            verifyGerman(condition, QStringLiteral("icon conditions"));
        const auto* icons = preferences.findChild<IconPreferencesTable*>();
        QVERIFY(icons->rowCount() > 20);
        for (int row = 0; row < icons->rowCount(); ++row)
            verifyGerman(icons->item(row, IconPreferencesTable::IconColumn)->text(), QStringLiteral("icons"));
    }

    void inspectorSpeaksGerman() {
        DocumentMainWindow* window = _controller->newUntitledDocument();
        InspectorDockWidget& inspector = window->inspector();
        for (int tool = InspectorToolNotes; tool <= InspectorToolColor; ++tool)
            inspector.showToolWithId(tool);
        verifyGerman(inspector.windowTitle(), QStringLiteral("inspector"));
        for (const QAbstractButton* button : inspector.findChildren<QAbstractButton*>())
            verifyGerman(button->text(), button->objectName());
        for (const QLabel* label : inspector.findChildren<QLabel*>())
            verifyGerman(label->text(), label->objectName());
        // The icons' names.
        for (const QListWidget* list : inspector.findChildren<QListWidget*>())
            for (int item = 0; item < list->count(); ++item)
                verifyGerman(list->item(item)->text(), list->objectName());
        // The tool selector, the repeat periods and the reminder's units.
        for (const QComboBox* list : inspector.findChildren<QComboBox*>())
            for (int item = 0; item < list->count(); ++item)
                verifyGerman(list->itemText(item), list->objectName());
    }

    void qtsOwnButtonsSpeakGerman() {
        QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QStringLiteral("Abbrechen"));
    }

    void screenReadersHearGerman() {
        DocumentMainWindow* window = _controller->newUntitledDocument();
        OutlineTreeView& outline = window->outline();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        for (int tool = InspectorToolNotes; tool <= InspectorToolColor; ++tool)
            window->inspector().showToolWithId(tool);
        for (const QWidget* widget : window->findChildren<QWidget*>())
            verifyGerman(widget->accessibleName(), widget->objectName());
        verifyGerman(outline.outlineModel().headerData(0, Qt::Horizontal, Qt::AccessibleTextRole).toString(),
                     QStringLiteral("icon column"));
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        typeIntoEditor(outline, QStringLiteral("Steuer"));
        QCOMPARE(shownCell(outline, "Steuer", Column::Icon).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Nicht erledigt, zu 0 % erledigt"));
    }

    void dueDatesFollowTheLocale() {
        DocumentMainWindow* window = _controller->newUntitledDocument();
        OutlineTreeView& outline = window->outline();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        typeIntoEditor(outline, QStringLiteral("Steuer"));
        // The window reads a day typed in German, and shows the date as Germans write it.
        editCell(outline, "Steuer", Column::Due);
        typeIntoEditor(outline, QStringLiteral("morgen"));
        QCOMPARE(shownCell(outline, "Steuer", Column::Due).data().toString(),
                 QStringLiteral("05.03.25 23:59"));
        outline.editItem(shownItem(outline, "Steuer"), Column::Due, true);
        typeIntoEditor(outline, QStringLiteral("Freitag um 9:30"));
        QCOMPARE(shownCell(outline, "Steuer", Column::Due).data().toString(),
                 QStringLiteral("07.03.25 09:30"));
    }
};

int main(int argc, char** argv) {
    // A German desktop, as the user's session gives it, before anything reads the locale.
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qunsetenv("LANGUAGE");
    qputenv("LANG", "de_DE.UTF-8");
    QApplication application(argc, argv);
    installTranslators();
    TestGermanWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_german_window.moc"
