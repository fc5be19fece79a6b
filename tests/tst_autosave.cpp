#include "document/autosave_scheduler.h"
#include "document_fixture.h"
#include "manual_timers.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;
using namespace std::chrono_literals;

class TestAutosave : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    std::optional<DocumentTestStart> _start;

    /// A list saved to its file, with the saves the scheduler asked for counted.
    struct SavedList {
        OpenList list;
        ManualTimers& timers;
        std::vector<qint64> saveTimes;
        AutosaveScheduler::Outcome answer = AutosaveScheduler::Outcome::Saved;
        AutosaveScheduler* scheduler;

        SavedList(ManualTimers& t, const QString& path) : timers(t) {
            if (!path.isEmpty()) {
                QString error;
                QVERIFY(list.document.writeToFile(path, &error));
            }
            scheduler = new AutosaveScheduler(
                list.document, [this] { return save(); }, timers);
        }
        AutosaveScheduler::Outcome save() {
            saveTimes.push_back(Clock::nowMSecsSinceEpoch());
            if (answer == AutosaveScheduler::Outcome::Saved) {
                QString error;
                list.document.writeToFile(list.document.fileName(), &error);
            }
            return answer;
        }
        void change(const QString& name) {
            list.document.itemCommands().newItemWithName(name);
            OpenList::endEvent();
        }
    };

private slots:
    void init() {
        _start.emplace();
        Settings::instance().setAutoSave(true);
    }
    void cleanup() { _start.reset(); }

    void changesAreSavedAtMostOnceASecondAndTheLastOneAlways() {
        ManualTimers timers(Clock::now());
        SavedList saved(timers, _dir.filePath("quick.todo"));
        const qint64 start = Clock::nowMSecsSinceEpoch();
        saved.change("first");
        timers.runPending();
        QCOMPARE(saved.saveTimes, std::vector<qint64>{start}); // the first change goes at once
        QVERIFY(!saved.list.document.isDocumentEdited());
        for (const char* name : {"second", "third", "fourth"}) {
            timers.advance(100ms);
            saved.change(name);
        }
        timers.advance(600ms);
        QCOMPARE(saved.saveTimes.size(), size_t(1));
        timers.advance(100ms);
        QCOMPARE(saved.saveTimes, (std::vector<qint64>{start, start + 1000}));
        QVERIFY(!saved.list.document.isDocumentEdited());
        ListLoad onDisk = readListFile(_dir.filePath("quick.todo"));
        QCOMPARE(childNames(*onDisk.root), (QStringList{"first", "second", "third", "fourth"}));

        // An undo is a change too.
        saved.list.undo().undo();
        timers.advance(1s);
        QCOMPARE(saved.saveTimes.size(), size_t(3));
        QCOMPARE(childNames(*readListFile(_dir.filePath("quick.todo")).root),
                 (QStringList{"first", "second", "third"}));
    }

    void withAutosaveOffAChangeOnlyMarksTheList() {
        Settings::instance().setAutoSave(false);
        ManualTimers timers(Clock::now());
        SavedList saved(timers, _dir.filePath("off.todo"));
        saved.change("unsaved");
        timers.advance(5s);
        QVERIFY(saved.saveTimes.empty());
        QVERIFY(saved.list.document.isDocumentEdited());
        // Turning it on saves the list at once.
        saved.scheduler->autoSave();
        QCOMPARE(saved.saveTimes.size(), size_t(1));
        QVERIFY(!saved.list.document.isDocumentEdited());
    }

    void anUntitledListAsksForAFileOnce() {
        ManualTimers timers(Clock::now());
        SavedList saved(timers, QString());
        // Not while the user types: asked again a second later.
        saved.answer = AutosaveScheduler::Outcome::Postponed;
        saved.change("one");
        timers.runPending();
        QCOMPARE(saved.saveTimes.size(), size_t(1));
        QVERIFY(saved.scheduler->isSavePending());
        saved.answer = AutosaveScheduler::Outcome::Declined;
        timers.advance(1s);
        QCOMPARE(saved.saveTimes.size(), size_t(2));
        timers.advance(2s);
        saved.change("two");
        timers.advance(2s);
        saved.scheduler->autoSave();
        QCOMPARE(saved.saveTimes.size(), size_t(2));
        // Given a file by Save As, it is saved by itself again.
        saved.answer = AutosaveScheduler::Outcome::Saved;
        QString error;
        QVERIFY(saved.list.document.writeToFile(_dir.filePath("named.todo"), &error));
        saved.change("three");
        timers.advance(2s);
        QCOMPARE(saved.saveTimes.size(), size_t(3));
    }

    void theMindersOwnChangesAreSavedUnlessTheUsersWait() {
        Settings::instance().setAutoSave(false);
        ManualTimers timers(Clock::now());
        SavedList saved(timers, _dir.filePath("minded.todo"));
        saved.change("rent");
        QString error;
        QVERIFY(saved.list.document.writeToFile(saved.list.document.fileName(), &error));
        const NodePtr rent = childrenOf(*saved.list.document.data())->items[0].asDict();
        const auto announce = [&] { saved.list.document.minderWithNode(rent, "Past due", ItemStatusDue); };

        // Nothing of the user's unsaved: the notice's stamp is on disk at once, autosave off.
        announce();
        timers.runPending();
        QCOMPARE(saved.saveTimes.size(), size_t(1));
        QVERIFY(!saved.list.document.isDocumentEdited());
        QVERIFY(childAt(*childrenOf(*readListFile(saved.list.document.fileName()).root), 0)
                    ->contains(key::minderTimestampTodo));

        // With the user's change pending, the minder's waits for it.
        saved.change("unsaved");
        announce();
        timers.advance(5s);
        QCOMPARE(saved.saveTimes.size(), size_t(1));
        QVERIFY(saved.list.document.isDocumentEdited());

        // A change the user makes before the minder's is saved joins it too.
        QVERIFY(saved.list.document.writeToFile(saved.list.document.fileName(), &error));
        timers.advance(2s);
        announce();
        saved.change("typed meanwhile");
        timers.advance(5s);
        QCOMPARE(saved.saveTimes.size(), size_t(1));
        QVERIFY(saved.list.document.isDocumentEdited());
    }

    void aFailedSaveWaitsForTheNextGoodOneAndClosingCancels() {
        ManualTimers timers(Clock::now());
        SavedList saved(timers, _dir.filePath("failing.todo"));
        saved.answer = AutosaveScheduler::Outcome::Failed;
        saved.change("one");
        timers.advance(2s);
        saved.change("two");
        timers.advance(2s);
        QCOMPARE(saved.saveTimes.size(), size_t(1)); // one report, not one a second
        saved.answer = AutosaveScheduler::Outcome::Saved;
        QString error;
        QVERIFY(saved.list.document.writeToFile(saved.list.document.fileName(), &error)); // Ctrl+S
        saved.change("three");
        QVERIFY(saved.scheduler->isSavePending());
        saved.list.document.close();
        QVERIFY(!saved.scheduler->isSavePending());
        timers.advance(2s);
        QCOMPARE(saved.saveTimes.size(), size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestAutosave)
#include "tst_autosave.moc"
