#include "document_fixture.h"
#include "outline/icon_rules.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

QString shownIcon(const Dict& item) {
    return IconRules::current().iconNameForItem(&item).value_or("(no icon)");
}

void assignStatus(int status, const std::optional<QString>& icon) {
    Settings& settings = Settings::instance();
    const DictPtr conditions = settings.iconConditions()->deepCopy();
    std::erase_if(conditions->entries,
                  [&](const auto& e) { return *e.second.asNumber() == Number::int32(status); });
    if (icon)
        conditions->set(*icon, Value::integer(status));
    settings.setIconConditions(conditions);
}

const Value yes = Value::boolean(true);

} // namespace

class TestIconRules : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

private slots:
    void init() { _start.emplace(); }
    void cleanup() { _start.reset(); }

    void firstRuleThatHoldsDecides_data() {
        QTest::addColumn<NodePtr>("item");
        QTest::addColumn<QString>("icon");
        const auto item = [](std::initializer_list<std::pair<QString, Value>> keys) {
            return makeItem("x", keys);
        };
        const auto own = [item](const Value& exclusive) {
            return item({{key::icon, "vk_heart"}, {key::thisIconOnly, exclusive}});
        };
        QTest::newRow("plain") << item({}) << "vk_notdone";
        QTest::newRow("complete, own icon")
            << item({{key::completion, yes}, {key::icon, "vk_heart"}, {key::thisIconOnly, yes}})
            << "vk_check6";
        QTest::newRow("own icon") << own(yes) << "vk_heart";
        QTest::newRow("own icon not exclusive") << own(Value::boolean(false)) << "vk_notdone";
        QTest::newRow("due this second")
            << item({{key::due, "2024-03-10 12:00:00 +0100"}}) << "vk_red-star-1";
        QTest::newRow("due a second later") << item({{key::due, "2024-03-10 12:00:01 +0100"}}) << "vk_time";
        QTest::newRow("empty due") << item({{key::due, ""}}) << "vk_time";
        QTest::newRow("old") << item({{key::dateCreated, "2023-12-01 12:00:00 +0100"}}) << "vk_red-star-2";
        QTest::newRow("reminder") << item({{key::reminderSet, yes}}) << "vk_phone2";
        QTest::newRow("notes") << item({{key::notes, notesData("call back")}}) << "vk_pencil";
        QTest::newRow("blank notes") << item({{key::notes, notesData(" \n\t \n")}}) << "vk_notdone";
        QTest::newRow("partly done") << item({{key::completion, Value::float32(0.5)}}) << "vk_signal";
    }
    void firstRuleThatHoldsDecides() {
        QFETCH(NodePtr, item);
        QFETCH(QString, icon);
        QCOMPARE(shownIcon(*item), icon);
    }

    void iconsWhoseImageIsGone() {
        QTemporaryDir dir;
        const QString present = dir.filePath("mine.png"), missing = dir.filePath("gone.png");
        QFile file(present);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const NodePtr item = makeItem("x", {{key::icon, present}, {key::thisIconOnly, yes}});
        QCOMPARE(shownIcon(*item), present);
        item->set(key::icon, missing); // the user's own choice has no fallback
        QCOMPARE(shownIcon(*item), QStringLiteral("(no icon)"));
        item->remove(key::icon);
        item->set(key::reminderSet, yes);
        assignStatus(IconStatusHasReminder, missing); // a status icon falls back to the default
        QCOMPARE(shownIcon(*item), QStringLiteral("vk_notdone"));
        assignStatus(IconStatusDefault, std::nullopt);
        QCOMPARE(shownIcon(*item), QStringLiteral("(no icon)"));
    }

    void categoriesAndUnassignedStatuses() {
        DictPtr categories = Dict::create();
        categories->set(QStringLiteral("vk_gears"), QStringLiteral("Work"));
        Settings::instance().setIconCategories(categories);
        const NodePtr item =
            makeItem("x", {{key::due, "2024-01-01 00:00:00 +0100"}, {key::category, "Work"}});
        QCOMPARE(shownIcon(*item), QStringLiteral("vk_red-star-1"));
        assignStatus(IconStatusPastDue, std::nullopt);
        QCOMPARE(shownIcon(*item), QStringLiteral("vk_gears"));
        item->set(key::category, QStringLiteral("work")); // case matters
        QCOMPARE(shownIcon(*item), QStringLiteral("vk_time"));
    }
};

QTEST_GUILESS_MAIN(TestIconRules)
#include "tst_document_icon_rules.moc"
