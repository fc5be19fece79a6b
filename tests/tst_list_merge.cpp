#include "document_fixture.h"
#include "merge/list_merge.h"
#include "model/item_walk.h"
#include "model/tree_operations.h"

#include <QRegularExpression>
#include <QTemporaryDir>

using namespace tardigo;
using namespace tardigo::test;

namespace {

/// A tree of new items written as their names, children in brackets: "A[A1 A2] B".
NodePtr listOf(const QString& shape) {
    const NodePtr root = newListRoot();
    std::vector<NodePtr> parents{root};
    NodePtr last;
    static const QRegularExpression token(QStringLiteral("\\[|\\]|[^\\s\\[\\]]+"));
    for (const QRegularExpressionMatch& match : token.globalMatch(shape)) {
        const QString word = match.captured();
        if (word == u"[") {
            parents.push_back(last);
        } else if (word == u"]") {
            parents.pop_back();
        } else {
            last = makeItem(word);
            appendChild(*parents.back(), last);
        }
    }
    return root;
}

/// The tree as its names, as listOf reads them.
QString shape(const Dict& node) {
    QStringList parts;
    for (const Value& child : childrenOf(node)->items) {
        const NodePtr item = child.asDict();
        const ArrayPtr children = childrenOf(*item);
        parts << nameOf(*item) +
                     (children && !children->items.empty() ? u'[' + shape(*item) + u']' : QString());
    }
    return parts.join(u' ');
}

NodePtr named(const NodePtr& root, const QString& name) {
    NodePtr found;
    forEachItemBelow(*root, [&](const NodePtr& item, const Dict&, qsizetype) {
        if (!found && nameOf(*item) == name)
            found = item;
    });
    return found;
}

void drop(const NodePtr& root, const QString& name) {
    deleteItemFromTree(root, named(root, name).get());
}

/// Moves the item to the place under the parent (the top level when empty).
void move(const NodePtr& root, const QString& name, const QString& parent, qsizetype place) {
    const NodePtr item = named(root, name);
    drop(root, name);
    std::vector<Value>& children = childrenOf(*(parent.isEmpty() ? root : named(root, parent)))->items;
    children.insert(children.begin() + place, item);
}

/// A list as this program read it, the base taken then, and the other program's copy of the file.
struct Versions {
    /// `read` is what the list held before it was read, then copied.
    explicit Versions(const QString& list, const std::function<void(const NodePtr&)>& read = {})
        : ours(listOf(list)) {
        if (read)
            read(ours);
        base = ListBase(*ours);
        theirs = ours->deepCopy();
    }
    NodePtr ours;
    ListBase base;
    NodePtr theirs;

    /// Merges theirs into ours and makes the changes, as the document makes them; their version is
    /// the base from then on.
    ListMerge merge() {
        ListMerge merge = mergeLists(base, ours, theirs);
        for (const NodeContent& change : merge.changes)
            change.node->entries = change.entries;
        base = merge.base;
        return merge;
    }
};

Value stampAt(double seconds) {
    return Date{seconds};
}

} // namespace

// Merging what another program saved into the list being edited: each side's changes since the
// list was read or saved here, found item by item.
class TestListMerge : public QObject {
    Q_OBJECT

    QTemporaryDir _files;

    /// The document reads the list from its file, which holds the items given.
    QString openList(TardigoDocument& document, const QString& list) {
        const QString path = writeFile(list);
        QString error;
        if (!document.readFromFile(path, &error))
            qFatal("%s", qPrintable(error));
        return path;
    }
    /// The list file written as this program saves it, the items below.
    QString writeFile(const QString& list) {
        const QString path = _files.filePath(QStringLiteral("list.todo"));
        const NodePtr root = listOf(list);
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        if (const QString error = writeListFile(path, root); !error.isEmpty())
            qFatal("%s", qPrintable(error));
        return path;
    }
    /// Another program reads the file, changes it and saves it.
    static void changeFile(const QString& path, const std::function<void(const NodePtr&)>& change) {
        const ListLoad load = readListFile(path);
        QVERIFY(load.ok());
        change(load.root);
        QCOMPARE(writeListFile(path, load.root), QString());
    }

private slots:
    void initTestCase() { QVERIFY(_files.isValid()); }

