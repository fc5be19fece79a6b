// Undo steps as the commands open them: named groups that close however their scope is left, the
// event's step pushed when the event ends, the clean state, and forgetting every step when the list
// is replaced.
#include "document/undo_manager.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

using namespace tardigo;

namespace {

/// Registers an undo that appends `mark` to the log and registers its own inverse.
void record(UndoStack& undo, QStringList& log, const QString& mark) {
    undo.addUndoAction([&undo, &log, mark] {
        log << mark;
        record(undo, log, mark);
    });
}

/// Records under a group and leaves its scope early, as a command does when it finds nothing to do.
bool changeAndLeaveEarly(UndoStack& undo, QStringList& log) {
    const UndoGroup step(undo, QStringLiteral("Early"));
    record(undo, log, QStringLiteral("early"));
    return false;
}

} // namespace

class TestUndoStack : public QObject {
    Q_OBJECT

private slots:
    void groupsCloseWhenTheirScopeEnds() {
        UndoStack undo;
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
        QCOMPARE(undo.undoText(), QStringLiteral("Early"));
        undo.undo();
        QCOMPARE(log, QStringList{"early"});
        QCOMPARE(undo.undoText(), QStringLiteral("Indent"));
        undo.undo();
        QCOMPARE(log, (QStringList{"early", "b", "a"})); // newest first
        QVERIFY(!undo.canUndo());
        undo.redo();
        QCOMPARE(undo.undoText(), QStringLiteral("Indent"));
    }

    void oneEventIsOneStepOnTheStackNamedLast() {
        UndoStack undo;
        QStringList log;
        QSignalSpy titles(&undo.qUndoStack(), &QUndoStack::undoTextChanged);
        undo.setUndoText(QStringLiteral("delete"));
        record(undo, log, QStringLiteral("a"));
        QVERIFY(undo.isRecordingStep() && undo.qUndoStack().canUndo()); // the stack's Undo acts at once
        record(undo, log, QStringLiteral("b"));
        undo.setUndoText(QStringLiteral("Cut")); // a command that names the step after another's change
        QCOMPARE(undo.qUndoStack().count(), 1);
        QCOMPARE(titles.last().at(0).toString(), QStringLiteral("Cut"));
        const quint64 state = undo.currentState();
        QCoreApplication::processEvents(); // the event ends: what follows is another step
        QVERIFY(!undo.isRecordingStep());
        QCOMPARE(undo.currentState(), state);

        undo.undo();
        QCOMPARE(log, (QStringList{"b", "a"}));
        QCOMPARE(undo.currentState(), quint64(0));
        QCOMPARE(undo.redoText(), QStringLiteral("Cut"));
        undo.redo();
        QCOMPARE(log, (QStringList{"b", "a", "a", "b"})); // the inverses run newest first again
        QCOMPARE(undo.currentState(), state);             // a redone step keeps its number

        undo.undo();
        record(undo, log, QStringLiteral("c")); // a new change forgets what was undone, at once
        QVERIFY(!undo.canRedo());
        QVERIFY(undo.redoText().isEmpty());
        undo.redo();
        QCOMPARE(log.size(), 6);
        QCOMPARE(undo.qUndoStack().count(), 1);
        QCOMPARE(undo.undoText(), QString()); // the new step has no name
        QVERIFY(undo.currentState() != state);
    }

    void aStepThatLeavesNothingToTakeBackIsGone() {
        UndoStack undo;
        QStringList log;
        record(undo, log, QStringLiteral("kept"));
        undo.finishRecordingStep();
        undo.addUndoAction([&log] { log << QStringLiteral("once"); }); // adds no inverse
        undo.finishRecordingStep();
        undo.undo();
        QVERIFY(!undo.canRedo());
        QCOMPARE(undo.qUndoStack().count(), 1);
        undo.undo();
        QCOMPARE(log, (QStringList{"once", "kept"}));
    }

    void theCleanStateIsWhereTheStepsWereSavedAndIsLostWithTheStepsUndonePast() {
        UndoStack undo;
        QStringList log;
        QSignalSpy changed(&undo, &UndoStack::changed);
        QVERIFY(undo.isClean());
        record(undo, log, QStringLiteral("a"));
        QVERIFY(!undo.isClean());
        undo.setClean(); // a save: the step is closed first
        QVERIFY(undo.isClean());
        record(undo, log,
               QStringLiteral("after the save")); // a step of its own, not a change of the saved one
        QVERIFY(!undo.isClean());
        undo.undo();
        QVERIFY(undo.isClean());
        QCOMPARE(changed.count(), 5); // started, closed, started, closed, undone
        undo.undo();
        QVERIFY(!undo.isClean());
        undo.redo();
        QVERIFY(undo.isClean());

        // Forgetting the steps does not bring the list back to what was saved.
        record(undo, log, QStringLiteral("b"));
        undo.finishRecordingStep();
        undo.clear();
        QVERIFY(!undo.isClean());
        undo.setClean();
        undo.clear();
        QVERIFY(undo.isClean());

        // Undoing past the save and changing again leaves no way back to it.
        record(undo, log, QStringLiteral("c"));
        undo.setClean();
        undo.undo();
        record(undo, log, QStringLiteral("d"));
        undo.finishRecordingStep();
        undo.undo();
        QVERIFY(!undo.isClean());
    }

    void noTwoDocumentsReachTheSameState() {
        // What remembers a state of one list's steps (the agenda's Undo) must not find it in a list
        // closed and opened again, whose steps are numbered anew.
        UndoStack closed, reopened;
        QStringList log;
        record(closed, log, QStringLiteral("a"));
        closed.finishRecordingStep();
        record(reopened, log, QStringLiteral("b"));
        reopened.finishRecordingStep();
        QVERIFY(closed.currentState() != 0);
        QVERIFY(reopened.currentState() != closed.currentState());
    }

    void clearForgetsEveryStepButKeepsTheOpenGroupOpen() {
        UndoStack undo;
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
        QCOMPARE(undo.undoText(), QStringLiteral("Third"));
        undo.undo();
        QCOMPARE(log, (QStringList{"second", "third"}));
        QVERIFY(!undo.canUndo());
    }
};

QTEST_GUILESS_MAIN(TestUndoStack)
#include "tst_undo_manager.moc"
