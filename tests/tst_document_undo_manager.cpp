#include "document/undo_manager.h"

#include <QCoreApplication>
#include <QTest>

using namespace tardigo;

namespace {
// Ends the current user event: the undo manager closes the event's group on the next pass.
void endEvent() {
    QCoreApplication::processEvents();
}
} // namespace

class TestUndoManager : public QObject {
    Q_OBJECT
private slots:
    void oneEventIsOneStepUndoneNewestFirst() {
        UndoManager undo;
        std::vector<UndoManager::Change> changes;
        undo.setChangeHandler([&](UndoManager::Change c) { changes.push_back(c); });
        QStringList log;
        const int target = 0;

        undo.setActionName(QStringLiteral("set name"));
        undo.registerUndo(&target, [&] { log << QStringLiteral("first"); });
        undo.registerUndo(&target, [&] { log << QStringLiteral("second"); });
        QCOMPARE(undo.groupingLevel(), 1);
        QVERIFY(changes.empty()); // the step is complete only when the event ends
        endEvent();
        QCOMPARE(undo.groupingLevel(), 0);
        QCOMPARE(changes, std::vector{UndoManager::Change::StepRecorded});

        undo.registerUndo(&target, [&] { log << QStringLiteral("later"); });
        undo.setActionName(QStringLiteral("delete"));
        endEvent();
        QCOMPARE(undo.undoMenuItemTitle(), QStringLiteral("Undo delete"));

        undo.undo();
        QCOMPARE(log, QStringList{QStringLiteral("later")});
        QCOMPARE(undo.undoActionName(), QStringLiteral("set name"));
        undo.undo();
        QCOMPARE(log,
                 (QStringList{QStringLiteral("later"), QStringLiteral("second"), QStringLiteral("first")}));
        QVERIFY(!undo.canUndo());
        QCOMPARE(undo.undoMenuItemTitle(), QStringLiteral("Undo"));
        QCOMPARE(changes.size(), size_t(4));
        QCOMPARE(changes.back(), UndoManager::Change::StepUndone);
    }

    void groupsOpenedDuringAnEventFoldIntoIt() {
        UndoManager undo;
        int restored = 0;
        for (int item = 0; item < 3; ++item) {
            undo.beginUndoGrouping();
            undo.setActionName(QStringLiteral("set completion"));
            undo.registerUndo(this, [&] { ++restored; });
            undo.endUndoGrouping();
        }
        QCOMPARE(undo.groupingLevel(), 1);
        // Undo within the same event closes the event's group first.
        QCOMPARE(undo.undoActionName(), QStringLiteral("set completion"));
        undo.undo();
        QCOMPARE(restored, 3);
        QVERIFY(!undo.canUndo());
    }

    void anEventWithoutRegistrationsLeavesNoStep() {
        UndoManager undo;
        bool recorded = false;
        undo.setChangeHandler([&](UndoManager::Change) { recorded = true; });
        undo.setActionName(QStringLiteral("set name"));
        endEvent();
        QVERIFY(!undo.canUndo());
        QVERIFY(!recorded);
    }

    void undoingRecordsNothingSoNothingCanBeRedone() {
        UndoManager undo;
        int value = 1;
        std::function<void(int)> set = [&](int v) {
            const int old = value;
            value = v;
            undo.registerUndo(this, [&set, old] { set(old); }); // what a redoing platform would record
        };
        set(2);
        endEvent();
        undo.undo();
        QCOMPARE(value, 1);
        QVERIFY(!undo.isUndoing());
        endEvent();
        QVERIFY(!undo.canUndo());
    }

    void closingADocumentRemovesItsSteps() {
        UndoManager undo;
        const int documentA = 0, documentB = 0;
        QStringList log;
        undo.registerUndo(&documentA, [&] { log << QStringLiteral("A1"); });
        endEvent();
        undo.registerUndo(&documentA, [&] { log << QStringLiteral("A2"); });
        undo.registerUndo(&documentB, [&] { log << QStringLiteral("B2"); });
        endEvent();
        undo.registerUndo(&documentA, [&] { log << QStringLiteral("A3"); });
        // Removed while the step is still being recorded, too.
        undo.removeAllActionsWithTarget(&documentA);
        endEvent();
        undo.undo();
        QCOMPARE(log, QStringList{QStringLiteral("B2")});
        QVERIFY(!undo.canUndo());
    }

    void undoWaitsForAnExplicitGroupToClose() {
        UndoManager undo;
        int restored = 0;
        undo.beginUndoGrouping();
        undo.registerUndo(this, [&] { ++restored; });
        undo.undo();
        QCOMPARE(restored, 0);
        undo.endUndoGrouping();
        undo.undo();
        QCOMPARE(restored, 1);
    }
};

QTEST_GUILESS_MAIN(TestUndoManager)
#include "tst_document_undo_manager.moc"
