#include "document_fixture.h"

#include "document/item_transfer.h"
#include "outline/outline_item_model.h"

#include <QMimeData>
#include <QPersistentModelIndex>
#include <QRandomGenerator>
#include <QSignalSpy>

using namespace tardigo;
using namespace tardigo::test;

namespace {

/// The items the model shows, depth first, as the names of their rows.
QStringList shownNames(const OutlineItemModel& model, const QModelIndex& parent = {}) {
    QStringList names;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        names << nameOf(*model.itemForIndex(index));
        names << shownNames(model, index);
    }
    return names;
}

/// Every item the model shows, depth first.
std::vector<NodePtr> shownItems(const OutlineItemModel& model, const QModelIndex& parent = {}) {
    std::vector<NodePtr> items;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        items.push_back(model.itemForIndex(index));
        const std::vector<NodePtr> below = shownItems(model, index);
        items.insert(items.end(), below.begin(), below.end());
    }
    return items;
}

/// Counts what the model told its views.
struct Told {
    explicit Told(const OutlineItemModel& model)
        : inserted(&model, &QAbstractItemModel::rowsInserted),
          removed(&model, &QAbstractItemModel::rowsRemoved), moved(&model, &QAbstractItemModel::rowsMoved),
          layouts(&model, &QAbstractItemModel::layoutChanged),
          resets(&model, &QAbstractItemModel::modelReset) {}
    QSignalSpy inserted, removed, moved, layouts, resets;
    void clear() {
        for (QSignalSpy* spy : {&inserted, &removed, &moved, &layouts, &resets})
            spy->clear();
    }
};

} // namespace

class TestOutlineItemModel : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

