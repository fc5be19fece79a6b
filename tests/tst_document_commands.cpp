#include "document_fixture.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

class TestCommands : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

    static void undo(OpenList& list) {
        OpenList::endEvent();
        list.undo().undo();
    }

private slots:
    void init() { _start.emplace(); }
    void cleanup() { _start.reset(); }

    void newItemsGoToTheEndOfTheTopLevel() {
        OpenList list;
        list.document.itemCommands().newItem();
        const std::optional<OpenList::EditRequest> edited = list.editRequest;
        QVERIFY(edited && edited->selectText && edited->column == Column::Name);
        QCOMPARE(edited->item, list.at({0}));
        QCOMPARE(list.selection().lastSelectedItem(), edited->item);
        QCOMPARE(std::get<Value>(list.document.cellValue(Column::Icon, edited->item)), Value("vk_newitem"));
        list.type(edited->item, Column::Name, QStringLiteral("parent"));
        OpenList::endEvent();

        list.document.edits().insert(list.at({0}), 0, {makeItem("child")});
        list.select({"child"});
        list.document.itemCommands().newItem();
        QCOMPARE(childNames(list.root()), (QStringList{"parent", "<new todo>"}));
        QCOMPARE(list.undo().undoText(), QStringLiteral("Add Item"));
        undo(list);
        QCOMPARE(childNames(list.root()), QStringList{"parent"});

        list.editRequest.reset();
        list.document.itemCommands().newItemWithName(QStringLiteral("from another program"));
        QCOMPARE(list.rowNames().constLast(), QStringLiteral("from another program"));
        QVERIFY(!list.editRequest);
        QCOMPARE(list.revealed, std::vector<NodePtr>{list.item("from another program")});
        undo(list);
        QCOMPARE(childNames(list.root()), QStringList{"parent"});
    }

    void deletedItemsComeBackInTheirOwnPlaces() {
        const NodePtr parent = makeItem("parent");
        appendChild(*parent, makeItem("first"));
        appendChild(*parent, makeItem("nested"));
        appendChild(*parent, makeItem("last"));
        const NodePtr box = makeItem("box");
        appendChild(*box, makeItem("inside"));
        OpenList list{parent, makeItem("b"), makeItem("c"), box, makeItem("d")};
        const QStringList before{"parent", "first", "nested", "last", "b", "c", "box", "inside", "d"};
        QCOMPARE(list.rowNames(), before);
        list.select({"nested", "b", "box", "inside", "d"}); // box with its own child selected too
        list.document.itemCommands().deleteItem();
        QCOMPARE(list.rowNames(), (QStringList{"parent", "first", "last", "c"}));
        QCOMPARE(list.selectedNames(), QStringList{"c"}); // none follows "d": the nearest that stays
        undo(list);
        // "inside" came back inside "box", and everything deleted is selected again.
        QCOMPARE(list.rowNames(), before);
        QCOMPARE(list.selectedNames(), (QStringList{"nested", "b", "box", "inside", "d"}));
        QVERIFY(!list.undo().canUndo());

        list.document.itemCommands().deleteItem();
        OpenList::endEvent();
        list.document.close(); // the closed list's steps are gone
        QVERIFY(!list.undo().canUndo());
    }

    void undoingADeletionSurvivesASortAndAPurge() {
        // A descending sort must not give the levels new arrays behind the undo record's back.
        const NodePtr parent = makeItem("parent");
        appendChild(*parent, makeItem("a1"));
        appendChild(*parent, makeItem("a2"));
        OpenList list{makeItem("b"), parent, makeItem("c")};
        list.select({"a1"});
        list.document.itemCommands().deleteItem();
        list.document.sorting().headerClicked(Column::Name);
        list.document.sorting().headerClicked(Column::Name); // descending
        QCOMPARE(list.rowNames(), (QStringList{"parent", "a2", "c", "b"}));
        undo(list);
        QCOMPARE(list.rowNames(), (QStringList{"parent", "a1", "a2", "c", "b"}));
        QCOMPARE(list.selectedNames(), QStringList{"a1"});

        // An item whose parent was purged since comes back at the end of the top level.
        list.select({"a2"});
        list.document.itemCommands().deleteItem();
        parent->set(key::completion, Value::boolean(true));
        list.document.itemCommands().purgeAnswered(MessageAnswer{MessageRole::Accept});
        QCOMPARE(list.rowNames(), (QStringList{"c", "b"}));
        undo(list);
        QCOMPARE(list.rowNames(), (QStringList{"c", "b", "a2"}));
    }

    void theListIsEditedWheneverItDiffersFromWhatWasSaved() {
        QTemporaryDir folder;
        const QString path = folder.filePath("list.todo");
        OpenList list{makeItem("a"), makeItem("b", {{key::completion, Value::boolean(true)}})};
        const auto rename = [&](const char* name) {
            list.type(list.at({0}), Column::Name, QString::fromLatin1(name));
            OpenList::endEvent();
        };
        const auto save = [&] {
            QString error;
            QVERIFY2(list.document.writeToFile(path, &error), qPrintable(error));
        };
        rename("renamed");
        save();
        QVERIFY(!list.document.isDocumentEdited());
        // A change without undo, then undoing the change saved before it: both are unsaved.
        list.document.outlineCommands().toggleHideCompletedItems(true);
        undo(list);
        QCOMPARE(nameOf(*list.at({0})), QStringLiteral("a"));
        QVERIFY(list.document.isDocumentEdited());
        save();
        QVERIFY(!list.document.isDocumentEdited());
        // Changed and changed back by undo: as saved.
        rename("again");
        QVERIFY(list.document.isDocumentEdited());
        undo(list);
        QVERIFY(!list.document.isDocumentEdited());
        // The purge has no undo: undoing the change before it brings the steps back to the save, not
        // the list.
        rename("purged after");
        list.document.itemCommands().purgeAnswered(MessageAnswer{MessageRole::Accept});
        undo(list);
        QVERIFY(list.undo().isClean());
        QVERIFY(list.document.isDocumentEdited());
        save();
        // Undoing past the save point is a change too.
        rename("saved");
        save();
        undo(list);
        QVERIFY(list.document.isDocumentEdited());
    }

    void aDescendingSortKeepsTiesInPlace() {
        OpenList list{makeItem("same", {{key::category, "1"}}), makeItem("other"),
                      makeItem("same", {{key::category, "2"}}), makeItem("same", {{key::category, "3"}})};
        const ArrayPtr level = childrenOf(*list.document.data());
        list.document.sorting().headerClicked(Column::Name);
        list.document.sorting().headerClicked(Column::Name);
        const QStringList once = list.rowCategories();
        QCOMPARE(list.rowNames(), (QStringList{"same", "same", "same", "other"}));
        QCOMPARE(once, (QStringList{"1", "2", "3", ""}));
        list.document.sorting().sortUpdate(); // sorting an unchanged list again moves nothing
        QCOMPARE(list.rowCategories(), once);
        QCOMPARE(childrenOf(*list.document.data()), level); // the level kept its array
    }

    void doneTogglesEachSelectedItem() {
        OpenList list{makeItem("done", {{key::completion, Value::boolean(true)}}), makeItem("untouched"),
                      makeItem("half", {{key::completion, Value::float32(0.5)}})};
        const NodePtr done = list.at({0}), untouched = list.at({1}), half = list.at({2});
        untouched->remove(key::completion);
        list.select({"done", "untouched", "half"});
        list.document.itemCommands().doneItem();
        QCOMPARE(done->value(key::completion), Value::boolean(false));
        QCOMPARE(untouched->value(key::completion), Value::boolean(true));
        QCOMPARE(half->value(key::completion), Value::integer(1));
        QCOMPARE(historyMessages(*done).count("completed"), 0);
        QCOMPARE(historyMessages(*half).constLast(), QStringLiteral("completed"));
        QCOMPARE(list.undo().undoText(), QStringLiteral("set completion"));
        undo(list);
        QCOMPARE(done->value(key::completion), Value::boolean(true));
        QVERIFY(!untouched->contains(key::completion));
        QCOMPARE(half->value(key::completion), Value::float32(0.5));

        list.document.outlineCommands().toggleHideCompletedItems(true);
        list.select({"untouched"});
        list.document.itemCommands().doneItem();
        QVERIFY(list.selectedNames().isEmpty());
        QCOMPARE(list.rowNames(), QStringList{"half"});
    }

    void categoryAndCompletionFromTheInspector() {
        OpenList list{makeItem("a", {{key::category, "home"}})};
        const NodePtr item = list.at({0});
        list.select({"a"});
        list.document.itemCommands().categoryAction(QStringLiteral("home"));
        OpenList::endEvent();
        QVERIFY(!list.undo().canUndo());
        list.document.itemCommands().categoryAction(QString());
        QCOMPARE(item->value(key::category), Value(""));
        QCOMPARE(historyMessages(*item).size(), 1);
        undo(list);
        QCOMPARE(list.document.display().item->category, QStringLiteral("home"));

        list.document.itemCommands().completionAction(ItemCommands::CompletionControl::Slider, 0.3);
        QCOMPARE(item->value(key::completion), Value::float32(0.3));
        QCOMPARE(item->value(key::dateCompleted), Value("2024-03-10 12:00:00 +0100"));
        QCOMPARE(list.document.display().item->completionLabel, QStringLiteral("30%"));
        QCOMPARE(historyMessages(*item).constLast(), QStringLiteral("set completion"));
        OpenList::endEvent();
        list.document.itemCommands().completionAction(ItemCommands::CompletionControl::Checkbox, 1);
        QCOMPARE(item->value(key::completion).asNumber()->type, 'c');
        undo(list);
        QCOMPARE(item->value(key::completion), Value::float32(0.3));
    }

    void purgeAsksFirstAndCannotBeUndone() {
        const NodePtr doneParent = makeItem("done parent", {{key::completion, Value::boolean(true)}});
        appendChild(*doneParent, makeItem("open child"));
        OpenList list{doneParent, makeItem("keep")};
        list.select({"keep"});
        list.window.visible = false;
        list.document.itemCommands().purgeCompletedItems();
        QCOMPARE(list.window.shows, 1);
        QCOMPARE(list.window.messages.shown.at(0).title, QStringLiteral("Please Confirm"));
        list.window.messages.answer(MessageAnswer{MessageRole::Reject});
        QCOMPARE(childNames(list.root()), (QStringList{"done parent", "keep"}));
        QVERIFY(!list.document.isDocumentEdited());

        list.document.itemCommands().purgeCompletedItems();
        list.window.messages.answer(MessageAnswer{MessageRole::Accept});
        QCOMPARE(childNames(list.root()), QStringList{"keep"});
        QCOMPARE(list.selectedNames(), QStringList{"keep"});
        QVERIFY(list.document.isDocumentEdited());
        OpenList::endEvent();
        QVERIFY(!list.undo().canUndo());
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_document_commands.moc"