    void eachSideKeepsWhatItAddedChangedAndRemoved() {
        const DocumentTestStart start;
        Versions lists(QStringLiteral("A B[B1] C D"));
        named(lists.ours, "A")->set(key::category, "work");
        appendChild(*lists.ours, makeItem("new-here"));
        drop(lists.ours, "D");
        named(lists.theirs, "C")->set(key::category, "home");
        move(lists.theirs, "B1", "C", 0);
        childrenOf(*lists.theirs)
            ->items.insert(childrenOf(*lists.theirs)->items.begin(), makeItem("new-there"));

        const ListMerge merge = lists.merge();
        QVERIFY(merge.ok());
        QCOMPARE(shape(*lists.ours), QStringLiteral("new-there A B C[B1] new-here"));
        QCOMPARE(stringOf(*named(lists.ours, "A"), key::category), QStringLiteral("work"));
        QCOMPARE(stringOf(*named(lists.ours, "C"), key::category), QStringLiteral("home"));
        // The item added at the top moved none of the others.
        QCOMPARE(merge.changedHere, 3);
        QCOMPARE(merge.changedThere, 3);
        QVERIFY(merge.conflicts.isEmpty());
    }

    void anItemRemovedOnOneSideAndChangedOnTheOtherStays() {
        const DocumentTestStart start;
        Versions lists(QStringLiteral("P[P1 P2] Q R S[S1 S2]"));
        // Here: P goes with its children, and R changes.
        drop(lists.ours, "P");
        named(lists.ours, "R")->set(key::category, "kept");
        named(lists.ours, "S1")->set(key::category, "kept");
        // There: P1 changes, R goes, and S goes with its children.
        named(lists.theirs, "P1")->set(key::category, "kept");
        drop(lists.theirs, "R");
        drop(lists.theirs, "S");

        const ListMerge merge = lists.merge();
        // S1, changed here, takes the place of its parent; P1, changed there, comes back.
        QCOMPARE(shape(*lists.ours), QStringLiteral("P1 Q R S1"));
        QCOMPARE(stringOf(*named(lists.ours, "P1"), key::category), QStringLiteral("kept"));
        QCOMPARE(merge.changedHere, 5);
        QCOMPARE(merge.changedThere, 5);
    }

    void anItemChangedOnBothSidesKeepsAConflictCopyOfTheFilesVersion() {
        const DocumentTestStart start;
        Versions lists(QStringLiteral("A[A1] B C"),
                       [](const NodePtr& list) { named(list, "A")->set(key::uid, "uid-a"); });
        named(lists.ours, "A")->set(key::category, "here");
        named(lists.theirs, "A")->set(key::category, "there");
        // The same change on both sides is no conflict.
        named(lists.ours, "B")->set(key::category, "same");
        named(lists.theirs, "B")->set(key::category, "same");

        const ListMerge merge = lists.merge();
        QCOMPARE(merge.conflicts, QStringList{"A"});
        QCOMPARE(shape(*lists.ours), QStringLiteral("A[A1] A (conflict copy) B C"));
        QCOMPARE(stringOf(*named(lists.ours, "A"), key::category), QStringLiteral("here"));
        const NodePtr copy = named(lists.ours, "A (conflict copy)");
        QCOMPARE(stringOf(*copy, key::category), QStringLiteral("there"));
        QVERIFY(stringOf(*copy, key::uid).startsWith(QStringLiteral("uid-a-conflict-")));
        QCOMPARE(stringOf(*named(lists.ours, "B"), key::category), QStringLiteral("same"));
    }

    void movesOnOneSideAreTakenAndMovesIntoEachOtherLeaveOurs() {
        const DocumentTestStart start;
        Versions lists(QStringLiteral("A[A1] B C D X Y"));
        // There: C moves up to the top and A1 into B. Here: X goes into Y; there, Y into X.
        move(lists.theirs, "C", QString(), 0);
        move(lists.theirs, "A1", "B", 0);
        move(lists.theirs, "Y", "X", 0);
        move(lists.ours, "X", "Y", 0);

        const ListMerge merge = lists.merge();
        QVERIFY(merge.ok());
        QCOMPARE(shape(*lists.ours), QStringLiteral("C A B[A1] D Y[X]"));
        QCOMPARE(merge.changedHere, 1);
        QCOMPARE(merge.changedThere, 3);
    }

