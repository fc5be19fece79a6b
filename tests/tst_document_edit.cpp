#include "document/undo_manager.h"
#include "document_fixture.h"
#include "platform/user_defaults.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

class TestEdit : public QObject {
    Q_OBJECT
    std::unique_ptr<FixedClock> _clock;
    QDateTime _now = localTime(QStringLiteral("2024-03-10 12:00:00"));

    /// The user opens the cell's editor, types and presses Return.
    static void typeInto(OpenList& list, int row, const QString& column, const CellValue& typed) {
        list.outline().editColumn(column, row, true);
        list.outline().endEditing(typed);
    }

private slots:
    void init() {
        UserDefaults::standard().useMemoryOnly();
        _clock = std::make_unique<FixedClock>(_now);
    }
    void cleanup() { _clock.reset(); }

    void unchangedTextRecordsNothing() {
        OpenList list{makeItem("milk")};
        list.outline().editColumn(key::name, 0, true);
        const int reloads = list.outline().reloadCount();
        list.outline().endEditing(Value("milk"));
        QVERIFY(!list.document.undoManager().canUndo());
        QCOMPARE(historyMessages(*list.outline().itemAtRow(0)).size(), 1);
        QCOMPARE(list.outline().reloadCount(), reloads);
    }

    void renameThenUndo() {
        OpenList list{makeItem("milk"), makeItem("eggs")};
        list.select({1});
        typeInto(list, 0, key::name, Value("oat milk"));
        const NodePtr item = list.outline().itemAtRow(0);
        QCOMPARE(nameOf(*item), QStringLiteral("oat milk"));
        QCOMPARE(historyMessages(*item).last(), QStringLiteral("set name"));
        QCOMPARE(list.selectedNames(), QStringList{"oat milk"});
        OpenList::endEvent();
        QVERIFY(list.document.isDocumentEdited());
        QCOMPARE(list.document.undoManager().undoMenuItemTitle(), QStringLiteral("Undo set name"));

        list.select({1});
        list.document.undoManager().undo();
        QCOMPARE(nameOf(*item), QStringLiteral("milk"));
        QCOMPARE(list.selectedNames(), QStringList{"milk"});
        QVERIFY(!list.document.undoManager().canUndo());
        QVERIFY(!list.document.isDocumentEdited());
        // The history keeps what was done.
        QCOMPARE(historyMessages(*item).last(), QStringLiteral("set name"));

        typeInto(list, 0, key::name, Value(""));
        QCOMPARE(item->value(key::name), Value(""));
        QCOMPARE(historyMessages(*item).size(), 2);
        QVERIFY(list.document.undoManager().canUndo());
    }

