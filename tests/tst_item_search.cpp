// Finding items: the search's words against an item's name, category and notes, and the agenda
// built on it.
#include "agenda/core/agenda.h"
#include "dates/agenda_section.h"
#include "document_fixture.h"
#include "model/stored_date.h"
#include "search/item_search.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

using Places = QList<std::pair<qsizetype, qsizetype>>;

QStringList namesOf(const std::vector<FoundItem>& found) {
    QStringList names;
    for (const FoundItem& item : found)
        names << *item.item->value(key::name).asString() + u'@' + itemPathText(item.path);
    return names;
}

} // namespace

class TestItemSearch : public QObject {
    Q_OBJECT

private slots:
    void everyWordMatchesIgnoringCaseAndAccents() {
        const NodePtr item =
            makeItem("Crème brûlée for Zoë", {{key::category, Value("Küche")},
                                              {key::notes, Value::data(notesBytes("Ask Ångström"))}});
        for (const char* typed : {"creme", "BRULEE", "zoe crème", "kuche", "angstrom", "  ask   küche "})
            QVERIFY2(ItemSearch(QString::fromUtf8(typed)).matches(*item), typed);
        for (const char* typed : {"cream", "creme pie", "kuchen"})
            QVERIFY2(!ItemSearch(QString::fromUtf8(typed)).matches(*item), typed);
        QVERIFY(ItemSearch(QStringLiteral(" \t ")).isEmpty());
        QVERIFY(ItemSearch().matches(*item));
        // Words do not reach across the fields: the name ends where the category begins.
        QVERIFY(!ItemSearch(QStringLiteral("zoëküche")).matches(*item));
        // An item without a name, category or notes is no failure.
        QVERIFY(!ItemSearch(QStringLiteral("x")).matches(Dict()));
    }

    void foldingKeepsEveryCharacterInItsPlace() {
        // Hangul syllables decompose into several letters, a ligature has no base, an emoji is a
        // surrogate pair: each keeps its length, so a place found folded is a place shown.
        const QString shown = QStringLiteral("Ça 한글 ﬁ 😀 É");
        QCOMPARE(foldForSearch(shown).size(), shown.size());
        QCOMPARE(foldForSearch(shown), QStringLiteral("ca 한글 ﬁ 😀 e"));
        QCOMPARE(ItemSearch(QStringLiteral("e ca")).occurrencesIn(shown), (Places{{0, 2}, {11, 1}}));
        // Overlapping and adjacent words are one highlight.
        QCOMPARE(ItemSearch(QStringLiteral("ann anna na")).occurrencesIn(QStringLiteral("Call Anna")),
                 (Places{{5, 4}}));
        QCOMPARE(ItemSearch(QStringLiteral("x")).occurrencesIn(QStringLiteral("Call Anna")), Places());
    }

    void findItemsWalksTheWholeTreeInOrder() {
        const NodePtr root = newListRoot();
        const NodePtr house = makeItem("House");
        appendChild(*house, makeItem("Paint the house", {{key::completion, Value::boolean(true)}}));
        appendChild(*house, makeItem("Roof"));
        appendChild(*root, house);
        appendChild(*root, makeItem("Paint a picture"));
        QCOMPARE(namesOf(findItems(*root, ItemSearch(QStringLiteral("paint")))),
                 (QStringList{"Paint the house@0/0", "Paint a picture@1"}));
        QCOMPARE(namesOf(findItems(*root, ItemSearch(QStringLiteral("house")))),
                 (QStringList{"House@0", "Paint the house@0/0"}));
        QVERIFY(findItems(*root, ItemSearch(QStringLiteral("garden"))).empty());
    }

    void agendaSectionsCountDaysInTheLocalZone() {
        const QDateTime now = localTime("2026-12-07 22:30:00"); // a Monday, late
        const auto section = [&](const char* due) { return agendaSection(localTime(due), now); };
        QCOMPARE(section("2026-12-07 22:29:59"), AgendaSection::Overdue);
        QCOMPARE(section("2026-12-07 23:59:00"), AgendaSection::Today);
        QCOMPARE(section("2026-12-08 00:00:00"), AgendaSection::Tomorrow);
        QCOMPARE(section("2026-12-09 09:00:00"), AgendaSection::ThisWeek);
        QCOMPARE(section("2026-12-13 23:59:00"), AgendaSection::ThisWeek);
        QCOMPARE(section("2026-12-14 00:00:00"), AgendaSection::Later);
        QCOMPARE(agendaSection(QDateTime(), now), AgendaSection::NoDate);
        // A due date stored in another zone falls on the local day it is: 23:00 here.
        QCOMPARE(agendaSection(*parseStoredDate(QStringLiteral("2026-12-08 07:00:00 +0900")), now),
                 AgendaSection::Today);
    }

    void agendaHoldsOutstandingItemsByDueDate() {
        const QDateTime now = localTime("2026-12-07 10:00:00");
        const NodePtr first = newListRoot();
        appendChild(*first, makeItem("later", {{key::due, Value("2027-01-01 09:00:00 +0100")}}));
        appendChild(*first, makeItem("done", {{key::due, Value("2026-12-01 09:00:00 +0100")},
                                              {key::completion, Value::boolean(true)}}));
        appendChild(*first, makeItem("undated"));
        appendChild(*first, makeItem("damaged date", {{key::due, Value("next Tuesday")}}));
        const NodePtr second = newListRoot();
        appendChild(*second, makeItem("overdue", {{key::due, Value("2026-12-01 09:00:00 +0100")}}));
        appendChild(*second, makeItem("same time", {{key::due, Value("2027-01-01 09:00:00 +0100")}}));

        std::vector<AgendaEntry> entries = agendaEntries("b.todo", *second, now, ItemSearch(), false);
        for (AgendaEntry& entry : agendaEntries("a.todo", *first, now, ItemSearch(), true))
            entries.push_back(std::move(entry));
        sortAgenda(entries);
        QStringList shown;
        for (const AgendaEntry& entry : entries)
            shown << QStringLiteral("%1 %2 %3")
                         .arg(entry.list, *entry.item->value(key::name).asString())
                         .arg(int(entry.section));
        QCOMPARE(shown, (QStringList{"b.todo overdue 0", "a.todo later 4", "b.todo same time 4",
                                     "a.todo undated 5", "a.todo damaged date 5"}));
        QCOMPARE(agendaEntries("a.todo", *first, now, ItemSearch(QStringLiteral("LATER")), true).size(),
                 size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestItemSearch)
#include "tst_item_search.moc"
