#include "document/undo_manager.h"
#include "document_fixture.h"
#include "platform/user_defaults.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

class TestCommands : public QObject {
    Q_OBJECT
    std::unique_ptr<FixedClock> _clock;

    static void undo(OpenList& list) {
        OpenList::endEvent();
        list.document.undoManager().undo();
    }

private slots:
    void init() {
        UserDefaults::standard().useMemoryOnly();
        _clock = std::make_unique<FixedClock>(localTime(QStringLiteral("2024-03-10 12:00:00")));
    }
    void cleanup() { _clock.reset(); }

    void newItemsGoToTheEndOfTheTopLevel() {
        OpenList list;
        list.document.newItem();
        QCOMPARE(list.rowNames(), QStringList{"<new todo>"});
        const std::optional<HeadlessOutline::EditedCell> edited = list.outline().editedCell();
        QVERIFY(edited && edited->textSelected);
        QCOMPARE(edited->identifier, QString(key::name));
        QCOMPARE(list.outline().rowForItem(edited->item.get()), 0);
        QCOMPARE(std::get<Value>(list.document.objectValueForTableColumn(key::icon, edited->item)),
                 Value("vk_newitem"));
        list.outline().endEditing(Value("parent"));
        OpenList::endEvent();

        const NodePtr parent = list.outline().itemAtRow(0);
        appendChild(*parent, makeItem("child"));
        list.document.expandAll();
        list.select({1});
        list.document.newItem();
        QCOMPARE(childNames(list.root()), (QStringList{"parent", "<new todo>"}));
        QCOMPARE(list.document.undoManager().undoActionName(), QStringLiteral("Add Item"));
        QVERIFY(!list.document.syncingModel());
        undo(list);
        QCOMPARE(childNames(list.root()), QStringList{"parent"});
    }

    void newItemWithNameDoesNotEdit() {
        OpenList list{makeItem("a")};
        list.document.newItemWithName(QStringLiteral("from the services menu"));
        QCOMPARE(list.rowNames(), (QStringList{"a", "from the services menu"}));
        QVERIFY(!list.outline().editedCell());
        QCOMPARE(list.outline().lastScrolledRow(), 1);
        QCOMPARE(historyMessages(*list.outline().itemAtRow(1)), QStringList{"item created"});
        undo(list);
        QCOMPARE(list.rowNames(), QStringList{"a"});
    }

    void deletedItemsComeBackAtTheEndOfTheTopLevel() {
        const NodePtr parent = makeItem("parent");
        appendChild(*parent, makeItem("nested"));
        OpenList list{parent, makeItem("b"), makeItem("c"), makeItem("d")};
        list.document.expandAll();
        list.select({1, 2, 4}); // nested, b, d
        list.document.deleteItem();
        QCOMPARE(list.rowNames(), (QStringList{"parent", "c"}));
        QVERIFY(list.selectedNames().isEmpty());
        QCOMPARE(list.document.undoManager().undoActionName(), QStringLiteral("delete"));
        undo(list);
        QCOMPARE(list.rowNames(), (QStringList{"parent", "c", "nested", "b", "d"}));
        QCOMPARE(list.selectedNames(), (QStringList{"nested", "b", "d"}));
        QVERIFY(!list.document.undoManager().canUndo());

        list.outline().deselectAll();
        list.document.deleteItem();
        QCOMPARE(list.rowNames().size(), 5);
        OpenList::endEvent();
        QVERIFY(!list.document.undoManager().canUndo());
    }

    void doneTogglesEachSelectedItem() {
        OpenList list{makeItem("done", {{key::completion, Value::boolean(true)}}), makeItem("untouched"),
                      makeItem("half", {{key::completion, Value::real(0.5)}})};
        const NodePtr done = list.outline().itemAtRow(0), untouched = list.outline().itemAtRow(1),
                      half = list.outline().itemAtRow(2);
        untouched->remove(key::completion);
        list.select({0, 1, 2});
        list.document.doneItem();
        QCOMPARE(done->value(key::completion), Value::boolean(false));
        QCOMPARE(untouched->value(key::completion), Value::boolean(true));
        QCOMPARE(half->value(key::completion), Value::integer(1));
        QCOMPARE(historyMessages(*done).count(QStringLiteral("completed")), 0);
        QCOMPARE(historyMessages(*half).last(), QStringLiteral("completed"));
        QCOMPARE(list.document.undoManager().undoActionName(), QStringLiteral("set completion"));
        undo(list);
        QCOMPARE(done->value(key::completion), Value::boolean(true));
        QVERIFY(!untouched->contains(key::completion));
        QCOMPARE(half->value(key::completion), Value::real(0.5));
        QVERIFY(!list.document.undoManager().canUndo());

        list.document.toggleHideCompletedItems(true);
        list.select({0});
        list.document.doneItem();
        QVERIFY(list.selectedNames().isEmpty());
        QCOMPARE(list.rowNames(), QStringList{"half"});
    }

