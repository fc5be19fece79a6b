// The inspector in a document window, driven from the keyboard as a user drives it: each tool
// changes the selected item, undo and redo take it back and forth, and the fonts a list names are
// found by their PostScript names.
#include "gui_test_support.h"

#include "appearance/item_appearance.h"
#include "appearance/postscript_font_names.h"
#include "archive/color_value.h"
#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "inspector/font_tool.h"
#include "inspector/inspector_dock.h"
#include "inspector/notes_tool.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/icon_preferences.h"
#include "outline/inspector_view.h"
#include "outline/status_display.h"
#include "platform/settings.h"
#include "rich_text/notes_text.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/document_toolbar.h"
#include "window/outline_tree_view.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSlider>
#include <QStackedWidget>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QThread>

using namespace tardigo;
using namespace tardigo::test;

class TestInspector : public QObject {
    Q_OBJECT

    QTemporaryDir _files;
    std::unique_ptr<DocumentController> _controller;

    DocumentMainWindow* open(std::initializer_list<NodePtr> items) {
        const NodePtr root = newListRoot();
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        for (const NodePtr& node : items)
            childrenOf(*root)->items.push_back(node);
        const QString path = _files.filePath(QStringLiteral("list.todo"));
        if (!writeListFile(path, root).isEmpty())
            return nullptr;
        DocumentMainWindow* window = _controller->openFile(path);
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qWarning("the window did not become active");
        return window;
    }
    /// The user types a key into the widget with the focus; the event ends with it.
    static void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(focus, "nothing has the keyboard focus");
        QTest::keyClick(focus, key, modifiers);
        QCoreApplication::processEvents();
    }
    /// The user goes back to the list's window, its outline focused.
    static void backToTheList(DocumentMainWindow* window) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->outline().setFocus();
    }
    /// Undoes and redoes the change from the outline, as a user who went back to the list does.
    static void undoAndRedo(DocumentMainWindow* window, const std::function<bool()>& changed) {
        QVERIFY(changed());
        backToTheList(window);
        type(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!changed());
        type(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(changed());
    }
    template <typename Control> static Control* control(DocumentMainWindow* window, const char* name) {
        return window->findChild<Control*>(QLatin1String(name));
    }
    static QStringList historyMessages(const Dict& item) {
        QStringList messages;
        if (const ArrayPtr history = item.value(key::history).asArray())
            for (const Value& entry : history->items)
                if (const DictPtr e = entry.asDict(); e && e->value(key::message).asString())
                    messages << *e->value(key::message).asString();
        return messages;
    }
    static QString notesOf(const NodePtr& item) {
        const QByteArray* notes = item ? item->value(key::notes).asData() : nullptr;
        return notes ? notesPlainText(*notes).value_or(QString()) : QString();
    }
    static int currentTool(DocumentMainWindow* window) {
        return control<QComboBox>(window, "sidebarPopup")->currentData().toInt();
    }

private slots:
    void initTestCase() {
        setUpGuiTest();
        QVERIFY(_files.isValid());
        Clock::setFixed(QDateTime(QDate(2024, 3, 10), QTime(12, 0)));
    }
    void init() { _controller = std::make_unique<DocumentController>(); }
    void cleanup() { _controller.reset(); }

    void eachToolChangesTheItemFromTheKeyboard() {
        DocumentMainWindow* window = open({item("rent"), item("milk")});
        const NodePtr rent = shownItem(window->outline(), "rent");
        window->outline().setFocus();
        selectShown(window->outline(), {"rent"});
        type(Qt::Key_I, Qt::ControlModifier);
        QVERIFY(window->inspector().isVisible());
        QCOMPARE(control<QLabel>(window, "sidebarItemLabel")->text(), QStringLiteral("rent"));

        type(Qt::Key_2, Qt::ControlModifier | Qt::AltModifier); // the due date: a day picked with the keys
        QCOMPARE(currentTool(window), int(InspectorToolDueDate));
        QVERIFY(control<QCalendarWidget>(window, "calendarView")->isAncestorOf(QApplication::focusWidget()));
        type(Qt::Key_Right);
        type(Qt::Key_Return);
        QCOMPARE(rent->value(key::due), Value("2024-03-11 23:59:00 +0100")); // a new due date: the day's end
        undoAndRedo(window, [&] { return rent->contains(key::due); });

        type(Qt::Key_3, Qt::ControlModifier | Qt::AltModifier); // the reminder
        QCOMPARE(QApplication::focusWidget(), control<QWidget>(window, "remindCheckbox"));
        type(Qt::Key_Space);
        QCOMPARE(rent->value(key::reminderSet), Value::boolean(true));
        undoAndRedo(window, [&] { return flagOf(*rent, key::reminderSet); });

        type(Qt::Key_4, Qt::ControlModifier | Qt::AltModifier); // the icons
        type(Qt::Key_Down);
        QVERIFY(rent->contains(key::icon));
        QCOMPARE(rent->value(key::thisIconOnly), Value::boolean(true));
        undoAndRedo(window, [&] { return rent->contains(key::icon); });

        type(Qt::Key_5, Qt::ControlModifier | Qt::AltModifier); // the font, in the font panel
        type(Qt::Key_Space);
        auto* fonts = window->findChild<QFontDialog*>(QStringLiteral("fontPanel"));
        QVERIFY(fonts && fonts->isVisible());
        QFont book(QStringLiteral("DejaVu Sans"), 15);
        book.setStyleName(QStringLiteral("Book"));
        fonts->setCurrentFont(book);
        fonts->accept();
        QCOMPARE(rent->value(key::fontName), Value("DejaVuSans"));
        QCOMPARE(rent->value(key::fontSize), Value::float32(15));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("fontDisplayText"))->text(),
                 QStringLiteral("DejaVu Sans Book 15 pt"));
        undoAndRedo(window, [&] { return rent->contains(key::fontName); });

        type(Qt::Key_6, Qt::ControlModifier | Qt::AltModifier); // the colour, in the colour panel
        type(Qt::Key_Space);
        auto* colors = window->findChild<QColorDialog*>(QStringLiteral("colorPanel"));
        QVERIFY(colors && colors->isVisible());
        colors->setCurrentColor(QColor(200, 0, 0));
        colors->accept();
        const std::optional<Rgba> red = rgbaFromColorValue(rent->value(key::color));
        QVERIFY(red && qAbs(red->r - 200 / 255.0f) < 0.001f && red->g == 0.0f);
        QCOMPARE(
            shownCell(window->outline(), "rent", Column::Name).data(Qt::ForegroundRole).value<QColor>().red(),
            200);
        undoAndRedo(window, [&] { return rent->contains(key::color); });

        type(Qt::Key_7, Qt::ControlModifier | Qt::AltModifier); // completion, by the slider's keys
        type(Qt::Key_PageUp);
        QCOMPARE(rent->value(key::completion), Value::float32(0.1));
        QCOMPARE(control<QLabel>(window, "pctCompletedLabel")->text(), QStringLiteral("10%"));
        undoAndRedo(window, [&] { return completionOf(*rent) > 0; });

        type(Qt::Key_8, Qt::ControlModifier | Qt::AltModifier); // what was done, newest last
        const QString history = control<QPlainTextEdit>(window, "historyTextView")->toPlainText().trimmed();
        QVERIFY2(history.endsWith(QStringLiteral("set completion")), qPrintable(history));
        QVERIFY(history.contains(QStringLiteral("set reminder")));
    }

    // The icons are listed by what they show, never by the identifiers the preferences keep; an image
    // file of the user's by its name, its path in the tool tip.
    void theIconsAreListedByTheirNames() {
        const QStringList builtIn = IconPreferences::icons();
        const QString flag = _files.filePath(QStringLiteral("Blue flag.png"));
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(flag));
        Settings::instance().setItemIcons(builtIn + QStringList{flag, QStringLiteral("vk_pirate-flag")});
        const auto restore = qScopeGuard([&] { Settings::instance().setItemIcons(builtIn); });
        DocumentMainWindow* window = open({item("rent")});
        selectShown(window->outline(), {"rent"});
        window->inspector().showToolWithId(InspectorToolIcons);
        const auto* icons = control<QListWidget>(window, "iconsTable");
        QStringList names;
        for (int row = 0; row < icons->count(); ++row)
            names << icons->item(row)->text();
        QCOMPARE(names.at(builtIn.indexOf(QStringLiteral("vk_red-bullet"))), QStringLiteral("Red bullet"));
        QCOMPARE(names.at(builtIn.indexOf(QStringLiteral("vk_yellow-star-1"))),
                 QStringLiteral("Yellow star"));
        QCOMPARE(names.mid(builtIn.size()), (QStringList{"Blue flag", "Pirate flag"}));
        QCOMPARE(icons->item(int(builtIn.size()))->toolTip(), flag);
        for (int row = 0; row < builtIn.size(); ++row)
            QVERIFY2(!names.at(row).contains(u'_') && !names.at(row).contains(u'-') &&
                         icons->item(row)->toolTip().isEmpty(),
                     qPrintable(builtIn.at(row)));
        saveScreenshot(window->inspector(), QStringLiteral("icons-tool"));
    }

    void whatIsTypedInTheNotesIsStoredWhicheverWayTheInspectorGoes_data() {
        QTest::addColumn<QString>("hiding");
        for (const char* way : {"View > Inspector", "toolbar", "title bar", "Escape, then Ctrl+I"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }
    void whatIsTypedInTheNotesIsStoredWhicheverWayTheInspectorGoes() {
        QFETCH(QString, hiding);
        DocumentMainWindow* window = open({item("rent"), item("milk")});
        const NodePtr rent = shownItem(window->outline(), "rent");
        selectShown(window->outline(), {"rent"});
        window->outline().setFocus();
        type(Qt::Key_1, Qt::ControlModifier | Qt::AltModifier);
        QTextEdit* editor = control<QTextEdit>(window, "notesTextView");
        QCOMPARE(QApplication::focusWidget(), editor);
        QTest::keyClicks(editor, "first words");
        // In the editor Ctrl+I is italics, as Ctrl+B is bold: the inspector stays.
        type(Qt::Key_I, Qt::ControlModifier);
        QTest::keyClicks(editor, " slanted");
        QVERIFY(window->inspector().isVisible());
        QVERIFY(editor->fontItalic());

        if (hiding == "View > Inspector") {
            window->menus().actions().toggleInspector->trigger();
        } else if (hiding == "toolbar") {
            window->toolbar().action(DocumentToolbar::inspectorIdentifier)->trigger();
        } else if (hiding == "title bar") {
            window->inspector().close();
        } else {
            type(Qt::Key_Escape);
            QCOMPARE(QApplication::focusWidget(), &window->outline());
            type(Qt::Key_I, Qt::ControlModifier);
        }
        QVERIFY(!window->inspector().isVisible());
        QCOMPARE(notesOf(rent), QStringLiteral("first words slanted"));
        QCOMPARE(shownCell(window->outline(), "rent", Column::Notes).data().toString(),
                 QStringLiteral("first words slanted"));

        // Shown again (Ctrl+I), the tool shows the notes as stored, and typing goes on from there.
        window->outline().setFocus();
        type(Qt::Key_I, Qt::ControlModifier);
        QVERIFY(window->inspector().isVisible());
        QCOMPARE(editor->toPlainText(), QStringLiteral("first words slanted"));
        editor->setFocus();
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, ", more");
        backToTheList(window);
        QCOMPARE(notesOf(rent), QStringLiteral("first words slanted, more"));
        QCoreApplication::processEvents();
        // Each commit is one step: undone, the notes are as the inspector last left them.
        type(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(notesOf(rent), QStringLiteral("first words slanted"));
    }

    void typedNotesGoToTheirItemWhateverComesFirst() {
        DocumentMainWindow* window = open({item("rent"), item("milk")});
        const NodePtr rent = shownItem(window->outline(), "rent"),
                      milk = shownItem(window->outline(), "milk");
        QTextEdit* editor = control<QTextEdit>(window, "notesTextView");
        const auto typeNotes = [&](const QString& name, const char* text) {
            selectShown(window->outline(), {name});
            window->outline().setFocus();
            type(Qt::Key_1, Qt::ControlModifier | Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget(), editor);
            editor->moveCursor(QTextCursor::End);
            QTest::keyClicks(editor, text);
        };

        typeNotes("rent", "pay");
        type(Qt::Key_2, Qt::ControlModifier | Qt::AltModifier); // another tool
        QCOMPARE(notesOf(rent), QStringLiteral("pay"));

        // A notice's View Item takes the selection elsewhere while the editor has the focus.
        typeNotes("rent", " by Friday");
        NodePtr notice = milk->deepCopy();
        notice->set(key::nodeStatus, Value::integer(3));
        window->document().minderHandOff().minderViewItem(notice);
        QCoreApplication::processEvents();
        QCOMPARE(notesOf(rent), QStringLiteral("pay by Friday"));
        QVERIFY(!milk->contains(key::notes));

        // Saving, by hand or by itself, takes what is typed so far; the typing goes on.
        typeNotes("milk", "oat");
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(notesOf(milk), QStringLiteral("oat"));
        QCOMPARE(QApplication::focusWidget(), editor);
        QTest::keyClicks(editor, " milk");
        QCOMPARE(window->autoSave(), AutosaveScheduler::Outcome::Saved);
        const ListLoad saved = readListFile(window->document().fileName());
        QVERIFY(saved.ok());
        QCOMPARE(notesOf(findItem(*saved.root, QStringLiteral("milk"))), QStringLiteral("oat milk"));
        QCOMPARE(QApplication::focusWidget(), editor);
    }

    void oneGestureOfTheSliderIsOneStep_data() {
        QTest::addColumn<QString>("gesture");
        for (const char* gesture : {"a drag of the handle", "a press held on the groove", "a key held down"})
            QTest::newRow(gesture) << QString::fromLatin1(gesture);
    }
    void oneGestureOfTheSliderIsOneStep() {
        QFETCH(QString, gesture);
        DocumentMainWindow* window = open({item("rent")});
        const NodePtr rent = shownItem(window->outline(), "rent");
        selectShown(window->outline(), {"rent"});
        window->outline().setFocus();
        type(Qt::Key_7, Qt::ControlModifier | Qt::AltModifier);
        auto* slider = control<QSlider>(window, "pctCompletedSlider");
        QCOMPARE(QApplication::focusWidget(), slider);
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.orientation = Qt::Horizontal;
        option.maximum = 100;
        option.subControls = QStyle::SC_All;
        const QRect handle =
            slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
        const QPoint end(slider->width() - 2, handle.center().y());
        if (gesture == "a drag of the handle") {
            QTest::mousePress(slider, Qt::LeftButton, {}, handle.center());
            for (int x = handle.center().x(); x < end.x(); x += 8)
                QTest::mouseMove(slider, QPoint(x, end.y()));
            QTest::mouseRelease(slider, Qt::LeftButton, {}, end);
        } else if (gesture == "a press held on the groove") {
            QTest::mousePress(slider, Qt::LeftButton, {}, end);
            QTest::qWait(800); // the handle steps on towards the pointer
            QTest::mouseRelease(slider, Qt::LeftButton, {}, end);
        } else {
            for (int repeat = 0; repeat < 4; ++repeat) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), repeat > 0);
                QApplication::sendEvent(slider, &press);
                if (repeat < 3) {
                    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
                    QApplication::sendEvent(slider, &release);
                }
            }
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
            QApplication::sendEvent(slider, &release);
        }
        QVERIFY2(completionOf(*rent) > 0.02f, qPrintable(QString::number(completionOf(*rent))));
        QCOMPARE(historyMessages(*rent).count(QStringLiteral("set completion")), 1);
        QCoreApplication::processEvents();
        window->document().undoStack().undo();
        QCOMPARE(completionOf(*rent), 0.0f);
    }

    void whatSeveralSelectedItemsAllow() {
        DocumentMainWindow* window = open({item("a"), item("b")});
        OutlineTreeView& outline = window->outline();
        InspectorDockWidget& inspector = window->inspector();
        auto* label = control<QLabel>(window, "sidebarItemLabel");
        inspector.showToolWithId(InspectorToolNotes);
        QCOMPARE(label->text(), QStringLiteral("[no selection]"));
        QVERIFY(!control<QTextEdit>(window, "notesTextView")->isEnabled());
        selectShown(outline, {"a", "b"});
        QCOMPARE(label->text(), QStringLiteral("(multiple selection)"));
        QVERIFY(!control<QTextEdit>(window, "notesTextView")->isEnabled());
        inspector.showToolWithId(InspectorToolColor);
        QCOMPARE(label->text(), QStringLiteral("(multiple selection OK)"));
        QVERIFY(control<QPushButton>(window, "colorWell")->isEnabled());
        control<QPushButton>(window, "noColorButton")->click();
        QCOMPARE(window->document().undoStack().undoText(), QStringLiteral("set color"));
    }

    void theInspectorTearsOffAndAttaches() {
        DocumentMainWindow* window = open({item("a")});
        InspectorDockWidget& inspector = window->inspector();
        const Dict& root = *window->document().data();
        QAction* tearOff = window->menus().actions().tearOffInspector;
        tearOff->trigger();
        QVERIFY(inspector.isFloating() && inspector.isVisible());
        QCOMPARE(root.value(key::panelInspector), Value::boolean(true));
        QCOMPARE(root.value(key::inspectorVisible), Value::boolean(true));
        window->validate();
        QCOMPARE(tearOff->text(), QStringLiteral("Attach Inspector"));
        tearOff->trigger();
        QVERIFY(!inspector.isFloating() && inspector.isVisible());
        QCOMPARE(window->dockWidgetArea(&inspector), Qt::RightDockWidgetArea); // the "drawerSide" edge
        QCOMPARE(root.value(key::panelInspector), Value::boolean(false));
        QVERIFY(window->isWindowModified());
        QCOMPARE(tearOff->text(), QStringLiteral("Tear Off Inspector"));
    }

    void theOutlineKeepsItsColumnsBesideTheDrawer() {
        DocumentMainWindow* window = open({item("a")});
        QHeaderView* sections = window->outline().header();
        for (int section = 0; section < sections->count(); ++section)
            sections->resizeSection(section, 70);
        window->resize(500, 400);
        QCoreApplication::processEvents();
        window->inspector().toggleInspector(true);
        QCoreApplication::processEvents();
        const QHeaderView* header = window->outline().header();
        int columns = 0;
        for (int section = 0; section < header->count() - 1; ++section)
            columns += header->isSectionHidden(section) ? 0 : header->sectionSize(section);
        QTRY_VERIFY(window->outline().viewport()->width() >= columns);
        window->inspector().toggleInspector(true);
        QCOMPARE(window->outline().minimumWidth(), 0); // without the drawer the window may be narrow
    }

    void largeNotesAreReadAsideAndOnlyTheLastChosenShows() {
        const auto withNotes = [](const char* name, QChar letter) {
            TextRun run;
            run.text = QString(NotesTool::kLargestNotesReadAtOnce, letter);
            NodePtr large = item(name);
            large->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({run}))));
            return large;
        };
        DocumentMainWindow* window = open({withNotes("first", u'a'), withNotes("second", u'b')});
        auto* tool = window->findChild<NotesTool*>();
        QTextEdit* editor = control<QTextEdit>(window, "notesTextView");
        selectShown(window->outline(), {"first"});
        window->inspector().showToolWithId(InspectorToolNotes);
        QVERIFY(tool->isLoading());
        QVERIFY(control<QLabel>(window, "notesLoading")->isVisible());
        QVERIFY(!editor->isEnabled() && editor->document()->isEmpty());
        tool->finishEditing(); // nothing typed yet: the notes stay as they are
        QVERIFY(shownItem(window->outline(), "first")->contains(key::notes));
        selectShown(window->outline(), {"second"}); // before the first notes are read
        QTRY_VERIFY(!tool->isLoading());
        QVERIFY(editor->isEnabled());
        QVERIFY(!control<QLabel>(window, "notesLoading")->isVisible());
        QCOMPARE(editor->toPlainText().size(), NotesTool::kLargestNotesReadAtOnce);
        QVERIFY(editor->toPlainText().startsWith(u'b'));
        // The first reading ends too, and must not replace what is shown.
        QTRY_VERIFY(tool->findChildren<QThread*>().isEmpty());
        QVERIFY(editor->toPlainText().startsWith(u'b'));
    }

    void viewItemOpensTheToolItNames() {
        DocumentMainWindow* window = open({item("call the bank")});
        NodePtr notice = shownItem(window->outline(), "call the bank")->deepCopy();
        notice->set(key::nodeStatus, Value::integer(3)); // a reminder
        window->document().minderHandOff().minderViewItem(notice);
        QVERIFY(window->inspector().isVisible());
        QCOMPARE(currentTool(window), int(InspectorToolReminder));
        QCOMPARE(selectedNames(window->outline()), QStringList{"call the bank"});
    }

    void fontsAreFoundByTheirPostScriptNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("installed");
        // The names a Mac writes, the samples' notes use, and those of this system.
        for (const char* name :
             {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique", "Times-Roman",
              "Times-Italic", "Courier", "Courier-Bold", "NimbusSans-Bold", "DejaVuSans", "DejaVuSans-Bold"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        QTest::newRow("not installed") << QStringLiteral("NoSuchFoundry-Bold") << false;
    }
    void fontsAreFoundByTheirPostScriptNames() {
        QFETCH(QString, name);
        QFETCH(bool, installed);
        const std::optional<FontFace> face = fontFaceForPostScriptName(name);
        QCOMPARE(face.has_value(), installed);
        if (!installed) {
            QCOMPARE(qFontForItemFont(ItemFont{name, 12}).family(), defaultItemFont().family());
            return;
        }
        // The face Qt shows is the one fontconfig found, and its own name leads back to it.
        const QFont shown = qFontForItemFont(ItemFont{name, 12});
        QCOMPARE(faceOfFont(shown), *face);
        const QString back = postScriptNameForFace(*face);
        QVERIFY(!back.isEmpty());
        QCOMPARE(fontFaceForPostScriptName(back), face);
        QCOMPARE(QFontInfo(shown).bold(), name.contains(QLatin1String("Bold")));
        QCOMPARE(QFontInfo(shown).italic(),
                 name.contains(QLatin1String("Oblique")) || name.contains(QLatin1String("Italic")));
        if (name.startsWith(QLatin1String("DejaVu")) || name.startsWith(QLatin1String("Nimbus")))
            QCOMPARE(back, name); // a name the system has is its own round trip
    }

    void aStoredFontNameStaysUnlessAnotherFontIsPicked() {
        NodePtr styled = item("styled");
        styled->set(key::fontName, "Helvetica-Bold");
        styled->set(key::fontSize, Value::float32(12));
        DocumentMainWindow* window = open({styled});
        styled = shownItem(window->outline(), "styled");
        selectShown(window->outline(), {"styled"});
        window->inspector().showToolWithId(InspectorToolFont);
        control<QPushButton>(window, "selectFontButton")->click();
        auto* fonts = window->findChild<QFontDialog*>(QStringLiteral("fontPanel"));
        QFont bigger = fonts->currentFont();
        bigger.setPointSize(18);
        fonts->setCurrentFont(bigger);
        fonts->accept();
        QCOMPARE(styled->value(key::fontName), Value("Helvetica-Bold")); // the same face, larger
        QCOMPARE(styled->value(key::fontSize), Value::float32(18));
        control<QPushButton>(window, "selectFontButton")->click();
        QFont other(QStringLiteral("DejaVu Sans"), 18);
        other.setStyleName(QStringLiteral("Bold"));
        fonts->setCurrentFont(other);
        fonts->accept();
        QCOMPARE(styled->value(key::fontName), Value("DejaVuSans-Bold"));
    }
};

QTEST_MAIN(TestInspector)
#include "tst_inspector.moc"
