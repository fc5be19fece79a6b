// Siblings in the order other clients share: the keys a list's order gives them, writing as few
// to-dos as it can, and items put among their siblings by those keys.
#include "ical_fixture.h"

#include "archive/list_file.h"
#include "ical/sibling_order.h"
#include "ical/tree_placement.h"

using namespace tardigo;

namespace {

using Keys = std::vector<std::optional<qint64>>;

/// "10 20 w30 - 40": a sibling each, "w" for one written anyway, "-" for one without a key.
std::vector<SiblingKey> siblings(const QString& text) {
    std::vector<SiblingKey> parsed;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const bool written = word.startsWith(u'w');
        const QString key = word.mid(written ? 1 : 0);
        parsed.push_back(
            {key == QLatin1String("-") ? std::nullopt : std::optional(key.toLongLong()), written});
    }
    return parsed;
}

QString text(const Keys& keys) {
    QStringList words;
    for (const std::optional<qint64>& key : keys)
        words << (key ? QString::number(*key) : QStringLiteral("-"));
    return words.join(u' ');
}

} // namespace

Q_DECLARE_METATYPE(std::vector<tardigo::SiblingKey>)

class TestIcalOrder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::startCalendarTest(); }

    void keysForTheListsOrder_data() {
        QTest::addColumn<QString>("siblings"); // in the list's order
        QTest::addColumn<QString>("keys");
        QTest::newRow("in order") << "10 20 30"
                                  << "10 20 30";
        QTest::newRow("equal keys stand in either order") << "10 20 20 30"
                                                          << "10 20 20 30";
        QTest::newRow("the last moved first") << "40 10 20 30"
                                              << "9 10 20 30";
        QTest::newRow("the first moved last") << "20 30 40 10"
                                              << "20 30 40 41";
        QTest::newRow("one moved between two") << "10 40 20 30"
                                               << "10 19 20 30";
        QTest::newRow("no integer between: the ones after move up") << "10 13 11 12"
                                                                    << "10 11 12 13";
        QTest::newRow("two moved together") << "50 60 10 20 30"
                                            << "8 9 10 20 30";
        QTest::newRow("a new one whose creation is its place") << "10 20 w25 30"
                                                               << "10 20 25 30";
        QTest::newRow("a new one out of place") << "10 20 w35 30"
                                                << "10 20 29 30";
        QTest::newRow("new ones made in one second") << "w5 w5 w5"
                                                     << "5 6 7";
        QTest::newRow("a new one beside one of its second") << "w20 20 30"
                                                            << "19 20 30";
        QTest::newRow("the one written anyway moves, not the others") << "10 w30 20 40"
                                                                      << "10 19 20 40";
        QTest::newRow("siblings without a key stay so") << "10 - 30 - 20"
                                                        << "10 - 30 - 31";
        QTest::newRow("a new one without a creation") << "10 w- 20"
                                                      << "10 19 20";
        QTest::newRow("none") << ""
                              << "";
    }

    // Only the siblings out of place get new keys, each next to its neighbour, and the ones after
    // move only where no integer fits.
    void keysForTheListsOrder() {
        QFETCH(QString, siblings);
        QFETCH(QString, keys);
        QCOMPARE(text(siblingKeys(::siblings(siblings))), keys);
    }

    // Items placed by their keys go among the children already there, before the first whose key
    // is not less; those without a key go last, as they came.
    void placedByTheirKeys() {
        const NodePtr root = newListRoot();
        QHash<QString, qint64> keys{{"A", 10}, {"C", 30}, {"E", 50}};
        for (const char* name : {"A", "C", "E"})
            test::addItem(*root,
                          {{key::name, QString::fromLatin1(name)}, {key::uid, QString::fromLatin1(name)}});
        TreePlacement placement(*root, [&](const Dict& item) -> std::optional<qint64> {
            const QString uid = *item.value(key::uid).asString();
            return keys.contains(uid) ? std::optional(keys[uid]) : std::nullopt;
        });
        for (const auto& [name, key] : std::initializer_list<std::pair<const char*, std::optional<qint64>>>{
                 {"F", 60}, {"none", std::nullopt}, {"B", 20}, {"D", 30}, {"Z", 5}})
            placement.place(test::itemWith({{key::name, QString::fromLatin1(name)}}), {}, key);
        QVERIFY(placement.apply());
        QStringList names;
        for (const Value& child : childrenOf(*root)->items)
            names << *child.asDict()->value(key::name).asString();
        QCOMPARE(names, (QStringList{"Z", "A", "B", "D", "C", "E", "F", "none"}));
    }
};

QTEST_GUILESS_MAIN(TestIcalOrder)
#include "tst_ical_order.moc"
