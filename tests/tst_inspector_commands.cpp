// What the inspector's tools do to the selected items, and what they show for none, one and several
// selected items.
#include "archive/color_value.h"
#include "document_fixture.h"
#include "model/item_codes.h"
#include "model/stored_date.h"

using namespace tardigo;
using namespace tardigo::test;

namespace {

void undo(OpenList& list) {
    OpenList::endEvent();
    list.undo().undo();
}

void redo(OpenList& list) {
    OpenList::endEvent();
    list.undo().redo();
}

QStringList shownTexts(const OpenList& list) {
    QStringList texts;
    for (const Message& message : list.window.messages.shown)
        texts << message.text;
    return texts;
}

/// The moment the tests start at, as the minder's bookkeeping stores it.
Date now() {
    return Date{referenceSecondsFromDateTime(localTime(QStringLiteral("2024-03-10 12:00:00")))};
}

} // namespace

class TestInspectorCommands : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

private slots:
    void init() { _start.emplace(); }
    void cleanup() { _start.reset(); }

    void aPickedDueDateIsStoredAndAnnouncedAfresh() {
        OpenList list{makeItem("rent", {{key::minderTimestampTodo, now()}})};
        const NodePtr rent = list.at({0});
        list.select({"rent"});
        InspectorCommands& inspector = list.document.inspectorCommands();
        inspector.calendarViewChanged(localTime(QStringLiteral("2024-03-10 09:30:00"))); // earlier today
        QCOMPARE(rent->value(key::due), Value("2024-03-10 09:30:00 +0100"));
        QVERIFY(!rent->contains(key::minderTimestampTodo));
        QCOMPARE(historyMessages(*rent).constLast(), QStringLiteral("set date due"));
        QCOMPARE(shownTexts(list), QStringList{"You have set a date due in the past."});
        QCOMPARE(list.undo().undoText(), QStringLiteral("set date due"));
        undo(list);
        QVERIFY(!rent->contains(key::due));
        redo(list);
        QCOMPARE(rent->value(key::due), Value("2024-03-10 09:30:00 +0100"));

        OpenList::endEvent();
        inspector.dueTimeChanged(localTime(QStringLiteral("2024-03-11 18:00:00")));
        QCOMPARE(rent->value(key::due), Value("2024-03-11 18:00:00 +0100"));
        inspector.dueTimeChanged(std::nullopt); // a calendar without a date changes nothing
        QCOMPARE(rent->value(key::due), Value("2024-03-11 18:00:00 +0100"));
        // The window's own refresh sets the controls: nothing is recorded.
        {
            const TardigoDocument::SyncingModel syncing(list.document);
            inspector.calendarViewChanged(localTime(QStringLiteral("2030-01-01 00:00:00")));
        }
        QCOMPARE(rent->value(key::due), Value("2024-03-11 18:00:00 +0100"));
    }

    void repeatTakesAPeriodFromThePopup() {
        OpenList list{makeItem("water the plants", {{key::minderTimestampTodo, now()}})};
        const NodePtr plants = list.at({0});
        list.select({"water the plants"});
        InspectorCommands& inspector = list.document.inspectorCommands();
        QVERIFY(inspector.repeatCheckboxAction(true, 0)); // no period yet: the popup opens
        QCOMPARE(plants->value(key::dateDueRepeatPeriod), Value::integer(0));
        QVERIFY(plants->contains(key::minderTimestampTodo));
        OpenList::endEvent();
        inspector.periodChosen(2);
        QCOMPARE(plants->value(key::dateDueRepeatPeriod), Value::integer(2));
        QVERIFY(!plants->contains(key::minderTimestampTodo));
        QCOMPARE(shownTexts(list), QStringList{"This item does not yet have a date due."});
        OpenList::endEvent();
        QVERIFY(!inspector.repeatCheckboxAction(false, 2));
        QCOMPARE(plants->value(key::dateDueRepeatPeriod), Value::integer(0));
        QCOMPARE(list.undo().undoText(), QStringLiteral("Set Due Date Repeat"));
        QCOMPARE(historyMessages(*plants).mid(1), QStringList(3, QStringLiteral("set date due repeat")));
        undo(list);
        QCOMPARE(plants->value(key::dateDueRepeatPeriod), Value::integer(2));
    }

    void eachReminderControlWritesItsKeys_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<QStringList>("expected"); // "key=number" after the action
        QTest::newRow("checkbox off") << "checkbox"
                                      << "set reminder" << QStringList{"reminder set=0"};
        QTest::newRow("a positive length")
            << "length 2 hours"
            << "set reminder interval" << QStringList{"reminder time length=2", "reminder set=1"};
        QTest::newRow("a length of 0")
            << "length abc"
            << "set reminder interval" << QStringList{"reminder time length=0", "reminder set=0"};
        QTest::newRow("a unit") << "unit"
                                << "set reminder type"
                                << QStringList{"reminder time unit=3", "reminder set=1"};
        QTest::newRow("repeat") << "repeat"
                                << "set reminder repeat"
                                << QStringList{"reminder repeat=1", "reminder mark due date=0",
                                               "reminder mark now=1"};
        QTest::newRow("before the due date")
            << "before"
            << "set reminder whence"
            << QStringList{"reminder mark due date=1", "reminder mark now=0", "reminder repeat=0"};
    }
    void eachReminderControlWritesItsKeys() {
        QFETCH(QString, control);
        OpenList list{makeItem("call the bank", {{key::reminderSet, Value::boolean(false)},
                                                 {key::reminderRepeat, Value::boolean(true)},
                                                 {key::reminderMarkNow, Value::boolean(true)},
                                                 {key::minderTimestampReminder, now()}})};
        const NodePtr bank = list.at({0});
        const DictPtr before = bank->deepCopy();
        list.select({"call the bank"});
        InspectorCommands& inspector = list.document.inspectorCommands();
        if (control == "checkbox")
            inspector.reminderCheckboxAction(false);
        else if (control.startsWith("length"))
            inspector.reminderLengthAction(control.mid(7));
        else if (control == "unit")
            inspector.reminderUnitAction(ReminderWeeks);
        else if (control == "repeat")
            inspector.reminderRepeatAction(true);
        else
            inspector.reminderWhenceAction(true);
        QFETCH(QStringList, expected);
        for (const QString& pair : expected) {
            const QString key = pair.section(u'=', 0, 0);
            QCOMPARE(bank->value(key).asNumber()->toDouble(), pair.section(u'=', 1).toDouble());
        }
        QFETCH(QString, actionName);
        QCOMPARE(historyMessages(*bank).constLast(), actionName);
        QCOMPARE(list.undo().undoText(), actionName);
        QVERIFY(!bank->contains(key::minderTimestampReminder));
        QCOMPARE(bank->value(key::reminderMark), Value(now())); // a reminder from now starts again
        undo(list);                                             // one step puts back every key it changed
        for (const QString& pair : expected) {
            const QString key = pair.section(u'=', 0, 0);
            QCOMPARE(bank->value(key), before->value(key));
        }
    }

    void iconFontAndColourChangeEverySelectedItemInOneStep() {
        OpenList list{makeItem("a", {{key::fontName, "Courier"}, {key::fontSize, Value::float32(14)}}),
                      makeItem("b"), makeItem("c")};
        const std::vector<NodePtr> items{list.at({0}), list.at({1}), list.at({2})};
        list.select({"a", "b", "c"});
        InspectorCommands& inspector = list.document.inspectorCommands();
        const QStringList icons = Settings::instance().itemIcons();

        inspector.iconSelected(4);
        OpenList::endEvent();
        inspector.changeFont(StoredFont{QStringLiteral("Helvetica-Bold"), 12.5});
        OpenList::endEvent();
        inspector.changeColor(Rgba{1.0f, 0.5f, 0.0f, 1.0f});
        for (const NodePtr& item : items) {
            QCOMPARE(item->value(key::icon), Value(icons.at(4)));
            QCOMPARE(item->value(key::thisIconOnly), Value::boolean(true));
            QCOMPARE(item->value(key::fontName), Value("Helvetica-Bold"));
            QCOMPARE(item->value(key::fontSize), Value::float32(12.5));
            QVERIFY(rgbaFromColorValue(item->value(key::color)) == (Rgba{1.0f, 0.5f, 0.0f, 1.0f}));
            QCOMPARE(historyMessages(*item).size(), 1); // none of these is logged
        }
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("(multiple selection)"));
        list.window.inspector.tool = InspectorToolFont;
        list.document.updateDisplay();
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("(multiple selection OK)"));
        QVERIFY(list.document.display().appearance->font == (ItemFont{QStringLiteral("Helvetica-Bold"), 12}));

        QCOMPARE(list.undo().undoText(), QStringLiteral("set color"));
        undo(list);
        QVERIFY(!items[1]->contains(key::color));
        QCOMPARE(list.undo().undoText(), QStringLiteral("set font"));
        undo(list);
        QCOMPARE(items[0]->value(key::fontName), Value("Courier"));
        QVERIFY(!items[1]->contains(key::fontName));
        QCOMPARE(list.undo().undoText(), QStringLiteral("set icon"));
        undo(list);
        QVERIFY(!items[2]->contains(key::icon));

        list.select({"a", "c"});
        inspector.useDefaultFont();
        inspector.iconExclusivityAction(false);
        QVERIFY(!items[0]->contains(key::fontName) && !items[0]->contains(key::fontSize));
        QCOMPARE(items[2]->value(key::thisIconOnly), Value::boolean(false));
        inspector.iconSelected(std::nullopt);
        QVERIFY(!items[0]->contains(key::icon));
        inspector.changeColor(std::nullopt);
        QVERIFY(!items[0]->contains(key::color));
        inspector.iconSelected(int(icons.size())); // a row past the list, which shrank: ignored
        QVERIFY(!items[0]->contains(key::icon));
    }

    void theDefaultFontIsAPreferenceNotAChangeOfTheList() {
        OpenList list{makeItem("a", {{key::fontName, "Courier"}, {key::fontSize, Value::float32(14)}}),
                      makeItem("b")};
        list.select({"a"});
        QVERIFY(!list.document.display().appearance->isDefaultFont);
        list.document.inspectorCommands().setDefaultFont(StoredFont{QStringLiteral("Courier"), 14});
        QVERIFY(userDefaultFont() == (ItemFont{QStringLiteral("Courier"), 14}));
        QVERIFY(list.document.display().appearance->isDefaultFont); // refreshed by the preference's notice
        list.select({"b"});
        QVERIFY(list.document.display().appearance->isDefaultFont); // no font of its own
        OpenList::endEvent();
        QVERIFY(!list.undo().canUndo());
        QVERIFY(!list.document.isDocumentEdited());
        list.document.inspectorCommands().setDefaultFont(std::nullopt);
        QVERIFY(!userDefaultFont().name);
    }

    void aDamagedFontSizeIsNoSize() {
        for (double size : {double(INFINITY), double(NAN), 1e30, -12.0})
            QCOMPARE(
                itemFontSettings(
                    makeItem("a", {{key::fontName, "Courier"}, {key::fontSize, Value::float32(size)}}).get())
                    .pointSize,
                0);
        QCOMPARE(itemFontSettings(
                     makeItem("a", {{key::fontName, "Courier"}, {key::fontSize, Value::float32(14.5)}}).get())
                     .pointSize,
                 14);
    }

    void theInspectorsPlaceIsSavedWithTheList() {
        OpenList list;
        InspectorCommands& inspector = list.document.inspectorCommands();
        inspector.inspectorShown(true, false); // as the window is set up: not a change
        QVERIFY(!list.document.isDocumentEdited());
        QVERIFY(inspector.tearOffInspector());
        QCOMPARE(list.root().value(key::panelInspector), Value::boolean(true));
        QCOMPARE(list.root().value(key::inspectorVisible), Value::boolean(true));
        QVERIFY(list.document.isDocumentEdited());
        QVERIFY(!inspector.tearOffInspector());
        inspector.inspectorShown(false, true);
        QCOMPARE(list.root().value(key::inspectorVisible), Value::boolean(false));
    }

    void nothingSelectedNothingChanged() {
        OpenList list{makeItem("a")};
        InspectorCommands& inspector = list.document.inspectorCommands();
        inspector.calendarViewChanged(localTime(QStringLiteral("2030-01-01 09:00:00")));
        QVERIFY(!inspector.repeatCheckboxAction(true, 0));
        inspector.reminderCheckboxAction(true);
        inspector.iconSelected(0);
        inspector.changeFont(StoredFont{QStringLiteral("Courier"), 10});
        inspector.changeColor(Rgba{});
        OpenList::endEvent();
        QVERIFY(!list.undo().canUndo());
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("[no selection]"));
        QVERIFY(!list.document.display().toolsEnabled);
    }
};

QTEST_GUILESS_MAIN(TestInspectorCommands)
#include "tst_inspector_commands.moc"
