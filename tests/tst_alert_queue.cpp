#include "alerts/alert_queue.h"

#include <QTest>

#include <map>

using namespace tardigo;

namespace {

// A window that carries one sheet at a time, like a document window; tests end its sheets by hand.
class FakeSheetWindow : public SheetWindow {
public:
    std::vector<AlertSheet> shown;
    int overlappingSheets = 0;
    bool dismissBeforeNotifying = false;
    std::optional<AlertReturn> answerAtOnce; // ends every alert sheet inside beginAlertSheet

    bool hasAttachedSheet() const override { return _foreignSheet || _alert.has_value(); }
    void beginAlertSheet(const AlertSheet& sheet, AlertDismissal onDismiss) override {
        if (hasAttachedSheet())
            ++overlappingSheets;
        shown.push_back(sheet);
        _alert = std::move(onDismiss);
        if (answerAtOnce)
            endAlertSheet(*answerAtOnce);
    }
    int addSheetEndedObserver(std::function<void()> observer) override {
        _observers[++_lastToken] = std::move(observer);
        return _lastToken;
    }
    void removeSheetEndedObserver(int token) override { _observers.erase(token); }

    qsizetype observerCount() const { return qsizetype(_observers.size()); }
    void beginForeignSheet() { _foreignSheet = true; }
    void endForeignSheet() {
        _foreignSheet = false;
        notifySheetEnded();
    }
    void endAlertSheet(AlertReturn answer) {
        QVERIFY(_alert);
        AlertDismissal onDismiss = std::move(*_alert);
        _alert.reset();
        if (dismissBeforeNotifying)
            onDismiss(answer);
        notifySheetEnded();
        if (!dismissBeforeNotifying)
            onDismiss(answer);
    }

private:
    void notifySheetEnded() {
        const auto observers = _observers;
        for (const auto& [token, observer] : observers)
            observer();
    }

    bool _foreignSheet = false;
    std::optional<AlertDismissal> _alert;
    std::map<int, std::function<void()>> _observers;
    int _lastToken = 0;
};

QStringList titles(const std::vector<AlertSheet>& sheets) {
    QStringList result;
    for (const AlertSheet& sheet : sheets)
        result.append(sheet.title);
    return result;
}

} // namespace

class TestAlertQueue : public QObject {
    Q_OBJECT
private slots:
    void burstIsShownOneAfterAnother_data() {
        QTest::addColumn<bool>("callerHandles");
        QTest::addColumn<AlertReturn>("answer");
        QTest::addColumn<bool>("dismissBeforeNotifying");
        QTest::newRow("queue handles, default") << false << AlertReturn::Default << false;
        QTest::newRow("queue handles, alternate") << false << AlertReturn::Alternate << false;
        QTest::newRow("queue handles, default, dismissed first") << false << AlertReturn::Default << true;
        QTest::newRow("caller handles, alternate") << true << AlertReturn::Alternate << false;
        QTest::newRow("caller handles, other, dismissed first") << true << AlertReturn::Other << true;
    }
    void burstIsShownOneAfterAnother() {
        QFETCH(bool, callerHandles);
        QFETCH(AlertReturn, answer);
        QFETCH(bool, dismissBeforeNotifying);
        auto window = std::make_shared<FakeSheetWindow>();
        window->dismissBeforeNotifying = dismissBeforeNotifying;
        AlertQueue queue(window);
        QStringList answered;

        for (const QString title : {"first", "second", "third"}) {
            AlertDismissal onDismiss;
            if (callerHandles)
                onDismiss = [&answered, title](AlertReturn code) {
                    answered.append(title + ':' + QString::number(int(code)));
                };
            queue.addAlert(title, "text", false, "OK", "View Item", std::nullopt, onDismiss);
        }
        QCOMPARE(titles(window->shown), QStringList{"first"});
        QCOMPARE(queue.pendingCount(), 2);
        QVERIFY(queue.isWaitingForSheet());

        window->endAlertSheet(answer);
        QCOMPARE(titles(window->shown), (QStringList{"first", "second"}));
        QVERIFY(queue.isWaitingForSheet());

        window->endAlertSheet(answer);
        QCOMPARE(titles(window->shown), (QStringList{"first", "second", "third"}));
        QCOMPARE(queue.pendingCount(), 0);
        QVERIFY(!queue.isWaitingForSheet());

        window->endAlertSheet(answer);
        QCOMPARE(window->shown.size(), size_t(3));
        QVERIFY(!window->hasAttachedSheet());
        QCOMPARE(window->overlappingSheets, 0);
        if (callerHandles) {
            const QString code = QString::number(int(answer));
            QCOMPARE(answered, (QStringList{"first:" + code, "second:" + code, "third:" + code}));
        }
    }

    void foreignSheetHoldsBackAlertsShownAsGiven() {
        auto window = std::make_shared<FakeSheetWindow>();
        AlertQueue queue(window);
        window->beginForeignSheet();
        queue.addAlert("first", "text", false, std::nullopt, std::nullopt, std::nullopt);
        const QString message = "\"50% done\"\n%@ %1 %d %%";
        queue.addAlert("second", message, true, "Purge", "Cancel", std::nullopt);
        QVERIFY(window->shown.empty());
        QVERIFY(queue.isWaitingForSheet());

        window->endForeignSheet();
        QCOMPARE(titles(window->shown), QStringList{"first"});
        // Ended without the default button: only the window's notice brings the next one.
        window->endAlertSheet(AlertReturn::Alternate);
        QCOMPARE(titles(window->shown), (QStringList{"first", "second"}));
        const AlertSheet& sheet = window->shown.back();
        QVERIFY(sheet.isCritical);
        QCOMPARE(sheet.message, message);
        QCOMPARE(sheet.defaultButton, std::optional<QString>("Purge"));
        QCOMPARE(sheet.alternateButton, std::optional<QString>("Cancel"));
        QCOMPARE(sheet.otherButton, std::nullopt);
        QCOMPARE(window->overlappingSheets, 0);
    }

    void closedQueueDropsItsPendingAlerts() {
        auto window = std::make_shared<FakeSheetWindow>();
        auto context = std::make_shared<QString>("copy of the item");
        const std::weak_ptr<QString> watched = context;
        {
            AlertQueue queue(window);
            queue.addAlert("showing", "text", false, std::nullopt, std::nullopt, std::nullopt);
            queue.addAlert("pending", "text", false, std::nullopt, std::nullopt, std::nullopt,
                           [context](AlertReturn) { QFAIL("a dropped alert was answered"); });
            context.reset();
            QVERIFY(!watched.expired());
        }
        QVERIFY(watched.expired());
        QCOMPARE(window->observerCount(), 0);
        // The sheet still on screen ends after its queue is gone.
        window->endAlertSheet(AlertReturn::Default);
        QCOMPARE(titles(window->shown), QStringList{"showing"});
    }

    void windowAnsweringAtOnceShowsEachAlertOnce() {
        auto window = std::make_shared<FakeSheetWindow>();
        window->answerAtOnce = AlertReturn::Default;
        AlertQueue queue(window);
        window->beginForeignSheet();
        for (const QString title : {"first", "second", "third"})
            queue.addAlert(title, "text", false, std::nullopt, std::nullopt, std::nullopt);
        window->endForeignSheet();
        QCOMPARE(titles(window->shown), (QStringList{"first", "second", "third"}));
        QCOMPARE(queue.pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAlertQueue)
#include "tst_alert_queue.moc"
