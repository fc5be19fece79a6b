#include "document/list_search.h"
#include "document/undo_manager.h"
#include "document_fixture.h"
#include "model/item_walk.h"
#include "outline/outline_filter.h"
#include "outline/search_filter.h"
#include "test_support.h"

#include <QRandomGenerator>
#include <QTest>

#include <set>
#include <utility>

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

/// The items shown by two searches whose shown children differ between them (null for the top
/// level). An item that one of them hides has no rows to compare: the outline asks for its children
/// afresh when it shows again.
std::set<const Dict*> listsThatDiffer(const Dict& root, const SearchFilter& before,
                                      const SearchFilter& after) {
    std::set<const Dict*> lists;
    const auto differ = [&](const Dict* item) {
        const auto addresses = [&](const SearchFilter& search) {
            std::vector<const Dict*> shown;
            const ArrayPtr children = visibleChildren(root, item, &search);
            for (const Value& child : children->items)
                shown.push_back(child.dictAddress());
            return shown;
        };
        return addresses(before) != addresses(after);
    };
    if (differ(nullptr))
        lists.insert(nullptr);
    forEachItemBelow(root, [&](const NodePtr& item, const Dict&, qsizetype) {
        if (before.shows(*item) && after.shows(*item) && differ(item.get()))
            lists.insert(item.get());
    });
    return lists;
}

struct SearchedList : OpenList {
    SearchedList() : OpenList(household()) { document.outlineCommands().expandAll(); }
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

    void aNarrowerSearchShowsWhatAFreshOneShowsAndNamesTheListsItChanged() {
        size_t listsNamed = 0;
        for (const quint32 seed : {1u, 2u, 3u}) {
            const NodePtr root = randomTree(seed);
            NotesTextCache notes;
            std::optional<SearchFilter> previous;
            for (const QString typed : {"a", "ab", "ab c", "abc c", "abc ca", "abcé ca", "abcéa cab"}) {
                const SearchFilter fresh(*root, typed, nullptr, notes);
                const SearchFilter narrowed(*root, typed, previous ? &*previous : nullptr, notes);
                QCOMPARE(narrowed.narrowedLists().has_value(), previous.has_value());
                forEachItemBelow(*root, [&](const NodePtr& item, const Dict&, qsizetype) {
                    QCOMPARE(narrowed.shows(*item), fresh.shows(*item));
                    QCOMPARE(narrowed.matches(*item), fresh.matches(*item));
                });
                if (previous) {
                    std::set<const Dict*> named;
                    for (const NarrowedList& list : *narrowed.narrowedLists()) {
                        QVERIFY2(named.insert(list.owner.get()).second, "a list named twice");
                        // Its children shown before, in order, each as this search shows it.
                        std::vector<std::pair<const Dict*, bool>> expected, told;
                        const ArrayPtr before = visibleChildren(*root, list.owner.get(), &*previous);
                        for (const Value& child : before->items)
                            expected.emplace_back(child.dictAddress(), narrowed.shows(*child.asDict()));
                        for (const NarrowedList::Child& child : list.shownBefore)
                            told.emplace_back(child.item, child.stays);
                        QVERIFY(expected == told);
                    }
                    QCOMPARE(named, listsThatDiffer(*root, *previous, narrowed));
                    listsNamed += named.size();
                }
                previous = narrowed;
            }
        }
        QVERIFY(listsNamed > 20); // the searches did narrow
    }

    void aDeletedLetterGoesBackToTheSearchTypedBefore() {
        const NodePtr root = randomTree(4);
        ListSearch search;
        QString shown;
        const auto type = [&](const QString& text) {
            search.setTyped(text);
            const std::optional<std::vector<NodePtr>> named = search.changedLists(*root);
            const QString before = std::exchange(shown, text);
            if (text.trimmed().isEmpty() || before.isEmpty())
                return std::optional<std::set<const Dict*>>();
            NotesTextCache notes;
            const std::set<const Dict*> differ =
                listsThatDiffer(*root, SearchFilter(*root, before, nullptr, notes),
                                SearchFilter(*root, text, nullptr, notes));
            std::set<const Dict*> lists;
            for (const NodePtr& list : named.value())
                lists.insert(list.get());
            for (const Dict* list : differ)
                if (!lists.contains(list))
                    return std::optional<std::set<const Dict*>>(); // a changed list not named
            return std::optional(lists);
        };
        type("a");
        const std::set<const Dict*> narrowed = type("ab").value();
        QVERIFY(!narrowed.empty());
        const std::optional<std::set<const Dict*>> narrowedAgain = type("abc");
        QVERIFY(narrowedAgain);
        QVERIFY(type("ab") == narrowedAgain); // the rows "abc" took come back
        QCOMPARE(search.filter(*root)->typed(), QStringLiteral("ab"));
        QVERIFY(type("a") == narrowed);
        QVERIFY(type("ab"));
        QVERIFY(type("ac")); // back to "a", then narrowed again
        QVERIFY(type("ac b"));
        search.setTyped(QString());
        QVERIFY(!search.changedLists(*root)); // no search: every list
        QVERIFY(!search.filter(*root));
    }

    void aSearchReadsTheListAgainAfterAChange() {
        SearchedList list;
        QCOMPARE(list.search("ann"), (QStringList{"Work", "Call Anna"}));
        list.type(0, key::name, Value("Anne's work")); // shown for its child, now a match itself
        // A narrower search reads only the previous matches: those of the list as it is now.
        QCOMPARE(list.search("anne"), QStringList{"Anne's work"});
        QCOMPARE(list.search("schere"), (QStringList{"Home", "Garden", "Rosen schneiden"}));
        list.row(2)->set(key::notes, notesData("mit dem Messer"));
        list.document.refreshItem(list.row(2), key::notes, false);
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
        const NodePtr errands = makeItem("errands", {{key::completion, Value::boolean(true)}});
        appendChild(*errands, makeItem("post office"));
        const NodePtr home = makeItem("home");
        appendChild(*home, makeItem("post box", {{key::completion, Value::boolean(true)}}));
        OpenList list{errands, makeItem("office chair"), home};
        list.document.outlineCommands().toggleHideCompletedItems(true);
        list.document.setSearchText("office");
        list.document.outlineCommands().expandAll();
        QCOMPARE(list.rowNames(), QStringList{"office chair"}); // a hidden parent hides its match
        list.document.setSearchText("post");
        QCOMPARE(list.rowNames(), QStringList()); // "home" does not show for a match hidden under it
        list.document.outlineCommands().toggleHideCompletedItems(false);
        list.document.outlineCommands().expandAll();
        QCOMPARE(list.rowNames(), (QStringList{"errands", "post office", "home", "post box"}));
        list.document.outlineCommands().toggleHideCompletedItems(true);
        list.document.setSearchText("post o"); // narrowed while they are hidden
        QCOMPARE(list.rowNames(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestListSearch)
#include "tst_list_search.moc"
