#include "gui_test_support.h"

#include "model/clock.h"
#include "model/keys.h"
#include "platform/user_defaults.h"
#include "window/due_date_format.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

class TestDueDateFormat : public QObject {
    Q_OBJECT
    const QDateTime _now{QDate(2024, 3, 10), QTime(14, 25)};

private slots:
    void initTestCase() { setUpGuiTest(); }
    void init() { Clock::setFixed(_now); }
    void cleanup() {
        Clock::reset();
        UserDefaults::standard().removeObject(pref::userShortDateFormat);
        UserDefaults::standard().removeObject(pref::userTimeFormat);
    }

    void theUsersFormatsReadBackWhatTheyShow() {
        UserDefaults::standard().setObject(pref::userShortDateFormat, "dd/MM/yy");
        UserDefaults::standard().setObject(pref::userTimeFormat, "h:mm AP");
        const QDateTime due(QDate(2031, 5, 17), QTime(21, 30));
        QCOMPARE(formatDueDate(due), QStringLiteral("17/05/31 9:30 PM"));
        QCOMPARE(parseDueDate(formatDueDate(due)), due); // a two-digit year is this century's
        QCOMPARE(parseDueDate("18/05/31"), QDateTime(QDate(2031, 5, 18), QTime(0, 0)));

        UserDefaults::standard().setObject(pref::userTimeFormat, "HH:mm");
        QCOMPARE(formatDueDate(due), QStringLiteral("17/05/31 21:30"));
        // Shown in local time, whatever offset it was stored with.
        QCOMPARE(formatDueDate(QDateTime(QDate(2031, 5, 17), QTime(19, 30), Qt::UTC)),
                 QStringLiteral("17/05/31 21:30"));
    }

    void otherWaysOfWritingADate_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("iso") << "2031-05-17 09:30" << QDateTime(QDate(2031, 5, 17), QTime(9, 30));
        QTest::newRow("iso date") << " 2031-05-17 " << QDateTime(QDate(2031, 5, 17), QTime(0, 0));
        QTest::newRow("stored") << "2031-05-17 09:30:00 +0000"
                                << QDateTime(QDate(2031, 5, 17), QTime(9, 30), Qt::OffsetFromUTC, 0);
        QTest::newRow("now") << "Now" << _now;
        QTest::newRow("tomorrow") << "tomorrow" << _now.addDays(1);
        QTest::newRow("yesterday") << "YESTERDAY" << _now.addDays(-1);
        QTest::newRow("empty") << "  " << QDateTime();
        QTest::newRow("words") << "next tuesday-ish" << QDateTime();
        QTest::newRow("impossible day") << "2031-02-30" << QDateTime();
    }
    void otherWaysOfWritingADate() {
        QFETCH(QString, typed);
        QFETCH(QDateTime, expected);
        const QDateTime parsed = parseDueDate(typed);
        QCOMPARE(parsed.isValid(), expected.isValid());
        if (expected.isValid())
            QCOMPARE(parsed.toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
    }
};

QTEST_MAIN(TestDueDateFormat)
#include "tst_due_date_format.moc"