    void categoryFromTheInspector() {
        OpenList list{makeItem("a", {{key::category, "home"}})};
        const NodePtr item = list.outline().itemAtRow(0);
        list.select({0});
        list.document.categoryAction(QStringLiteral("home"));
        OpenList::endEvent();
        QVERIFY(!list.document.undoManager().canUndo());

        list.document.categoryAction(QString());
        QCOMPARE(item->value(key::category), Value(""));
        QCOMPARE(historyMessages(*item).size(), 1);
        OpenList::endEvent();
        list.document.categoryAction(QStringLiteral("work"));
        QCOMPARE(historyMessages(*item).last(), QStringLiteral("set category"));
        undo(list);
        QCOMPARE(item->value(key::category), Value(""));
        QCOMPARE(list.document.display().item->category, QString());
    }

    void completionFromTheInspector() {
        OpenList list{makeItem("a")};
        const NodePtr item = list.outline().itemAtRow(0);
        list.select({0});
        list.document.completionAction(ItemCommands::CompletionControl::Slider, 0.3);
        QCOMPARE(item->value(key::completion), Value::real(0.3));
        QCOMPARE(item->value(key::dateCompleted), Value("2024-03-10 12:00:00 +0100"));
        QCOMPARE(list.document.display().item->completionLabel, QStringLiteral("30%"));
        QCOMPARE(historyMessages(*item).last(), QStringLiteral("set completion"));
        OpenList::endEvent();

        list.document.completionAction(ItemCommands::CompletionControl::Checkbox, 1);
        QCOMPARE(item->value(key::completion), Value::boolean(true));
        QVERIFY(item->value(key::completion).asNumber()->type == 'c');
        undo(list);
        QCOMPARE(item->value(key::completion), Value::real(0.3));
        QVERIFY(item->contains(key::dateCompleted));
    }

    void renameOpensTheLastSelectedRow() {
        OpenList list{makeItem("a"), makeItem("b")};
        list.document.renameItem();
        QVERIFY(!list.outline().editedCell());
        list.select({1, 0});
        list.document.renameItem();
        QCOMPARE(nameOf(*list.outline().editedCell()->item), QStringLiteral("a"));
        QCOMPARE(list.selectedNames(), QStringList{"a"});
    }

    void purgeAsksFirstAndCannotBeUndone() {
        const NodePtr doneParent = makeItem("done parent", {{key::completion, Value::boolean(true)}});
        appendChild(*doneParent, makeItem("open child"));
        OpenList list{doneParent, makeItem("keep")};
        list.select({1});
        list.window.visible = false;
        list.document.purgeCompletedItems();
        QCOMPARE(list.window.shows, 1);
        QCOMPARE(list.window.sheets->shown.size(), size_t(1));
        const AlertSheet& sheet = list.window.sheets->shown[0];
        QCOMPARE(sheet.title, QStringLiteral("Please Confirm"));
        QCOMPARE(sheet.alternateButton, std::optional<QString>(QStringLiteral("Cancel")));

        list.window.sheets->answer(AlertAlternateReturn);
        QCOMPARE(childNames(list.root()), (QStringList{"done parent", "keep"}));
        QVERIFY(!list.document.isDocumentEdited());

        list.document.purgeCompletedItems();
        list.window.sheets->answer(AlertDefaultReturn);
        QCOMPARE(childNames(list.root()), QStringList{"keep"});
        QCOMPARE(list.selectedNames(), QStringList{"keep"});
        QVERIFY(list.document.isDocumentEdited());
        OpenList::endEvent();
        QVERIFY(!list.document.undoManager().canUndo());
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_document_commands.moc"
