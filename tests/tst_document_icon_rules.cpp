#include "document/icon_rules.h"
#include "document_fixture.h"
#include "platform/user_defaults.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

QString shownIcon(const Dict& item) {
    return IconRules::current().iconNameForItem(&item).value_or(QStringLiteral("(no icon)"));
}

void assignStatus(int status, const std::optional<QString>& icon) {
    const DictPtr conditions =
        UserDefaults::standard().objectForKey(pref::todoItemIconConditions).asDict()->deepCopy();
    std::erase_if(conditions->entries,
                  [&](const auto& entry) { return *entry.second.asNumber() == Number::int32(status); });
    if (icon)
        conditions->set(*icon, Value::integer(status));
    UserDefaults::standard().setObject(pref::todoItemIconConditions, conditions);
}

void assignCategory(const QString& icon, const QString& category) {
    DictPtr categories = Dict::create();
    categories->set(icon, category);
    UserDefaults::standard().setObject(pref::todoItemIconCategories, categories);
}

} // namespace

class TestIconRules : public QObject {
    Q_OBJECT
    std::unique_ptr<FixedClock> _clock;

private slots:
    void init() {
        UserDefaults::standard().useMemoryOnly();
        _clock = std::make_unique<FixedClock>(localTime(QStringLiteral("2024-03-10 12:00:00")));
        IconRules::setMostRecentlyCreatedItem(nullptr);
    }
    void cleanup() { _clock.reset(); }

    void statusDecidesWithDefaultPreferences_data() {
        QTest::addColumn<NodePtr>("item");
        QTest::addColumn<QString>("icon");
        const auto item = [](std::initializer_list<std::pair<QString, Value>> keys) {
            return makeItem("x", keys);
        };
        QTest::newRow("plain") << item({}) << "vk_notdone";
        QTest::newRow("complete") << item({{key::completion, Value::boolean(true)}}) << "vk_check6";
        QTest::newRow("complete with own icon only") << item({{key::completion, Value::real(1.0)},
                                                              {key::icon, "vk_heart"},
                                                              {key::thisIconOnly, Value::boolean(true)}})
                                                     << "vk_check6";
        QTest::newRow("own icon") << item(
                                         {{key::icon, "vk_heart"}, {key::thisIconOnly, Value::boolean(true)}})
                                  << "vk_heart";
        QTest::newRow("own icon not exclusive")
            << item({{key::icon, "vk_heart"}, {key::thisIconOnly, Value::boolean(false)}}) << "vk_notdone";
        QTest::newRow("overdue") << item({{key::due, "2024-03-10 12:00:00 +0100"}}) << "vk_red-star-1";
        QTest::newRow("due later") << item({{key::due, "2024-03-10 12:00:01 +0100"}}) << "vk_time";
        QTest::newRow("empty due still counts") << item({{key::due, ""}}) << "vk_time";
        QTest::newRow("old") << item({{key::dateCreated, "2023-12-01 12:00:00 +0100"}}) << "vk_red-star-2";
        QTest::newRow("reminder") << item({{key::reminderSet, Value::boolean(true)}}) << "vk_phone2";
        QTest::newRow("notes") << item({{key::notes, notesData("call back")}}) << "vk_pencil";
        QTest::newRow("blank notes") << item({{key::notes, notesData(" \n\t \n")}}) << "vk_notdone";
        QTest::newRow("partly done") << item({{key::completion, Value::real(0.5)}}) << "vk_signal";
        QTest::newRow("due beats notes")
            << item({{key::due, "2030-01-01 00:00:00 +0000"}, {key::notes, notesData("n")}}) << "vk_time";
    }
    void statusDecidesWithDefaultPreferences() {
        QFETCH(NodePtr, item);
        QFETCH(QString, icon);
        QCOMPARE(shownIcon(*item), icon);
    }

    void ownIconWithoutImageShowsNothing() {
        QTemporaryDir dir;
        const QString present = dir.filePath(QStringLiteral("mine.png")),
                      missing = dir.filePath(QStringLiteral("gone.png"));
        QFile file(present);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const NodePtr item = makeItem("x", {{key::icon, present}, {key::thisIconOnly, Value::boolean(true)}});
        QCOMPARE(shownIcon(*item), present);
        item->set(key::icon, missing);
        QCOMPARE(shownIcon(*item), QStringLiteral("(no icon)"));
        // A status icon whose file is gone falls back to the default icon.
        item->remove(key::icon);
        item->set(key::reminderSet, Value::boolean(true));
        assignStatus(IconStatusHasReminder, missing);
        QCOMPARE(shownIcon(*item), QStringLiteral("vk_notdone"));
    }

    void overdueOutranksCategoryUnlessUnassigned() {
        assignCategory(QStringLiteral("vk_gears"), QStringLiteral("Work"));
        const NodePtr item =
            makeItem("x", {{key::due, "2024-01-01 00:00:00 +0100"}, {key::category, "Work"}});
        QCOMPARE(shownIcon(*item), QStringLiteral("vk_red-star-1"));
        assignStatus(IconStatusPastDue, std::nullopt);
        QCOMPARE(shownIcon(*item), QStringLiteral("vk_gears"));
        item->set(key::category, QStringLiteral("work")); // case matters
        QCOMPARE(IconRules::current().iconNameForCategoryName(QStringLiteral("work")), std::nullopt);
        QCOMPARE(shownIcon(*item), QStringLiteral("vk_time"));
    }

    void newItemIconMovesToTheLatestItem() {
        const NodePtr first = makeItem("first"), second = makeItem("second");
        IconRules::setMostRecentlyCreatedItem(first);
        QCOMPARE(shownIcon(*first), QStringLiteral("vk_newitem"));
        first->set(key::due, QStringLiteral("2030-01-01 00:00:00 +0000"));
        QCOMPARE(shownIcon(*first), QStringLiteral("vk_time"));
        first->remove(key::due);
        IconRules::setMostRecentlyCreatedItem(second);
        QCOMPARE(shownIcon(*first), QStringLiteral("vk_notdone"));
        QCOMPARE(shownIcon(*second), QStringLiteral("vk_newitem"));
    }

    void noDefaultIconMeansNoIcon() {
        assignStatus(IconStatusDefault, std::nullopt);
        QCOMPARE(shownIcon(*makeItem("x")), QStringLiteral("(no icon)"));
        // A complete item without a completed icon falls back to the default, which is gone too.
        assignStatus(IconStatusCompleted, std::nullopt);
        QCOMPARE(shownIcon(*makeItem("x", {{key::completion, Value::boolean(true)}})),
                 QStringLiteral("(no icon)"));
        QCOMPARE(IconRules::current().iconNameForItemStatus(IconStatusReminderInProgress), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestIconRules)
#include "tst_document_icon_rules.moc"
