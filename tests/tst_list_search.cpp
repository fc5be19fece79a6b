#include "document/undo_manager.h"
#include "document_fixture.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

/// Home > Garden > "Rosen schneiden" (notes: "mit der Schere"); Home > "Küche putzen"; Work (category
/// "Büro") > "Call Anna".
std::vector<NodePtr> household() {
    const NodePtr home = makeItem("Home");
    const NodePtr garden = makeItem("Garden");
    appendChild(*garden, makeItem("Rosen schneiden", {{key::notes, notesData("mit der Schere")}}));
    appendChild(*home, garden);
    appendChild(*home, makeItem("Küche putzen"));
    const NodePtr work = makeItem("Work", {{key::category, "Büro"}});
    appendChild(*work, makeItem("Call Anna"));
    return {home, work};
}

struct SearchedList : OpenList {
    SearchedList() : OpenList{} {
        for (const NodePtr& item : household())
            appendChild(root(), item);
        document.updateUI();
        document.outlineCommands().expandAll();
    }
    QStringList search(const QString& text) {
        document.setSearchText(text);
        document.outlineCommands().expandAll();
        return rowNames();
    }
};

} // namespace

class TestListSearch : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

private slots:
    void init() { _start.emplace(); }
    void cleanup() { _start.reset(); }

    void showsMatchesWithTheirAncestorsOnly() {
        SearchedList list;
        QCOMPARE(list.search("schere"), (QStringList{"Home", "Garden", "Rosen schneiden"})); // in the notes
        QCOMPARE(list.search("KUCHE"), (QStringList{"Home", "Küche putzen"})); // case and accents
        QCOMPARE(list.search("buro"), QStringList{"Work"});  // the children of a match stay out
        QCOMPARE(list.search("home garden"), QStringList()); // every word in one item
        QCOMPARE(list.search("ro sch"), (QStringList{"Home", "Garden", "Rosen schneiden"}));
        QCOMPARE(list.search("   "),
                 (QStringList{"Home", "Garden", "Rosen schneiden", "Küche putzen", "Work", "Call Anna"}));
        QVERIFY(!list.document.isDocumentEdited()); // typing a search writes nothing
        QVERIFY(!list.undo().canUndo());
        QVERIFY(!list.root().contains(key::filterTerm));
    }

    void aSearchReadsTheListAgainAfterAChange() {
        SearchedList list;
        QCOMPARE(list.search("ann"), (QStringList{"Work", "Call Anna"}));
        list.type(0, key::name, Value("Anne's work")); // shown for its child, now a match itself
        // A narrower search reads only the previous matches: those of the list as it is now.
        QCOMPARE(list.search("anne"), QStringList{"Anne's work"});
        QCOMPARE(list.search("schere"), (QStringList{"Home", "Garden", "Rosen schneiden"}));
        list.row(2)->set(key::notes, notesData("mit dem Messer"));
        list.document.updateUI();
        QCOMPARE(list.rowNames(), QStringList()); // the notes read again, not remembered
        QCOMPARE(list.search("messer"), (QStringList{"Home", "Garden", "Rosen schneiden"}));
    }

    void aStoredTermIsTheSearchUntilTheFieldIsEmptied() {
        OpenList list({makeItem("milk"), makeItem("eggs")},
                      [](Dict& root) { root.set(key::filterTerm, "milk"); });
        QCOMPARE(list.document.searchText(), QStringLiteral("milk"));
        QCOMPARE(list.rowNames(), QStringList{"milk"});
        list.document.setSearchText("egg"); // another search shows, the stored term stays
        QCOMPARE(list.rowNames(), QStringList{"eggs"});
        QCOMPARE(list.root().value(key::filterTerm), Value("milk"));
        QVERIFY(!list.document.isDocumentEdited());

        list.document.setSearchText(QString());
        QVERIFY(!list.root().contains(key::filterTerm));
        QCOMPARE(list.rowNames(), (QStringList{"milk", "eggs"}));
        QVERIFY(list.document.isDocumentEdited());
        QCOMPARE(list.undo().undoMenuItemTitle(), QStringLiteral("Undo clear search"));
        list.undo().undo();
        QCOMPARE(list.root().value(key::filterTerm), Value("milk"));
        QCOMPARE(list.document.searchText(), QStringLiteral("milk"));
        QCOMPARE(list.rowNames(), QStringList{"milk"});
        QVERIFY(!list.document.isDocumentEdited());
        list.undo().redo();
        QCOMPARE(list.document.searchText(), QString());
        QVERIFY(!list.root().contains(key::filterTerm));
    }

    void findNextGoesRoundTheMatchesAndOpensTheirParents() {
        SearchedList list;
        list.search("en"); // Garden, Rosen schneiden, Küche putzen; Home only holds them
        list.outline().collapseItem(list.row(0), true);
        QVERIFY(list.document.outlineCommands().selectNextMatch(false));
        QCOMPARE(list.selectedNames(), QStringList{"Garden"}); // opened to show it
        QVERIFY(list.document.outlineCommands().selectNextMatch(false));
        QCOMPARE(list.selectedNames(), QStringList{"Rosen schneiden"});
        QVERIFY(list.document.outlineCommands().selectNextMatch(false));
        QCOMPARE(list.selectedNames(), QStringList{"Küche putzen"});
        QVERIFY(list.document.outlineCommands().selectNextMatch(false)); // round to the top
        QCOMPARE(list.selectedNames(), QStringList{"Garden"});
        QVERIFY(list.document.outlineCommands().selectNextMatch(true));
        QCOMPARE(list.selectedNames(), QStringList{"Küche putzen"});
        list.search("nothing like it");
        QVERIFY(!list.document.outlineCommands().selectNextMatch(false));
    }

    void theSearchNarrowsWhatHideCompletedShows() {
        const NodePtr parent = makeItem("errands", {{key::completion, Value::boolean(true)}});
        appendChild(*parent, makeItem("post office"));
        OpenList list{parent, makeItem("office chair")};
        list.document.outlineCommands().toggleHideCompletedItems(true);
        list.document.setSearchText("office");
        list.document.outlineCommands().expandAll();
        QCOMPARE(list.rowNames(), QStringList{"office chair"}); // a hidden parent hides its match
    }
};

QTEST_GUILESS_MAIN(TestListSearch)
#include "tst_list_search.moc"
