#include "manual_timers.h"
#include "sync/sync_schedule.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;
using namespace std::chrono_literals;

// When a window's list syncs by itself, on a clock that moves only when the test moves it.
class TestSyncSchedule : public QObject {
    Q_OBJECT

    /// A schedule whose syncs run until the test ends them, counting each start.
    struct Fixture {
        test::ManualTimers timers{test::localTime("2024-03-01 09:00:00")};
        int started = 0;
        bool mayStart = true; // false: the list has unsaved changes
        SyncSchedule schedule{[this] {
                                  if (mayStart)
                                      ++started;
                                  return mayStart;
                              },
                              timers};

        void finish(bool succeeded = true) {
            QVERIFY(schedule.isSyncing());
            schedule.syncFinished(succeeded);
        }
    };

private slots:
    void minderPassesSyncAtMostOnceAMinute() {
        Fixture f;
        f.schedule.minderRan();
        QCOMPARE(f.started, 1);
        f.finish();

        f.timers.advance(10s);
        f.schedule.minderRan();
        f.schedule.minderRan(); // two passes in the minute make one sync at its end
        QCOMPARE(f.started, 1);
        QVERIFY(f.schedule.isWaiting());
        f.timers.advance(49s);
        QCOMPARE(f.started, 1);
        f.timers.advance(1s);
        QCOMPARE(f.started, 2);
        f.finish();

        // A pass long after the last sync starts one at once.
        f.timers.advance(5min);
        f.schedule.minderRan();
        QCOMPARE(f.started, 3);
        QCOMPARE(f.timers.pendingCount(), 0);
    }

    void aSaveSyncsOnlyWhatChangedSinceTheLastSync() {
        Fixture f;
        f.schedule.listSaved(); // nothing changed
        QCOMPARE(f.started, 0);

        f.schedule.listChanged();
        f.schedule.listSaved();
        QCOMPARE(f.started, 1);
        f.finish();
        f.timers.advance(2min);
        f.schedule.listSaved(); // saved again with no change since that sync began
        QCOMPARE(f.started, 1);

        // A change made while a sync runs is synced after it, once its minute is up.
        f.schedule.minderRan();
        QCOMPARE(f.started, 2);
        f.schedule.listChanged();
        f.schedule.listSaved();
        QCOMPARE(f.started, 2);
        f.timers.advance(5s);
        f.finish();
        QCOMPARE(f.started, 2);
        f.timers.advance(55s);
        QCOMPARE(f.started, 3);
    }

    void aListThatCannotSyncWaitsForItsSaveAndAFailureForTheNext() {
        Fixture f;
        f.mayStart = false; // unsaved changes in the window
        f.schedule.listChanged();
        f.schedule.minderRan();
        QVERIFY(!f.schedule.isSyncing());
        QVERIFY(!f.schedule.isWaiting());

        f.mayStart = true;
        f.schedule.listSaved(); // a refused start took no minute
        QCOMPARE(f.started, 1);
        f.finish(false);

        // The failed sync's changes are still to go: the next save syncs again, in its minute.
        f.schedule.listSaved();
        QCOMPARE(f.started, 1);
        f.timers.advance(60s);
        QCOMPARE(f.started, 2);
        f.finish();
    }

    void syncNowWaitsForNoMinuteButNeverRunsTwoSyncs() {
        Fixture f;
        f.schedule.minderRan();
        f.schedule.syncNow();
        QCOMPARE(f.started, 1); // the running sync ends first
        f.finish();
        QCOMPARE(f.started, 2); // then the user's at once, within the minute
        f.finish();

        f.schedule.minderRan();
        QVERIFY(f.schedule.isWaiting());
        f.schedule.syncNow(); // takes the place of the one waiting
        QCOMPARE(f.started, 3);
        f.finish();
        f.timers.advance(2min);
        QCOMPARE(f.started, 3);
    }

    // A list on a server syncs an interval after its last sync began, whatever began it; never
    // beside a running sync, and a start refused (a question on the window) is tried an interval on.
    void aListOnAServerSyncsOnItsOwnTimer() {
        Fixture f;
        f.schedule.setInterval(15min);
        f.timers.advance(15min);
        QCOMPARE(f.started, 1);
        f.finish();

        f.timers.advance(5min);
        f.schedule.syncNow(); // the user's sync puts the timer back
        QCOMPARE(f.started, 2);
        f.finish();
        f.timers.advance(14min);
        QCOMPARE(f.started, 2);
        f.timers.advance(1min);
        QCOMPARE(f.started, 3);

        f.timers.advance(20min); // still running when the timer is due: none beside it
        QCOMPARE(f.started, 3);
        f.finish();
        f.timers.advance(10min);
        QCOMPARE(f.started, 4);
        f.finish();

        f.mayStart = false;
        f.timers.advance(15min);
        QCOMPARE(f.started, 4);
        f.mayStart = true;
        f.timers.advance(15min);
        QCOMPARE(f.started, 5);
        f.finish();

        f.schedule.setInterval(std::nullopt);
        f.timers.advance(1h);
        QCOMPARE(f.started, 5);
        QCOMPARE(f.timers.pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSyncSchedule)
#include "tst_sync_schedule.moc"
