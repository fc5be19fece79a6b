// Quick add: a line of text becomes an item's name, category and due date, the date read as the
// due-date cell reads it.
#include "model/stored_date.h"
#include "quick_add/quick_add_text.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

class TestQuickAdd : public QObject {
    Q_OBJECT

private slots:
    void readsNameCategoryAndTrailingDate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("due"); // empty: none

        QTest::newRow("all three") << "Call Anna tomorrow 10:00 #work"
                                   << "Call Anna"
                                   << "work"
                                   << "2026-12-08 10:00:00 +0100";
        QTest::newRow("category first") << "#home Water the plants friday"
                                        << "Water the plants"
                                        << "home"
                                        << "2026-12-11 23:59:00 +0100";
        QTest::newRow("a day is due at its end") << "Pay rent 2026-12-31"
                                                 << "Pay rent"
                                                 << ""
                                                 << "2026-12-31 23:59:00 +0100";
        QTest::newRow("the longest date at the end") << "Read chapter 3 in 2 weeks"
                                                     << "Read chapter 3"
                                                     << ""
                                                     << "2026-12-21 23:59:00 +0100";
        QTest::newRow("a six-word date") << "Meet Bob in 2 weeks at 9:30 PM"
                                         << "Meet Bob"
                                         << ""
                                         << "2026-12-21 21:30:00 +0100";
        QTest::newRow("a long line") << QStringLiteral("word ").repeated(500) + "tomorrow"
                                     << QStringLiteral("word ").repeated(500).trimmed() << ""
                                     << "2026-12-08 23:59:00 +0100";
        QTest::newRow("no date") << "Buy 2 bottles of milk"
                                 << "Buy 2 bottles of milk"
                                 << ""
                                 << "";
        QTest::newRow("a date inside stays in the name") << "Plan tomorrow's talk"
                                                         << "Plan tomorrow's talk"
                                                         << ""
                                                         << "";
        QTest::newRow("all date is a name") << "tomorrow"
                                            << "tomorrow"
                                            << ""
                                            << "";
        QTest::newRow("the first category") << "Fix #bike #garage"
                                            << "Fix #garage"
                                            << "bike"
                                            << "";
        QTest::newRow("a lone hash is text") << "Sharp # key"
                                             << "Sharp # key"
                                             << ""
                                             << "";
        QTest::newRow("an impossible date is text") << "Party 2026-02-30"
                                                    << "Party 2026-02-30"
                                                    << ""
                                                    << "";
        QTest::newRow("spaces") << "  Call   Bob   #work  "
                                << "Call Bob"
                                << "work"
                                << "";
    }
    void readsNameCategoryAndTrailingDate() {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, category);
        QFETCH(QString, due);
        const FixedClock clock(localTime("2026-12-07 09:00:00")); // a Monday
        const std::optional<QuickAddItem> item = readQuickAddText(text);
        QVERIFY(item);
        QCOMPARE(item->name, name);
        QCOMPARE(item->category, category);
        QCOMPARE(item->due ? storedDateString(*item->due) : QString(), due);
    }

    void aLineWithoutANameIsRefused() {
        for (const char* text : {"", "   ", "#work", "#work  "})
            QVERIFY2(!readQuickAddText(QString::fromUtf8(text)), text);
    }
};

QTEST_GUILESS_MAIN(TestQuickAdd)
#include "tst_quick_add.moc"
