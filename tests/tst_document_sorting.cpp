#include "document_fixture.h"
#include "outline/icon_rules.h"
#include "outline/node_comparators.h"
#include "platform/settings.h"
#include "reference_sort.h"
#include "test_support.h"

#include <QTest>

#include <random>

using namespace tardigo;
using namespace tardigo::test;

using Compare = int (*)(const Dict&, const Dict&);
Q_DECLARE_METATYPE(Compare)

namespace {

/// The arrow the column's header shows.
SortIndicator arrowOf(OpenList& list, Column column) {
    const OutlineSettings& settings = list.document.outlineSettings();
    return settings.indicatorColumn() == column ? settings.indicator() : SortIndicator::None;
}

} // namespace

class TestSorting : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

private slots:
    void init() { _start.emplace(); }
    void cleanup() { _start.reset(); }

    void missingValuesSortLastFromEitherSide_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<Compare>("compare");
        QTest::addColumn<Value>("low");
        QTest::addColumn<Value>("high");
        QTest::addColumn<Value>("missing"); // sorts after low and high, before an absent value
        QTest::newRow("name") << QString(key::name) << Compare(compareNames) << Value("apple")
                              << Value("Banana") << Value("");
        QTest::newRow("category") << QString(key::category) << Compare(compareCategories) << Value("a")
                                  << Value("B") << Value("");
        QTest::newRow("due, time of day")
            << QString(key::due) << Compare(compareDueDates) << Value("2024-03-11 09:00:00 +0100")
            << Value("2024-03-11 17:30:00 +0100") << Value("");
        QTest::newRow("due, zones") << QString(key::due) << Compare(compareDueDates)
                                    << Value("2024-03-11 13:00:00 +0200")
                                    << Value("2024-03-11 11:30:00 +0000") << Value("next tuesday");
        QTest::newRow("notes") << QString(key::notes) << Compare(compareNotes) << notesData("alpha")
                               << notesData("Beta") << Value::data(QByteArray());
    }
    void missingValuesSortLastFromEitherSide() {
        QFETCH(QString, column);
        QFETCH(Compare, compare);
        QFETCH(Value, low);
        QFETCH(Value, high);
        QFETCH(Value, missing);
        const NodePtr a = makeItem("a", {{column, low}}), b = makeItem("b", {{column, high}}),
                      m = makeItem("m", {{column, missing}}), absent = makeItem("n");
        absent->remove(column);
        QCOMPARE(compare(*a, *b), -1);
        QCOMPARE(compare(*b, *a), 1);
        QCOMPARE(compare(*m, *a), 1);
        QCOMPARE(compare(*a, *m), -1);
        QCOMPARE(compare(*absent, *b), 1);
        QCOMPARE(compare(*b, *absent), -1);
        QCOMPARE(compare(*absent, *m), column == key::notes ? 1 : 0);
        QCOMPARE(compare(*a, *a), 0);
    }

    void sortingKeepsExactlyTheOrderOfTheComparisons() {
        // Ties, missing values and values of odd kinds in every column, at every level.
        std::mt19937 random(7);
        const auto pick = [&](std::initializer_list<Value> values) {
            return *(values.begin() + random() % values.size());
        };
        const NodePtr reference = newListRoot();
        std::vector<NodePtr> parents{reference};
        for (int i = 0; i < 300; ++i) {
            const NodePtr item = makeItem(
                "",
                {{key::name, pick({"apple", "Apple", "b", "", "Äpfel", "zebra", "10", "9"})},
                 {key::category, pick({"Home", "home", "", "Work", Value::integer(3)})},
                 {key::due, pick({"2024-03-11 09:00:00 +0100", "2024-03-11 08:30:00 +0000", "", "soon"})},
                 {key::completion,
                  pick({Value::float32(0.5), Value::boolean(true), Value::integer(0), Value("x")})},
                 {key::notes, pick({notesData("b"), notesData("A"), Value::data(""), Value::data("junk")})}});
            appendChild(i < 60 ? *reference : *parents[random() % parents.size()], item); // a wide level too
            parents.push_back(item);
        }
        const std::pair<Column, Compare> orders[] = {{Column::Icon, compareIcons},
                                                     {Column::Name, compareNames},
                                                     {Column::Category, compareCategories},
                                                     {Column::Due, compareDueDates},
                                                     {Column::Completion, compareCompletions},
                                                     {Column::Notes, compareNotes}};
        for (const auto& [column, compare] : orders) {
            for (const int direction : {1, -1}) {
                const NodePtr sorted = reference->deepCopy(), expected = reference->deepCopy();
                sortChildrenByColumn(*sorted, column, direction);
                test::referenceSort(*expected, compare, direction);
                QVERIFY2(sorted->equals(*expected), qPrintable(columnIdentifier(column)));
            }
        }
    }

    void iconSortPutsNewFirstAndCheckmarkLast() {
        DictPtr conditions = Dict::create();
        for (const auto& [icon, status] : {std::pair{"vk_newitem", IconStatusNew},
                                           {"vk_checkmark", IconStatusCompleted},
                                           {"vk_time", IconStatusHasDueDate},
                                           {"vk_Bubble", IconStatusHasNotes},
                                           {"vk_notdone", IconStatusDefault}})
            conditions->set(icon, Value::integer(status));
        Settings::instance().setIconConditions(conditions);
        const NodePtr fresh = makeItem("fresh");
        IconRules::setMostRecentlyCreatedItem(fresh);
        OpenList list{makeItem("done", {{key::completion, Value::boolean(true)}}),
                      makeItem("due", {{key::due, "2030-01-01 00:00:00 +0000"}}), makeItem("plain"), fresh,
                      makeItem("noted", {{key::notes, notesData("n")}})};
        list.document.sorting().headerClicked(Column::Icon);
        QCOMPARE(list.rowNames(), (QStringList{"fresh", "noted", "plain", "due", "done"}));
    }

    void longNotesAreReadOnlyAsFarAsTheOutlineNeeds() {
        // Notes whose text goes on past what any reader accepts: read whole, they do not decode.
        const auto notesStarting = [](const QByteArray& start) {
            return Value::data("{\\rtf1\\ansi " + start + "\\par " + QByteArray(1000, 'x') +
                               QByteArray(600, '{') + QByteArray(600, '}') + "}");
        };
        const NodePtr plumber = makeItem("p", {{key::notes, notesStarting("Call the plumber")}});
        const NodePtr apples = makeItem("a", {{key::notes, notesData("apples")}});
        QVERIFY(!notesPlainText(*plumber->value(key::notes).asData()));
        QCOMPARE(IconRules::current().iconNameForItem(plumber.get()), std::optional<QString>("vk_pencil"));
        QCOMPARE(compareNotes(*plumber, *apples), 1); // by their text, not as unreadable notes
        QCOMPARE(notesFirstLine(*plumber->value(key::notes).asData(), 9), QStringLiteral("Call the"));
    }

    void headerClicksRememberEachColumnsDirection() {
        OpenList list{makeItem("b", {{key::category, "x"}}), makeItem("a", {{key::category, "y"}}),
                      makeItem("c", {{key::category, ""}})};
        const auto click = [&](Column column, const QStringList& rows) {
            QVERIFY(!list.document.sorting().headerClicked(column));
            QCOMPARE(list.rowNames(), rows);
        };
        click(Column::Category, {"b", "a", "c"});
        QCOMPARE(arrowOf(list, Column::Category), SortIndicator::Ascending);
        QCOMPARE(list.document.outlineSettings().highlightedColumn(), std::optional(Column::Category));
        click(Column::Category, {"c", "a", "b"});
        QCOMPARE(arrowOf(list, Column::Category), SortIndicator::Descending);
        click(Column::Name, {"a", "b", "c"});
        QCOMPARE(arrowOf(list, Column::Category), SortIndicator::None);
        click(Column::Category, {"c", "a", "b"}); // back to its last direction
        click(Column::Category, {"b", "a", "c"});
        const DictPtr directions = list.root().value(key::columnSortDirections).asDict();
        QCOMPARE(directions->value(key::category), Value::integer(1));
        QCOMPARE(directions->value(key::name), Value::integer(1));
        QCOMPARE(directions->value(key::due), Value::integer(0));
        QCOMPARE(list.root().value(key::sortedColumn), Value(key::category));
        QVERIFY(list.document.isDocumentEdited());
    }

    void sortingKeepsTheSelectionAndScrollsToIt() {
        OpenList list{makeItem("d"), makeItem("c"), makeItem("b"), makeItem("a")};
        list.select({"d", "b"});
        const int renders = list.window.renders;
        list.document.sorting().headerClicked(Column::Name);
        OpenList::endEvent();
        QCOMPARE(list.rowNames(), (QStringList{"a", "b", "c", "d"}));
        QCOMPARE(list.selectedNames(), (QStringList{"b", "d"}));
        QCOMPARE(list.revealed.front(), list.item("d")); // d was selected first
        QCOMPARE(list.window.renders, renders);
    }

    void switchingSortingOffKeepsTheOrder() {
        OpenList list{makeItem("b"), makeItem("a")};
        list.document.sorting().headerClicked(Column::Name);
        list.document.sorting().endColumnSorting();
        QCOMPARE(list.rowNames(), (QStringList{"a", "b"}));
        QVERIFY(!list.root().contains(key::sortedColumn));
        QCOMPARE(arrowOf(list, Column::Name), SortIndicator::None);
        QVERIFY(!list.document.outlineSettings().highlightedColumn());
    }

    void aListSavedSortedOpensWithItsArrowAndOrder() {
        const auto savedSorted = [](Dict& root) {
            root.set(key::sortedColumn, key::name);
            root.value(key::columnSortDirections).asDict()->set(key::name, Value::integer(-1));
        };
        OpenList list({makeItem("b"), makeItem("a")}, savedSorted);
        QCOMPARE(list.rowNames(), (QStringList{"b", "a"}));
        QCOMPARE(arrowOf(list, Column::Name), SortIndicator::Descending);
        QVERIFY(!list.document.isDocumentEdited());
        list.document.sorting().headerClicked(Column::Name);
        QCOMPARE(list.rowNames(), (QStringList{"a", "b"}));
    }

    void storedColumnNamesReadBackAsTheirColumnsOnly() {
        for (const Column column : outlineColumns()) {
            QCOMPARE(columnFromIdentifier(columnIdentifier(column)), std::optional(column));
            QCOMPARE(columnFromIndex(columnIndex(column)), std::optional(column));
        }
        for (const char* other : {"", "Name", "due ", "priority"})
            QVERIFY2(!columnFromIdentifier(QString::fromLatin1(other)), other);
        QVERIFY(!columnFromIndex(-1));
        QVERIFY(!columnFromIndex(int(outlineColumns().size())));
    }

    void aListSortedByAColumnUnknownHereOpensUnsortedAndKeepsIt() {
        const auto sortedByPriority = [](Dict& root) {
            root.set(key::sortedColumn, QStringLiteral("priority"));
            root.value(key::columnSortDirections)
                .asDict()
                ->set(QStringLiteral("priority"), Value::integer(-1));
        };
        OpenList list({makeItem("a"), makeItem("b")}, sortedByPriority);
        QCOMPARE(list.rowNames(), (QStringList{"a", "b"}));
        QVERIFY(!list.document.sorting().lastSortedColumn());
        QVERIFY(!list.document.outlineSettings().indicatorColumn());
        QVERIFY(!list.document.isDocumentEdited());
        list.document.sorting().headerClicked(Column::Name);
        // The other program's direction stays beside ours.
        const DictPtr directions = list.root().value(key::columnSortDirections).asDict();
        QCOMPARE(directions->value(QStringLiteral("priority")), Value::integer(-1));
        QCOMPARE(list.root().value(key::sortedColumn), Value(key::name));
    }
};

QTEST_GUILESS_MAIN(TestSorting)
#include "tst_document_sorting.moc"