    void theMindersStampsAndASyncsUidsAreTakenWithoutConflict() {
        const DocumentTestStart start;
        Versions lists(QStringLiteral("A B C"));
        named(lists.ours, "A")->set(key::category, "work");
        named(lists.theirs, "A")->set(key::minderTimestampTodo, stampAt(100));
        named(lists.ours, "B")->set(key::minderTimestampReminder, stampAt(200));
        named(lists.theirs, "B")->set(key::minderTimestampReminder, stampAt(300));
        named(lists.ours, "C")->set(key::minderTimestampReminder, stampAt(500));
        named(lists.theirs, "C")->set(key::minderTimestampReminder, stampAt(400));
        // A sync gave every item on disk a uid.
        forEachItemBelow(*lists.theirs, [](const NodePtr& item, const Dict&, qsizetype) {
            item->set(key::uid, "uid-" + nameOf(*item));
        });

        const ListMerge merge = lists.merge();
        QVERIFY(merge.conflicts.isEmpty());
        QCOMPARE(shape(*lists.ours), QStringLiteral("A B C"));
        const NodePtr a = named(lists.ours, "A");
        QCOMPARE(stringOf(*a, key::category), QStringLiteral("work"));
        QCOMPARE(a->value(key::minderTimestampTodo), stampAt(100));
        // Both stamped: the later one counts.
        QCOMPARE(named(lists.ours, "B")->value(key::minderTimestampReminder), stampAt(300));
        QCOMPARE(named(lists.ours, "C")->value(key::minderTimestampReminder), stampAt(500));
        QCOMPARE(stringOf(*a, key::uid), QStringLiteral("uid-A"));
        QCOMPARE(merge.changedHere, 1);
        QCOMPARE(merge.changedThere, 0);
    }

    void theListsSettingsMergeKeyByKey() {
        const DocumentTestStart start;
        Versions lists(QStringLiteral("A"));
        lists.ours->set(key::sortedColumn, "due");
        lists.ours->set(key::filterTerm, "here");
        lists.theirs->set(key::syncFolder, "/folder");
        lists.theirs->set(key::filterTerm, "there");

        QVERIFY(lists.merge().ok());
        QCOMPARE(stringOf(*lists.ours, key::sortedColumn), QStringLiteral("due"));
        QCOMPARE(stringOf(*lists.ours, key::syncFolder), QStringLiteral("/folder"));
        QCOMPARE(stringOf(*lists.ours, key::filterTerm), QStringLiteral("here"));
    }

    void aMergeThatWouldNestTooDeepChangesNothing() {
        const DocumentTestStart start;
        Versions lists(QStringLiteral("A B"));
        // Here, B goes under a chain of 300 items; there, a chain of 200 grows under B.
        const auto chain = [](const NodePtr& top, int length) {
            NodePtr at = top;
            for (int level = 0; level < length; ++level) {
                const NodePtr next = makeItem(QStringLiteral("level %1 of %2").arg(level).arg(length));
                appendChild(*at, next);
                at = next;
            }
            return at;
        };
        const NodePtr deepest = chain(named(lists.ours, "A"), 300);
        const NodePtr b = named(lists.ours, "B");
        drop(lists.ours, "B");
        appendChild(*deepest, b);
        chain(named(lists.theirs, "B"), 200);

        const ListMerge merge = mergeLists(lists.base, lists.ours, lists.theirs);
        QCOMPARE(int(merge.outcome), int(ListMerge::Outcome::TooDeep));
        QVERIFY(merge.changes.empty());
    }

    void theMergedFileIsTheBaseOfTheNextMerge() {
        const DocumentTestStart start;
        Versions lists(QStringLiteral("A B"));
        named(lists.ours, "A")->set(key::category, "here");
        appendChild(*lists.theirs, makeItem("C"));
        lists.merge();

        // The same file again: nothing comes twice.
        const NodePtr again = lists.theirs->deepCopy();
        const ListMerge repeated = mergeLists(lists.base, lists.ours, again);
        QVERIFY(repeated.changes.empty());
        QCOMPARE(repeated.changedThere, 0);

        // A later change there is merged alone; ours since the first read still counts.
        drop(again, "B");
        lists.theirs = again;
        const ListMerge next = lists.merge();
        QCOMPARE(shape(*lists.ours), QStringLiteral("A C"));
        QCOMPARE(next.changedThere, 1);
        QCOMPARE(next.changedHere, 1);
    }