private slots:
    void init() { _start.emplace(); }
    void cleanup() { _start.reset(); }

    void fewChangesAreToldAsRowsAndIndexesFollowTheirItems() {
        const NodePtr project = makeItem("project");
        appendChild(*project, makeItem("step"));
        OpenList list{makeItem("a"), project, makeItem("b", {{key::completion, Value::boolean(true)}})};
        OutlineItemModel& model = list.document.outlineModel();
        const QPersistentModelIndex projectRow = model.indexOfItem(project.get(), 1);
        const QPersistentModelIndex stepRow = model.index(0, 0, projectRow.sibling(projectRow.row(), 0));
        QCOMPARE(model.itemForIndex(stepRow), childAt(*childrenOf(*project), 0));
        Told told(model);

        list.document.itemCommands().newItemWithName("c");
        QCOMPARE(told.inserted.count(), 1);
        QCOMPARE(told.inserted.first().at(1).toInt(), 3);
        OpenList::endEvent();

        // A move keeps the row's indexes, and those of the rows inside it.
        list.selection().selectItems({project});
        list.document.shaping().moveItemsUp();
        QCOMPARE(told.moved.count(), 1);
        QCOMPARE(shownNames(model), (QStringList{"project", "step", "a", "b", "c"}));
        QCOMPARE(projectRow.row(), 0);
        QCOMPARE(projectRow.column(), 1);
        QCOMPARE(model.itemForIndex(projectRow), project);
        QCOMPARE(model.itemForIndex(stepRow.parent()), project);
        OpenList::endEvent();

        // Undoing the move reshapes the list in one layout change; the indexes still follow.
        told.clear();
        list.undo().undo();
        QCOMPARE(shownNames(model), (QStringList{"a", "project", "step", "b", "c"}));
        QCOMPARE(told.inserted.count() + told.removed.count() + told.resets.count(), 0);
        QCOMPARE(model.itemForIndex(projectRow), project);
        QCOMPARE(projectRow.row(), 1);

        // One item hidden is one row removed; a sort is one layout change.
        told.clear();
        list.document.outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(told.removed.count(), 1);
        QCOMPARE(shownNames(model), (QStringList{"a", "project", "step", "c"}));
        list.document.sorting().headerClicked(Column::Name);
        QCOMPARE(told.layouts.count(), 1);
        QCOMPARE(shownNames(model), (QStringList{"a", "c", "project", "step"}));
        QCOMPARE(model.itemForIndex(stepRow), childAt(*childrenOf(*project), 0));
        QCOMPARE(told.resets.count(), 0);
    }

    void manyChangesAreOneLayoutChange() {
        std::vector<NodePtr> items;
        for (int i = 0; i < 60; ++i)
            items.push_back(
                makeItem(QStringLiteral("item %1").arg(i), {{key::completion, Value::boolean(i % 2 == 0)}}));
        OpenList list(items);
        OutlineItemModel& model = list.document.outlineModel();
        const QPersistentModelIndex kept = model.indexOfItem(items[1].get());
        const QPersistentModelIndex hidden = model.indexOfItem(items[2].get());
        Told told(model);
        list.document.outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(told.layouts.count(), 1);
        QCOMPARE(told.removed.count(), 0);
        QCOMPARE(model.rowCount(), 30);
        QCOMPARE(model.itemForIndex(kept), items[1]);
        QCOMPARE(kept.row(), 0);
        QVERIFY(!hidden.isValid());

        // Deleting them all at once, and bringing them back, is one layout change each.
        told.clear();
        list.selection().selectItems(shownItems(model));
        list.document.itemCommands().deleteItem();
        QCOMPARE(model.rowCount(), 0);
        OpenList::endEvent();
        list.undo().undo();
        QCOMPARE(model.rowCount(), 30);
        QCOMPARE(told.layouts.count(), 2);
        QCOMPARE(told.inserted.count() + told.removed.count(), 0);
    }

    void anIndexFromBeforeAChangeReachesNoOtherItem() {
        OpenList list{makeItem("a"), makeItem("b")};
        OutlineItemModel& model = list.document.outlineModel();
        const QModelIndex oldB = model.index(1, 1);
        QCOMPARE(model.itemForIndex(oldB), list.at({1}));
        list.selection().selectItems({list.at({1})});
        list.document.itemCommands().deleteItem();
        // New items take the places the deleted ones held in the model, never their indexes.
        list.document.itemCommands().newItemWithName("c");
        list.document.itemCommands().newItemWithName("d");
        QVERIFY(!model.itemForIndex(oldB));
        QVERIFY(!model.parent(oldB).isValid());
        QCOMPARE(model.rowCount(oldB.siblingAtColumn(0)), 0);
        QVERIFY(!model.setData(oldB, QStringLiteral("renamed")));
        QCOMPARE(childNames(list.root()), (QStringList{"a", "c", "d"}));

        // A row the filters hide is out of reach as well, and so is every row of a tree read anew.
        const QModelIndex oldA = model.index(0, 1);
        list.document.setSearchText("d");
        QVERIFY(!model.setData(oldA, QStringLiteral("renamed")));
        list.document.setSearchText(QString());
        QVERIFY(model.setData(oldA, QStringLiteral("renamed")));
        const QModelIndex before = model.index(0, 1);
        emit list.document.dataReplaced();
        QVERIFY(!model.itemForIndex(before));
        QCOMPARE(shownNames(model), (QStringList{"renamed", "c", "d"}));
    }

    void everySearchShowsWhatAFreshOneWould() {
        // Letters typed one at a time and taken back, with completed items hidden or not, a change
        // of the list between: each time the model shows the list as the search and the filter say.
        QRandomGenerator random(4711);
        const auto word = [&random] {
            QString text;
            for (int i = random.bounded(1, 4); i > 0; --i)
                text += QChar(u"abé"[random.bounded(3)]);
            return text;
        };
        std::vector<NodePtr> top;
        std::vector<NodePtr> parents;
        for (int i = 0; i < 300; ++i) {
            const NodePtr item =
                makeItem(word() + u' ' + word(), {{key::completion, Value::boolean(i % 5 == 0)}});
            if (random.bounded(5) == 0)
                item->set(key::notes, notesData(word()));
            if (parents.empty() || random.bounded(3) == 0)
                top.push_back(item);
            else
                appendChild(*parents[size_t(random.bounded(int(parents.size())))], item);
            if (parents.size() < 40)
                parents.push_back(item);
        }
        OpenList list(top);
        QString typed;
        for (int step = 0; step < 120; ++step) {
            const int choice = random.bounded(10);
            if (choice < 5 || typed.isEmpty())
                typed += QChar(u"abé "[random.bounded(4)]);
            else if (choice < 8)
                typed.chop(1);
            else if (choice == 8)
                list.document.outlineCommands().toggleHideCompletedItems(random.bounded(2));
            else
                list.document.setCellValue(Value(word()), Column::Name, parents[size_t(random.bounded(40))]);
            list.document.setSearchText(typed);
            const QString difference = outlineDifference(list.document);
            QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("\"%1\": %2").arg(typed, difference)));
        }
    }

    void aLongRandomRunOfCommandsKeepsTheModelTheList() {
        std::vector<NodePtr> items;
        for (int i = 0; i < 20; ++i) {
            const NodePtr parent =
                makeItem(QStringLiteral("p%1").arg(i), {{key::completion, Value::boolean(i % 3 == 0)}});
            appendChild(*parent,
                        makeItem(QStringLiteral("p%1 a").arg(i), {{key::completion, Value::boolean(i % 2)}}));
            appendChild(*parent, makeItem(QStringLiteral("p%1 b").arg(i)));
            items.push_back(parent);
        }
        OpenList list(items);
        TardigoDocument& document = list.document;
        const OutlineItemModel& model = document.outlineModel();
        QRandomGenerator random(20261207);
        int made = 0;
        for (int step = 0; step < 500; ++step) {
            const std::vector<NodePtr> shown = shownItems(model);
            std::vector<NodePtr> chosen;
            for (int i = random.bounded(1, 4); i > 0 && !shown.empty(); --i)
                chosen.push_back(shown[size_t(random.bounded(int(shown.size())))]);
            list.selection().selectItems(chosen);
            QString command;
            switch (random.bounded(15)) {
            case 0:
                command = "new";
                document.itemCommands().newItemWithName(QStringLiteral("n%1").arg(made++));
                break;
            case 1:
                command = "new child";
                document.shaping().newChildItem();
                break;
            case 2:
                command = "delete";
                document.itemCommands().deleteItem();
                break;
            case 3:
                command = "done";
                document.itemCommands().doneItem();
                break;
            case 4:
                command = "indent";
                document.shaping().indentItems();
                break;
            case 5:
                command = "outdent";
                document.shaping().outdentItems();
                break;
            case 6:
                command = "up";
                document.shaping().moveItemsUp();
                break;
            case 7:
                command = "down";
                document.shaping().moveItemsDown();
                break;
            case 8: {
                command = "drop";
                const NodePtr target =
                    shown.empty() ? nullptr : shown[size_t(random.bounded(int(shown.size())))];
                document.shaping().moveItems(document.shaping().withoutNestedItems(chosen),
                                             random.bounded(2) ? target : nullptr, nullptr);
                break;
            }
            case 9:
                command = "sort";
                document.sorting().headerClicked(random.bounded(2) ? Column::Name : Column::Completion);
                break;
            case 10:
                command = "hide";
                document.outlineCommands().toggleHideCompletedItems(random.bounded(2));
                break;
            case 11:
                command = "undo";
                if (document.undoStack().canUndo())
                    document.undoStack().undo();
                break;
            case 12:
                command = "redo";
                if (document.undoStack().canRedo())
                    document.undoStack().redo();
                break;
            case 13: {
                command = "paste";
                if (const std::unique_ptr<QMimeData> copied = document.transfer().copyItems())
                    document.transfer().pasteItems(*copied);
                break;
            }
            default:
                command = "search";
                document.setSearchText(random.bounded(3) ? QString() : QStringLiteral("p1"));
            }
            OpenList::endEvent(); // the user's event ends, and its undo step with it
            const QString difference = outlineDifference(document);
            QVERIFY2(
                difference.isEmpty(),
                qPrintable(QStringLiteral("after %1 at step %2: %3").arg(command).arg(step).arg(difference)));
        }
    }
};

QTEST_GUILESS_MAIN(TestOutlineItemModel)
#include "tst_outline_item_model.moc"
