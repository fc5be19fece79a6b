#include "outline/icon_preferences.h"
#include "outline/icon_rules.h"
#include "platform/settings.h"

#include <QTest>

using namespace tardigo;

class TestIconPreferences : public QObject {
    Q_OBJECT

    static int rowOf(const QString& icon) { return int(IconPreferences::icons().indexOf(icon)); }

private slots:
    void init() { Settings::instance().useMemoryOnly(); }

    void aCategoryOrAStatusBelongsToOneIconAtMost() {
        IconPreferences::setCategory(rowOf("vk_heart"), QStringLiteral("Family"));
        IconPreferences::setCategory(rowOf("vk_smiley"), QStringLiteral("Family"));
        QCOMPARE(IconPreferences::categoryOfIcon("vk_heart"), std::nullopt);
        QCOMPARE(IconPreferences::categoryOfIcon("vk_smiley"), std::optional<QString>("Family"));
        QCOMPARE(IconRules::current().iconNameForCategoryName("Family"), std::optional<QString>("vk_smiley"));
        IconPreferences::setCategory(rowOf("vk_smiley"), std::nullopt); // "(Do not use)"
        QCOMPARE(IconRules::current().iconNameForCategoryName("Family"), std::nullopt);

        // "Completed" moves from the default check mark to the chosen icon.
        QCOMPARE(IconPreferences::statusOfIcon("vk_check6"), std::optional(8));
        IconPreferences::setStatus(rowOf("vk_check1"), 8);
        QCOMPARE(IconPreferences::statusOfIcon("vk_check6"), std::nullopt);
        QCOMPARE(IconRules::current().iconNameForItemStatus(8), std::optional<QString>("vk_check1"));
        // Another status replaces the icon's own; the rest stay.
        IconPreferences::setStatus(rowOf("vk_check1"), 3);
        QCOMPARE(IconRules::current().iconNameForItemStatus(8), std::nullopt);
        QCOMPARE(IconPreferences::statusOfIcon("vk_newitem"), std::optional(0));
        IconPreferences::setStatus(99, 8); // outside the list: ignored
        QCOMPARE(IconRules::current().iconNameForItemStatus(8), std::nullopt);
    }

    void aRemovedIconTakesItsEntriesAlong() {
        const QString own = QStringLiteral("/home/u/pictures/boat.png");
        IconPreferences::addIcon(own);
        QCOMPARE(IconPreferences::icons().size(), 30);
        IconPreferences::setCategory(29, QStringLiteral("Holidays"));
        IconPreferences::setStatus(29, 4);
        QVERIFY(IconPreferences::removeIcon(29));
        QCOMPARE(IconPreferences::icons().size(), 29);
        QCOMPARE(IconPreferences::categoryOfIcon(own), std::nullopt);
        QCOMPARE(IconPreferences::statusOfIcon(own), std::nullopt);
        QCOMPARE(IconRules::current().iconNameForItemStatus(4), std::nullopt);
        QVERIFY(!IconPreferences::removeIcon(29));
        QVERIFY(!IconPreferences::removeIcon(-1));
    }
};

QTEST_GUILESS_MAIN(TestIconPreferences)
#include "tst_icon_preferences.moc"
