#include "document/undo_manager.h"
#include "document_fixture.h"
#include "test_support.h"

#include <QPersistentModelIndex>
#include <QRandomGenerator>
#include <QSignalSpy>
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

/// A tree of a few hundred items, up to five deep, named from a small alphabet so that searches
/// narrow gradually; some with a category or notes.
NodePtr randomTree(quint32 seed) {
    QRandomGenerator random(seed);
    const auto word = [&random] {
        QString text;
        for (int i = random.bounded(1, 5); i > 0; --i)
            text += QChar(u"abcé"[random.bounded(4)]);
        return text;
    };
    const NodePtr root = makeItem("root");
    std::vector<NodePtr> parents{root};
    for (int i = 0; i < 400; ++i) {
        const NodePtr item = makeItem(word() + u' ' + word());
        if (random.bounded(4) == 0)
            item->set(key::category, word());
        if (random.bounded(6) == 0)
            item->set(key::notes, notesData(word()));
        appendChild(*parents[size_t(random.bounded(int(parents.size())))], item);
        if (parents.size() < 60)
            parents.push_back(item);
    }
    return root;
}

struct SearchedList : OpenList {
    SearchedList() : OpenList(household()) {}
    QStringList search(const QString& text) {
        document.setSearchText(text);
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

    void eachLetterChangesOnlyTheRowsItShowsOrHides() {
        // Letters typed and taken back over a large tree: the rows that stay keep their indexes, so
        // that what is open and selected stays so, and the list is never shown afresh.
        const NodePtr root = randomTree(1);
        std::vector<NodePtr> top;
        for (const Value& child : childrenOf(*root)->items)
            top.push_back(child.asDict());
        OpenList list(top);
        QSignalSpy resets(&list.model(), &QAbstractItemModel::modelReset);
        for (const QString& typed :
             QStringList{"a", "ab", "ab c", "abc c", "ab c", "ab", "a", "ac", "ac é", ""}) {
            std::vector<std::pair<QPersistentModelIndex, NodePtr>> before;
            for (const NodePtr& item : list.rows())
                before.emplace_back(list.model().indexOfItem(item.get()), item);
            list.document.setSearchText(typed);
            const QString difference = outlineDifference(list.document);
            QVERIFY2(difference.isEmpty(), qPrintable(typed + QStringLiteral(": ") + difference));
            for (const auto& [index, item] : before)
                QVERIFY(index.isValid() ? list.model().itemForIndex(index) == item
                                        : !list.model().indexOfItem(item.get()).isValid());
        }
        QCOMPARE(resets.count(), 0);
        QCOMPARE(list.rows().size(), size_t(400));
    }

    void aSearchReadsTheListAgainAfterAChange() {
        SearchedList list;
        QCOMPARE(list.search("ann"), (QStringList{"Work", "Call Anna"}));
        list.type(list.item("Work"), Column::Name,
                  QStringLiteral("Anne's work")); // shown for its child, now a match itself
        // A narrower search reads only the previous matches: those of the list as it is now.
        QCOMPARE(list.search("anne"), QStringList{"Anne's work"});
        QCOMPARE(list.search("schere"), (QStringList{"Home", "Garden", "Rosen schneiden"}));
        const NodePtr roses = list.item("Rosen schneiden");
        roses->set(key::notes, notesData("mit dem Messer"));
        list.document.refreshItem(roses, key::notes, false);
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
        QCOMPARE(list.undo().undoText(), QStringLiteral("clear search"));
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
        QVERIFY(list.document.outlineCommands().selectNextMatch(false));
        QCOMPARE(list.selectedNames(), QStringList{"Garden"});
        QCOMPARE(list.revealed, std::vector<NodePtr>{list.item("Garden")}); // opened to show it
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
        const NodePtr errands = makeItem("errands", {{key::completion, Value::boolean(true)}});
        appendChild(*errands, makeItem("post office"));
        const NodePtr home = makeItem("home");
        appendChild(*home, makeItem("post box", {{key::completion, Value::boolean(true)}}));
        OpenList list{errands, makeItem("office chair"), home};
        list.document.outlineCommands().toggleHideCompletedItems(true);
        list.document.setSearchText("office");
        QCOMPARE(list.rowNames(), QStringList{"office chair"}); // a hidden parent hides its match
        list.document.setSearchText("post");
        QCOMPARE(list.rowNames(), QStringList()); // "home" does not show for a match hidden under it
        list.document.outlineCommands().toggleHideCompletedItems(false);
        QCOMPARE(list.rowNames(), (QStringList{"errands", "post office", "home", "post box"}));
        list.document.outlineCommands().toggleHideCompletedItems(true);
        list.document.setSearchText("post o"); // narrowed while they are hidden
        QCOMPARE(list.rowNames(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestListSearch)
#include "tst_list_search.moc"
