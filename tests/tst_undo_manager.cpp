// Undo steps as the commands open them: named groups that close however their scope is left, and
// forgetting every step when the list is replaced.
#include "document/undo_manager.h"

#include <QTest>

using namespace tardigo;

namespace {

/// Registers an undo that appends `mark` to the log and registers its own inverse.
void record(UndoManager& undo, QStringList& log, const QString& mark) {
    undo.registerUndo([&undo, &log, mark] {
        log << mark;
        record(undo, log, mark);
    });
}

/// Records under a group and leaves its scope early, as a command does when it finds nothing to do.
bool changeAndLeaveEarly(UndoManager& undo, QStringList& log) {
    const UndoGroup step(undo, QStringLiteral("Early"));
    record(undo, log, QStringLiteral("early"));
    return false;
}

} // namespace

class TestUndoManager : public QObject {
    Q_OBJECT

private slots:
    void groupsCloseWhenTheirScopeEnds() {
        UndoManager undo;
        QStringList log;
        {
            const UndoGroup outer(undo, QStringLiteral("Move"));
            record(undo, log, QStringLiteral("a"));
            const UndoGroup inner(undo, QStringLiteral("Indent")); // nested: the name given last stands
            record(undo, log, QStringLiteral("b"));
        }
        undo.finishRecordingStep(); // as the end of the event does
        QVERIFY(!changeAndLeaveEarly(undo, log));
        undo.finishRecordingStep();
        QVERIFY(!undo.isRecordingStep());
        QCOMPARE(undo.undoActionName(), QStringLiteral("Early"));
        undo.undo();
        QCOMPARE(log, QStringList{"early"});
        QCOMPARE(undo.undoActionName(), QStringLiteral("Indent"));
        undo.undo();
        QCOMPARE(log, (QStringList{"early", "b", "a"})); // newest first
        QVERIFY(!undo.canUndo());
        undo.redo();
        QCOMPARE(undo.undoActionName(), QStringLiteral("Indent"));
    }

    void noTwoDocumentsReachTheSameState() {
        // What remembers a state of one list's steps (the agenda's Undo) must not find it in a list
        // closed and opened again, whose steps are numbered anew.
        UndoManager closed, reopened;
        QStringList log;
        record(closed, log, QStringLiteral("a"));
        closed.finishRecordingStep();
        record(reopened, log, QStringLiteral("b"));
        reopened.finishRecordingStep();
        QVERIFY(closed.currentState() != 0);
        QVERIFY(reopened.currentState() != closed.currentState());
    }

    void clearForgetsEveryStepButKeepsTheOpenGroupOpen() {
        UndoManager undo;
        QStringList log;
        {
            const UndoGroup first(undo, QStringLiteral("First"));
            record(undo, log, QStringLiteral("first"));
        }
        undo.finishRecordingStep();
        {
            const UndoGroup second(undo, QStringLiteral("Second"));
            record(undo, log, QStringLiteral("second"));
        }
        undo.finishRecordingStep();
        undo.undo();
        QVERIFY(undo.canUndo() && undo.canRedo());
        {
            const UndoGroup third(undo, QStringLiteral("Third"));
            record(undo, log, QStringLiteral("gone"));
            undo.clear();
            QVERIFY(!undo.canUndo() && !undo.canRedo());
            record(undo, log, QStringLiteral("third")); // what comes after the clear is still a step
        }
        undo.finishRecordingStep();
        QCOMPARE(undo.undoActionName(), QStringLiteral("Third"));
        undo.undo();
        QCOMPARE(log, (QStringList{"second", "third"}));
        QVERIFY(!undo.canUndo());
    }
};

QTEST_GUILESS_MAIN(TestUndoManager)
#include "tst_undo_manager.moc"