    // The document: a merge is one step that can be undone, the list stays changed, and the base is
    // what was last read or saved.
    void theDocumentMergesAsOneStepAndStaysUnsaved() {
        const DocumentTestStart start;
        TardigoDocument document;
        const QString path = openList(document, QStringLiteral("A B C"));
        QString error;
        FakeWindow window;
        document.setWindow(&window);
        document.setUpWindow();
        OutlineItemModel& outline = document.outlineModel();
        const QAbstractItemModelTester tester(&outline,
                                              QAbstractItemModelTester::FailureReportingMode::QtTest);
        // The outline's rows, which follow every change, the merge's included.
        const auto rows = [&] {
            QStringList names;
            for (int row = 0; row < outline.rowCount(); ++row)
                names << nameOf(*outline.itemForIndex(outline.index(row, 0)));
            [&] { QCOMPARE(outlineDifference(document), QString()); }();
            return names;
        };

        // Saved without C; then A is renamed here, while another program changes B and adds D.
        document.selection().selectItems({named(document.data(), "C")});
        document.itemCommands().deleteItem();
        QCoreApplication::processEvents();
        QVERIFY(document.writeToFile(path, &error));
        outline.setData(outline.index(0, columnIndex(Column::Name)), QStringLiteral("A here"));
        QCoreApplication::processEvents();
        changeFile(path, [](const NodePtr& root) {
            named(root, "B")->set(key::category, "there");
            appendChild(*root, makeItem("D"));
        });
        QVERIFY(document.changedOnDisk());

        const FileMerge merge = document.mergeFileOnDisk(document.readFileOnDisk());
        QCOMPARE(int(merge.outcome), int(FileMerge::Outcome::Merged));
        QCOMPARE(merge.changedHere, 1);
        QCOMPARE(merge.changedOnDisk, 2);
        QCOMPARE(rows(), (QStringList{"A here", "B", "D"})); // C, removed before the save, stays so
        QCOMPARE(stringOf(*named(document.data(), "B"), key::category), QStringLiteral("there"));
        QVERIFY(document.isDocumentEdited());
        QVERIFY(!document.changedOnDisk());
        QCoreApplication::processEvents();

        // One step: undone, the list is as it was before; redone, merged again. Changed either way.
        QCOMPARE(document.undoStack().undoText(), QStringLiteral("merge changes on disk"));
        document.undoStack().undo();
        QCOMPARE(rows(), (QStringList{"A here", "B"}));
        QCOMPARE(stringOf(*named(document.data(), "B"), key::category), QString());
        QVERIFY(document.isDocumentEdited());
        document.undoStack().redo();
        QCOMPARE(rows(), (QStringList{"A here", "B", "D"}));

        // Saved, the merged list is the file; the next change there is the only one merged.
        QCOMPARE(document.saveUnlessChangedOnDisk(&error), TardigoDocument::SaveOutcome::Saved);
        changeFile(path, [](const NodePtr& root) { drop(root, "D"); });
        const FileMerge next = document.mergeFileOnDisk(document.readFileOnDisk());
        QCOMPARE(next.changedHere, 0);
        QCOMPARE(next.changedOnDisk, 1);
        QCOMPARE(rows(), (QStringList{"A here", "B"}));
        document.close();
        document.setWindow(nullptr);
    }

    void aFileThatIsNoListIsNotMerged() {
        const DocumentTestStart start;
        TardigoDocument document;
        const QString path = openList(document, QStringLiteral("A B"));
        named(document.data(), "A")->set(key::category, "here");
        document.countChange(TardigoDocument::ChangeKind::Done);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a list at all");
        file.close();

        const FileMerge merge = document.mergeFileOnDisk(document.readFileOnDisk());
        QCOMPARE(int(merge.outcome), int(FileMerge::Outcome::Unreadable));
        QVERIFY2(merge.error.contains("list.todo"), qPrintable(merge.error));
        QCOMPARE(shape(*document.data()), QStringLiteral("A B"));
        QVERIFY(!document.undoStack().canUndo());
        QVERIFY(document.changedOnDisk()); // still to be resolved
    }
};

QTEST_GUILESS_MAIN(TestListMerge)
#include "tst_list_merge.moc"