    void completingInTheCellLogsTwiceAndHidesTheItem() {
        OpenList list{makeItem("milk"), makeItem("eggs")};
        list.document.toggleHideCompletedItems(true);
        list.select({0});
        typeInto(list, 0, key::completion, Value::real(1.0));
        QCOMPARE(historyMessages(*childrenOf(list.root())->items[0].asDict()).mid(1),
                 (QStringList{"set completion", "completed"}));
        QCOMPARE(list.rowNames(), QStringList{"eggs"});
        QVERIFY(list.selectedNames().isEmpty());
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("[no selection]"));
    }

    void anEditThatFailsTheSearchTakesTheItemOutOfView() {
        OpenList list{makeItem("milk"), makeItem("oat milk")};
        list.root().set(key::filterTerm, QStringLiteral("milk"));
        list.document.updateUI();
        typeInto(list, 0, key::name, Value("eggs"));
        QCOMPARE(list.rowNames(), QStringList{"oat milk"});
    }

    void dueCommitsClearMinderBookkeeping() {
        const Value stamp = Date{1000.0};
        const NodePtr item = makeItem("pay rent", {{key::due, "2024-04-01 09:00:00 +0200"},
                                                   {key::minderTimestampTodo, stamp},
                                                   {key::minderTimestampReminder, stamp},
                                                   {key::reminderSet, Value::boolean(true)}});
        OpenList list{item};
        const QDateTime sameDue = localTime(QStringLiteral("2024-04-01 09:00:00"));
        typeInto(list, 0, key::due, sameDue);
        QVERIFY(!item->contains(key::minderTimestampTodo));
        QVERIFY(
            item->contains(key::minderTimestampReminder)); // the reminder does not count from the due date
        QVERIFY(!list.document.undoManager().canUndo());

        item->set(key::reminderMarkDueDate, Value::boolean(true));
        typeInto(list, 0, key::due, sameDue.addDays(1));
        QVERIFY(!item->contains(key::minderTimestampReminder));
        QCOMPARE(item->value(key::due), Value("2024-04-02 09:00:00 +0200"));
        QVERIFY(list.window.sheets->shown.empty());

        // A cleared date removes "due" without a warning.
        typeInto(list, 0, key::due, std::monostate());
        QVERIFY(!item->contains(key::due));
        QVERIFY(list.window.sheets->shown.empty());
        OpenList::endEvent();
        list.document.undoManager().undo();
        QCOMPARE(item->value(key::due), Value("2024-04-01 09:00:00 +0200"));
    }

    void aDueDateNotLaterThanNowIsWarnedAboutAndStored() {
        OpenList list{makeItem("a")};
        typeInto(list, 0, key::due, _now);
        QCOMPARE(list.window.sheets->shown.size(), size_t(1));
        QCOMPARE(list.window.sheets->shown[0].title, QStringLiteral("Warning"));
        QCOMPARE(list.window.sheets->shown[0].message,
                 QStringLiteral("You have set a date due in the past."));
        QCOMPARE(list.outline().itemAtRow(0)->value(key::due), Value("2024-03-10 12:00:00 +0100"));
    }

    void theClickEndingAnEditDoesNotReopenTheCell() {
        OpenList list{makeItem("a"), makeItem("b")};
        typeInto(list, 0, key::category, Value("home"));
        list.document.outlineViewAction(1, key::name);
        QVERIFY(!list.outline().editedCell());
        FixedClock later(_now.addMSecs(999));
        list.document.outlineViewAction(1, key::name);
        QVERIFY(!list.outline().editedCell());
        FixedClock second(_now.addSecs(1));
        list.document.outlineViewAction(1, key::name);
        QCOMPARE(nameOf(*list.outline().editedCell()->item), QStringLiteral("b"));
        QCOMPARE(list.selectedNames(), QStringList{"b"});
        // Clicks outside any row or column, or on the completion column, open nothing.
        list.outline().abortEditing();
        list.document.outlineViewAction(-1, key::name);
        list.document.outlineViewAction(0, QString());
        list.document.outlineViewAction(0, key::completion);
        QVERIFY(!list.outline().editedCell());
    }

    void clicksOnNotesAndIconsReachTheirTools() {
        OpenList list{makeItem("a")};
        list.window.inspector.tool = InspectorToolColor;
        list.select({0});
        list.document.outlineViewAction(0, key::notes);
        QCOMPARE(list.window.inspector.tool, int(InspectorToolNotes));
        QCOMPARE(list.window.inspector.toggles, 1);
        list.document.outlineViewDoubleClicked(0, key::notes);
        QCOMPARE(list.window.inspector.toggles, 1);
        QCOMPARE(list.window.inspector.activations, 1);

        list.document.outlineViewDoubleClicked(0, key::icon);
        QVERIFY(VKisCompleted(*list.outline().itemAtRow(0)));
        list.outline().deselectAll();
        list.document.outlineViewDoubleClicked(0, key::icon);
        QVERIFY(VKisCompleted(*list.outline().itemAtRow(0)));
    }

    void removingChildrenRemovesExactlyThoseNodes() {
        const NodePtr item = makeItem("twin");
        const NodePtr twin = std::make_shared<Dict>(*item);
        OpenList list{item, twin};
        QVERIFY(item->equals(*twin));
        list.document.removeChildren({twin}, list.document.data());
        QCOMPARE(childrenOf(list.root())->items.size(), size_t(1));
        QCOMPARE(childrenOf(list.root())->items[0].asDict(), item);
    }

    void notesCommitFollowsTheSelection() {
        OpenList list{makeItem("a"), makeItem("b")};
        const NodePtr a = list.outline().itemAtRow(0);
        list.select({0, 1});
        list.document.textDidEndEditing(*notesData("hello").asData());
        QVERIFY(!a->contains(key::notes));
        QVERIFY(!list.document.undoManager().canUndo());

        list.select({0});
        const QByteArray hello = *notesData("hello").asData();
        list.document.textDidEndEditing(hello);
        QCOMPARE(a->value(key::notes), Value::data(hello));
        QCOMPARE(historyMessages(*a).last(), QStringLiteral("notes"));
        QCOMPARE(list.outline().lastReloadedItem(), a);
        OpenList::endEvent();

        list.document.textDidEndEditing(*notesData("").asData());
        QVERIFY(!a->contains(key::notes));
        QCOMPARE(historyMessages(*a).count(QStringLiteral("notes")), 1);
        OpenList::endEvent();
        QCOMPARE(list.document.undoManager().undoActionName(), QStringLiteral("notes"));
        list.document.undoManager().undo();
        QCOMPARE(a->value(key::notes), Value::data(hello));
    }

    void editingTheSortedColumnResortsAfterTheEdit() {
        OpenList list{makeItem("b"), makeItem("c")};
        list.document.outlineViewShouldSelectTableColumn(key::name);
        OpenList::endEvent();
        typeInto(list, 1, key::name, Value("a"));
        QCOMPARE(list.rowNames(), (QStringList{"b", "a"}));
        QVERIFY(list.document.syncingModel());
        OpenList::endEvent();
        QCOMPARE(list.rowNames(), (QStringList{"a", "b"}));
        QVERIFY(!list.document.syncingModel());
        QCOMPARE(list.selectedNames(), QStringList{"a"});

        // Notes are sorted again at once.
        list.document.outlineViewShouldSelectTableColumn(key::notes);
        OpenList::endEvent();
        list.select({1});
        list.document.textDidEndEditing(*notesData("first").asData());
        QCOMPARE(list.rowNames(), (QStringList{"b", "a"}));
    }
};

QTEST_GUILESS_MAIN(TestEdit)
#include "tst_document_edit.moc"
