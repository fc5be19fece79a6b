#include "alerts/alert_queue.h"
#include "fake_message_host.h"

#include <QTest>

#include <memory>

using namespace tardigo;
using tardigo::test::FakeMessageHost;

namespace {

QStringList titles(const std::vector<Message>& messages) {
    QStringList result;
    for (const Message& message : messages)
        result.append(message.title);
    return result;
}

QString describe(MessageAnswer answer) {
    return QString::number(int(answer.role)) + u'/' + QString::number(answer.actionIndex);
}

} // namespace

class TestAlertQueue : public QObject {
    Q_OBJECT
private slots:
    void burstIsShownOneAfterAnother_data() {
        QTest::addColumn<bool>("callerHandles");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("queue handles, accepted") << false << MessageAnswer{MessageRole::Accept};
        QTest::newRow("queue handles, rejected") << false << MessageAnswer{MessageRole::Reject};
        QTest::newRow("caller handles, rejected") << true << MessageAnswer{MessageRole::Reject};
        QTest::newRow("caller handles, destructive") << true << MessageAnswer{MessageRole::Destructive};
        QTest::newRow("caller handles, an action") << true << actionAnswer(1);
    }
    void burstIsShownOneAfterAnother() {
        QFETCH(bool, callerHandles);
        QFETCH(MessageAnswer, answer);
        FakeMessageHost window;
        AlertQueue queue(window);
        QStringList answered;

        for (const QString& title : QStringList{"first", "second", "third"}) {
            AnswerHandler onAnswer;
            if (callerHandles)
                onAnswer = [&answered, title](MessageAnswer given) {
                    answered.append(title + ':' + describe(given));
                };
            queue.addAlert(title, "text", false, "OK", "View Item", std::nullopt, onAnswer);
        }
        QCOMPARE(titles(window.shown), QStringList{"first"});
        QCOMPARE(queue.pendingCount(), 2);

        window.answer(answer);
        QCOMPARE(titles(window.shown), (QStringList{"first", "second"}));
        QCOMPARE(queue.pendingCount(), 1);

        window.answer(answer);
        QCOMPARE(titles(window.shown), (QStringList{"first", "second", "third"}));
        QCOMPARE(queue.pendingCount(), 0);

        window.answer(answer);
        QCOMPARE(window.shown.size(), size_t(3));
        QVERIFY(!window.isShowingMessage());
        QCOMPARE(window.overlapping, 0);
        if (callerHandles) {
            const QString code = describe(answer);
            QCOMPARE(answered, (QStringList{"first:" + code, "second:" + code, "third:" + code}));
        }
    }

    void anotherMessageHoldsBackAlertsShownAsGiven() {
        FakeMessageHost window;
        AlertQueue queue(window);
        Message elsewhere;
        elsewhere.title = "opened without the queue";
        window.open(elsewhere, {});
        queue.addAlert("first", "text", false, std::nullopt, std::nullopt, std::nullopt);
        const QString text = "\"50% done\"\n%@ %1 %d %%";
        queue.addAlert("second", text, true, "Purge", "Cancel", std::nullopt);
        QCOMPARE(titles(window.shown), QStringList{elsewhere.title});
        QCOMPARE(queue.pendingCount(), 2);

        window.answer({MessageRole::Accept});
        QCOMPARE(titles(window.shown), (QStringList{elsewhere.title, "first"}));
        window.answer({MessageRole::Reject});
        QCOMPARE(titles(window.shown), (QStringList{elsewhere.title, "first", "second"}));
        const Message& shown = window.shown.back();
        QVERIFY(shown.isCritical);
        QCOMPARE(shown.text, text);
        QCOMPARE(shown.acceptButton, std::optional<QString>("Purge"));
        QCOMPARE(shown.rejectButton, std::optional<QString>("Cancel"));
        QCOMPARE(shown.destructiveButton, std::nullopt);
        QCOMPARE(window.overlapping, 0);
    }

    void closedQueueDropsItsPendingAlerts() {
        FakeMessageHost window;
        auto context = std::make_shared<QString>("copy of the item");
        const std::weak_ptr<QString> watched = context;
        {
            AlertQueue queue(window);
            queue.addAlert("showing", "text", false, std::nullopt, std::nullopt, std::nullopt);
            queue.addAlert("pending", "text", false, std::nullopt, std::nullopt, std::nullopt,
                           [context](MessageAnswer) { QFAIL("a dropped alert was answered"); });
            context.reset();
            QVERIFY(!watched.expired());
        }
        QVERIFY(watched.expired());
        // The message still on screen closes after its queue is gone.
        window.answer({MessageRole::Accept});
        QCOMPARE(titles(window.shown), QStringList{"showing"});
    }

    void windowAnsweringAtOnceShowsEachAlertOnce() {
        FakeMessageHost window;
        AlertQueue queue(window);
        window.open(Message{}, {});
        window.answerAtOnce = MessageAnswer{MessageRole::Accept};
        for (const QString& title : QStringList{"first", "second", "third"})
            queue.addAlert(title, "text", false, std::nullopt, std::nullopt, std::nullopt);
        window.answer({MessageRole::Accept});
        QCOMPARE(titles(window.shown), (QStringList{QString(), "first", "second", "third"}));
        QCOMPARE(queue.pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAlertQueue)
#include "tst_alert_queue.moc"
