#include "document_fixture.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

class TestEdit : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;
    const QDateTime _now = localTime(QStringLiteral("2024-03-10 12:00:00"));

private slots:
    void init() { _start.emplace(_now); }
    void cleanup() { _start.reset(); }

    void renameUndoAndTheUnchangedEdit() {
        OpenList list{makeItem("milk"), makeItem("eggs")};
        const NodePtr milk = list.at({0});
        list.select({"milk"});
        const int renders = list.window.renders;
        list.type(milk, Column::Name, QStringLiteral("milk"));
        QCOMPARE(list.window.renders, renders);
        QVERIFY(!list.undo().canUndo());

        list.type(milk, Column::Name, QStringLiteral("oat milk"));
        QCOMPARE(historyMessages(*milk).constLast(), QStringLiteral("set name"));
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("oat milk"));
        OpenList::endEvent();
        QCOMPARE(list.undo().undoText(), QStringLiteral("set name"));
        list.select({"eggs"});
        list.undo().undo();
        QCOMPARE(nameOf(*milk), QStringLiteral("milk"));
        QCOMPARE(list.selectedNames(), QStringList{"milk"});
        QVERIFY(!list.undo().canUndo());
        QVERIFY(!list.document.isDocumentEdited());

        // A name left blank is refused: the item keeps its name and the status line says why.
        list.type(milk, Column::Name, QStringLiteral(" "));
        QCOMPARE(milk->value(key::name), Value("milk"));
        QVERIFY(!list.undo().canUndo());
        OpenList::endEvent();
        QCOMPARE(list.window.statusText,
                 QStringLiteral("An item’s name cannot be empty, so it stays “milk”."));
    }

    void completingInTheCellLogsTwiceAndHidesTheItem() {
        OpenList list{makeItem("milk"), makeItem("eggs")};
        const NodePtr milk = list.at({0});
        list.document.outlineCommands().toggleHideCompletedItems(true);
        list.select({"milk"});
        list.type(milk, Column::Completion, 1.0);
        QCOMPARE(historyMessages(*milk).mid(1), (QStringList{"set completion", "completed"}));
        QCOMPARE(list.rowNames(), QStringList{"eggs"});
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("[no selection]"));
    }

    void anEditThatFailsTheSearchTakesTheItemOutOfView() {
        OpenList list({makeItem("milk"), makeItem("oat milk")},
                      [](Dict& root) { root.set(key::filterTerm, "milk"); });
        list.type(list.at({0}), Column::Name, QStringLiteral("eggs"));
        QCOMPARE(list.rowNames(), QStringList{"oat milk"});
    }

    void dueDates() {
        const Value stamp = Date{1000.0};
        const NodePtr item = makeItem("rent", {{key::due, "2024-04-01 09:00:00 +0200"},
                                               {key::minderTimestampTodo, stamp},
                                               {key::minderTimestampReminder, stamp},
                                               {key::reminderSet, Value::boolean(true)}});
        OpenList list{item};
        const QDateTime due = localTime(QStringLiteral("2024-04-01 09:00:00"));
        list.type(item, Column::Due, due); // unchanged, yet the minder announces it afresh
        QVERIFY(!item->contains(key::minderTimestampTodo));
        QVERIFY(
            item->contains(key::minderTimestampReminder)); // the reminder does not count from the due date
        QVERIFY(!list.undo().canUndo());

        item->set(key::reminderMarkDueDate, Value::boolean(true));
        list.type(item, Column::Due, due.addDays(1));
        QVERIFY(!item->contains(key::minderTimestampReminder));
        QCOMPARE(item->value(key::due), Value("2024-04-02 09:00:00 +0200"));
        list.type(item, Column::Due, QDateTime()); // cleared: removed without a warning
        QVERIFY(!item->contains(key::due));
        QVERIFY(list.window.messages.shown.empty());
        OpenList::endEvent();
        list.undo().undo();
        QCOMPARE(item->value(key::due), Value("2024-04-01 09:00:00 +0200"));

        list.type(item, Column::Due, _now); // this very second is already past
        QCOMPARE(list.window.messages.shown.size(), size_t(1));
        QCOMPARE(list.window.messages.shown[0].text, QStringLiteral("You have set a date due in the past."));
        QCOMPARE(item->value(key::due), Value("2024-03-10 12:00:00 +0100"));
    }

    void onlyTheClickEndingAnEditOnTheSameCellIsSwallowed() {
        OpenList list{makeItem("a"), makeItem("b")};
        CellEditCommit& clicks = list.document.cellEdits();
        const NodePtr a = list.at({0}), b = list.at({1});
        // The user types into the cell the document asked to open, and presses Return.
        const auto typeAndReturn = [&list](const QVariant& typed) {
            const OpenList::EditRequest edited = *std::exchange(list.editRequest, std::nullopt);
            list.type(edited.item, edited.column, typed);
        };
        // Dates set row by row at a normal pace: each click opens the next cell at once.
        list.type(a, Column::Due, _now.addDays(1));
        FixedClock soon(_now.addMSecs(300));
        clicks.handleClick(b, Column::Due, false); // a row not yet selected is only selected
        QVERIFY(!list.editRequest);
        clicks.handleClick(b, Column::Due, true);
        QVERIFY(list.editRequest);
        QCOMPARE(list.editRequest->item, b);
        typeAndReturn(_now.addDays(2));
        clicks.handleClick(a, Column::Category, true);
        QVERIFY(list.editRequest);
        QCOMPARE(list.editRequest->item, a);

        // The click that ends a category edit lands on the same cell and does not open it again;
        // the next one does.
        typeAndReturn(QStringLiteral("home"));
        clicks.handleClick(a, Column::Category, true);
        QVERIFY(!list.editRequest);
        clicks.handleClick(a, Column::Category, true);
        QVERIFY(list.editRequest);
        QCOMPARE(list.editRequest->column, Column::Category);
        list.editRequest.reset();

        for (const auto& [item, column] :
             {std::pair{NodePtr(), std::optional(Column::Name)}, {a, std::nullopt}, {a, Column::Completion}})
            clicks.handleClick(item, column, true);
        QVERIFY(!list.editRequest);
    }

    void aTypedDateThatIsNoDateChangesNothing() {
        const NodePtr rent = makeItem("rent", {{key::due, "2026-12-24 09:00:00 +0100"}});
        OpenList list{rent};
        QVERIFY(!list.document.setDueDateText("25/13/2026", rent));
        QCOMPARE(rent->value(key::due), Value("2026-12-24 09:00:00 +0100"));
        QVERIFY(!list.undo().canUndo());
        OpenList::endEvent(); // told after the key or click that ended the edit
        QVERIFY2(list.window.statusText.startsWith("“25/13/2026” is not a date"),
                 qPrintable(list.window.statusText));

        QVERIFY(list.document.setDueDateText("2026-12-25 14:30", rent));
        QCOMPARE(rent->value(key::due), Value("2026-12-25 14:30:00 +0100"));
        OpenList::endEvent();
        QVERIFY(list.document.setDueDateText(" ", rent)); // an empty cell still clears it
        QVERIFY(!rent->contains(key::due));
        OpenList::endEvent();
        list.undo().undo();
        QCOMPARE(rent->value(key::due), Value("2026-12-25 14:30:00 +0100"));
    }

    void aDayTypedAloneIsDueAtItsEndAndNotYetPast() {
        const NodePtr rent = makeItem("rent");
        OpenList list{rent};
        QVERIFY(list.document.setDueDateText("today", rent));
        QCOMPARE(rent->value(key::due), Value("2024-03-10 23:59:00 +0100"));
        QVERIFY(list.window.messages.shown.empty());
        QVERIFY(list.document.setDueDateText("today 11:59", rent)); // a time of today that has passed
        QCOMPARE(list.window.messages.shown.size(), size_t(1));
    }

    void clicksOnNotesAndIcons() {
        OpenList list{makeItem("a")};
        list.window.inspector.tool = InspectorToolColor;
        const NodePtr a = list.at({0});
        list.select({"a"});
        list.document.cellEdits().handleClick(a, Column::Notes, false);
        QCOMPARE(list.window.inspector.tool, int(InspectorToolNotes));
        QCOMPARE(list.window.inspector.toggles, 1);
        list.document.cellEdits().handleDoubleClick(a, Column::Notes); // already showing: brought forward
        QCOMPARE(list.window.inspector.activations, 1);
        list.document.cellEdits().handleDoubleClick(a, Column::Icon);
        QVERIFY(isCompleted(*a));
    }

    void removingChildrenRemovesExactlyThoseNodes() {
        const NodePtr item = makeItem("twin"), twin = std::make_shared<Dict>(*item);
        OpenList list{item, twin};
        list.document.restoring().putBack({{list.document.data(), 1, twin, {}}}, {});
        QCOMPARE(childrenOf(list.root())->items.size(), size_t(1));
        QCOMPARE(childrenOf(list.root())->items[0].asDict(), item); // the very node, not just an equal one
    }

    void notesCommits() {
        OpenList list{makeItem("a"), makeItem("b")};
        const NodePtr a = list.at({0}), b = list.at({1});
        const QByteArray hello = notesBytes("hello");
        QSignalSpy changes(&list.document, &TardigoDocument::itemChanged);
        // The notes go to the item they were typed for, wherever the selection went since.
        list.select({"b"});
        list.document.cellEdits().commitNotes(a, hello);
        QCOMPARE(a->value(key::notes), Value::data(hello));
        QVERIFY(!b->contains(key::notes));
        QCOMPARE(historyMessages(*a).constLast(), QStringLiteral("notes"));
        QCOMPARE(changes.last().at(0).value<NodePtr>(), a);
        OpenList::endEvent();
        list.document.cellEdits().commitNotes(a, notesBytes(""));
        QVERIFY(!a->contains(key::notes));
        QCOMPARE(historyMessages(*a).count("notes"), 1);
        OpenList::endEvent();
        list.undo().undo();
        QCOMPARE(a->value(key::notes), Value::data(hello));

        // Nothing is stored while the document refreshes, nor in an item the list no longer holds.
        {
            const TardigoDocument::SyncingModel syncing(list.document);
            list.document.cellEdits().commitNotes(b, hello);
        }
        list.select({"b"});
        list.document.itemCommands().deleteItem();
        list.document.cellEdits().commitNotes(b, hello);
        QVERIFY(!b->contains(key::notes));
    }

    void editsOfTheSortedColumnSortAgain() {
        OpenList list{makeItem("b"), makeItem("c")};
        list.document.sorting().headerClicked(Column::Name);
        OpenList::endEvent();
        list.select({"c"});
        list.type(list.item("c"), Column::Name, QStringLiteral("a"));
        QCOMPARE(list.rowNames(), (QStringList{"b", "a"})); // once the edit has ended
        QVERIFY(list.document.syncingModel());
        OpenList::endEvent();
        QCOMPARE(list.rowNames(), (QStringList{"a", "b"}));
        QVERIFY(!list.document.syncingModel());
        QCOMPARE(list.selectedNames(), QStringList{"a"});

        list.document.sorting().headerClicked(Column::Notes);
        OpenList::endEvent();
        list.document.cellEdits().commitNotes(list.at({1}), notesBytes("first")); // sorted at once
        QCOMPARE(list.rowNames(), (QStringList{"b", "a"}));
    }
};

QTEST_GUILESS_MAIN(TestEdit)
#include "tst_document_edit.moc"
