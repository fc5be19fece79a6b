#include "document/tardigo_document.h"
#include "minder/beep_channel.h"
#include "minder/desktop_notification_channel.h"
#include "minder/item_status.h"
#include "minder/mail_channel.h"
#include "minder/minder_host.h"
#include "minder/notice_delivery.h"
#include "minder/recording_error_reporter.h"
#include "minder/speech_channel.h"
#include "minder/tw_alert_array.h"
#include "model/keys.h"
#include "platform/user_defaults.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

#include <map>

using namespace tardigo;

namespace {

class NoticeTexts : public QTranslator {
public:
    QString translate(const char*, const char* key, const char*, int) const override {
        const QByteArray k(key);
        if (k == "Tardigo Minder Notification")
            return QStringLiteral("Minder says");
        if (k == "View Item")
            return QStringLiteral("Show");
        if (k == "MINDER_EMAIL_SUBJECT_OVERDUE")
            return QStringLiteral("overdue: %1");
        if (k == "MINDER_EMAIL_SUBJECT_REMINDER")
            return QStringLiteral("reminder: %1");
        return {};
    }
    bool isEmpty() const override { return false; }
};

// Everything the delivery does, in the order it did it.
using Log = QStringList;

class RecordingHost : public MinderHost {
public:
    explicit RecordingHost(Log& log) : _log(log) {}
    TWAlertArray* alerts = nullptr;

    TardigoDocument* documentForFileName(const QString&) override { return nullptr; }
    TardigoDocument* openDocumentWithoutDisplay(const QString&) override { return nullptr; }
    void removeDocument(TardigoDocument*) override {}
    void showWindows(TardigoDocument& doc) override { _log << "show " + doc.fileName(); }
    void minderWithNode(TardigoDocument&, const NodePtr& node, const QString& message, int status) override {
        // The document records the notice before any channel sees the node.
        _log << QStringLiteral("record %1 %2 %3").arg(status).arg(message).arg(node->contains(key::docPath));
    }
    TWAlertArray* alertArray(TardigoDocument&) override { return alerts; }

private:
    Log& _log;
};

class RecordingChannels : public BeepChannel,
                          public SpeechChannel,
                          public DesktopNotificationChannel,
                          public MailChannel {
public:
    explicit RecordingChannels(Log& log) : _log(log) {}
    std::vector<MailMessage> mails;

    void beep() override { _log << "beep"; }
    void VKSpeak(const QString& text) override { _log << "speak " + text; }
    void notify(const QString& summary, const QString& body) override {
        _log << "notify " + summary + "|" + body;
    }
    std::optional<QString> userEmailAddress() const override { return QStringLiteral("me@example.org"); }
    bool deliverMessage(const MailMessage& message) override {
        _log << "mail " + message.subject;
        mails.push_back(message);
        return true;
    }
    NoticeChannels all() { return {this, this, this, this}; }

private:
    Log& _log;
};

// A window with one sheet at a time; the test ends sheets as the user would.
class FakeSheetWindow : public SheetWindow {
public:
    std::vector<AlertSheet> shown;

    bool hasAttachedSheet() const override { return _dismissal.has_value(); }
    void beginAlertSheet(const AlertSheet& sheet, AlertDismissal didDismiss) override {
        shown.push_back(sheet);
        _dismissal = std::move(didDismiss);
    }
    int addSheetEndedObserver(std::function<void()> observer) override {
        _observers[++_lastToken] = std::move(observer);
        return _lastToken;
    }
    void removeSheetEndedObserver(int token) override { _observers.erase(token); }

    void answer(int returnCode) {
        AlertDismissal dismissal = std::move(*_dismissal);
        _dismissal.reset();
        for (const auto& [token, observer] : std::map(_observers))
            observer();
        dismissal(returnCode);
    }

private:
    std::optional<AlertDismissal> _dismissal;
    std::map<int, std::function<void()>> _observers;
    int _lastToken = 0;
};

NodePtr item(const QString& name) {
    NodePtr node = Dict::create();
    node->set(key::name, name);
    node->set(key::due, "2003-05-17 14:03:22 +0200");
    return node;
}

void setChannelPreferences(bool dialog, bool sound, bool speak, bool notify) {
    UserDefaults& defaults = UserDefaults::standard();
    defaults.setBool(pref::minderAlertDialog, dialog);
    defaults.setBool(pref::minderAlertSound, sound);
    defaults.setBool(pref::minderSpeak, speak);
    defaults.setBool(pref::minderDesktopNotification, notify);
}

} // namespace

class TestNoticeDelivery : public QObject {
    Q_OBJECT

    TardigoDocument _doc;
    NoticeTexts _texts;

private slots:
    void initTestCase() {
        QCoreApplication::installTranslator(&_texts);
        UserDefaults::standard().useMemoryOnly();
        _doc.setFileName(QStringLiteral("/lists/home.todo"));
    }

    void eachChannelFollowsItsPreference_data() {
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<bool>("speak");
        QTest::addColumn<bool>("notify");
        QTest::addColumn<bool>("mail");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("keysWritten");
        const QString notice = "\"Pay rent\"\nPast due";
        QTest::newRow("all off") << false << false << false << false << false << QStringList() << false;
        QTest::newRow("dialog only") << true << false << false << false << false << QStringList() << true;
        QTest::newRow("sound only") << false << true << false << false << false << QStringList{"beep"}
                                    << false;
        QTest::newRow("speech only") << false << false << true << false << false
                                     << QStringList{"speak Pay rent"} << false;
        QTest::newRow("notification only") << false << false << false << true << false
                                           << QStringList{"notify Minder says|" + notice} << false;
        QTest::newRow("mail only") << false << false << false << false << true
                                   << QStringList{"mail overdue: Pay rent"} << false;
        QTest::newRow("all on, in order")
            << true << true << true << true << true
            << QStringList{"beep", "speak Pay rent", "notify Minder says|" + notice, "mail overdue: Pay rent"}
            << true;
    }
    void eachChannelFollowsItsPreference() {
        QFETCH(bool, dialog);
        QFETCH(bool, sound);
        QFETCH(bool, speak);
        QFETCH(bool, notify);
        QFETCH(bool, mail);
        QFETCH(QStringList, after);
        QFETCH(bool, keysWritten);
        setChannelPreferences(dialog, sound, speak, notify);
        Log log;
        RecordingHost host(log);
        RecordingChannels channels(log);
        RecordingErrorReporter reporter;
        const NodePtr node = item("Pay rent");
        NoticeDelivery(host, channels.all(), reporter, mail)
            .notificationForDoc(_doc, "Past due", ItemStatusDue, node);
        // The window is shown and the notice recorded whatever the preferences say.
        QCOMPARE(log, QStringList({"show /lists/home.todo", "record 2 Past due 0"}) + after);
        QCOMPARE(node->contains(key::docPath), keysWritten);
        QCOMPARE(node->contains(key::nodeStatus), keysWritten);
        QCOMPARE(reporter.messages, QStringList());
    }

    void aMissingChannelIsSkipped() {
        setChannelPreferences(true, true, true, true);
        Log log;
        RecordingHost host(log);
        RecordingErrorReporter reporter;
        NoticeDelivery(host, NoticeChannels{}, reporter, true)
            .notificationForDoc(_doc, "Reminder!", ItemStatusReminder, item("Call Bob"));
        QCOMPARE(log, QStringList({"show /lists/home.todo", "record 3 Reminder! 0"}));
        QCOMPARE(reporter.messages, QStringList());
    }

    void theSheetCarriesACopyOfTheNotice() {
        setChannelPreferences(true, false, false, false);
        Log log;
        RecordingHost host(log);
        auto window = std::make_shared<FakeSheetWindow>();
        TWAlertArray alerts(window);
        host.alerts = &alerts;
        RecordingErrorReporter reporter;
        NoticeDelivery delivery(host, NoticeChannels{}, reporter, false);
        std::vector<std::pair<int, NodePtr>> dismissed;
        delivery.setSheetDismissal(
            [&](int code, const NodePtr& context) { dismissed.emplace_back(code, context); });

        const NodePtr node = item("100% of %1 done");
        delivery.notificationForDoc(_doc, "Reminder! %2", ItemStatusReminder, node);
        QCOMPARE(window->shown.size(), size_t(1));
        const AlertSheet& sheet = window->shown[0];
        QCOMPARE(sheet.title, "Minder says");
        QCOMPARE(sheet.message, "\"100% of %1 done\"\nReminder! %2");
        QCOMPARE(sheet.defaultButton, std::optional<QString>("OK"));
        QCOMPARE(sheet.alternateButton, std::optional<QString>("Show"));
        QCOMPARE(sheet.otherButton, std::nullopt);
        QVERIFY(!sheet.isCritical);
        QCOMPARE(node->value(key::docPath), Value("/lists/home.todo"));
        QCOMPARE(node->value(key::nodeStatus), Value::integer(ItemStatusReminder));

        node->set(key::name, "renamed since");
        window->answer(AlertAlternateReturn);
        QCOMPARE(dismissed.size(), size_t(1));
        QCOMPARE(dismissed[0].first, int(AlertAlternateReturn));
        const NodePtr context = dismissed[0].second;
        QVERIFY(context != node);
        QCOMPARE(context->value(key::name), Value("100% of %1 done"));
        QCOMPARE(context->value(key::docPath), Value("/lists/home.todo"));
        QCOMPARE(context->value(key::nodeStatus), Value::integer(ItemStatusReminder));
    }

    void noticesOfOneListQueueBehindEachOther_data() {
        QTest::addColumn<bool>("withDismissal");
        QTest::newRow("application handles the answer") << true;
        QTest::newRow("queue handles the answer") << false;
    }
    void noticesOfOneListQueueBehindEachOther() {
        QFETCH(bool, withDismissal);
        setChannelPreferences(true, false, false, false);
        Log log;
        RecordingHost host(log);
        auto window = std::make_shared<FakeSheetWindow>();
        TWAlertArray alerts(window);
        host.alerts = &alerts;
        RecordingErrorReporter reporter;
        NoticeDelivery delivery(host, NoticeChannels{}, reporter, false);
        QStringList answered;
        if (withDismissal)
            delivery.setSheetDismissal(
                [&](int, const NodePtr& context) { answered << *context->value(key::name).asString(); });

        for (const char* name : {"one", "two", "three"})
            delivery.notificationForDoc(_doc, "Past due", ItemStatusDue, item(name));
        QCOMPARE(window->shown.size(), size_t(1));
        window->answer(AlertDefaultReturn);
        QCOMPARE(window->shown.size(), size_t(2));
        window->answer(AlertAlternateReturn);
        QCOMPARE(window->shown.size(), size_t(3));
        window->answer(AlertDefaultReturn);
        QStringList messages;
        for (const AlertSheet& sheet : window->shown)
            messages << sheet.message;
        QCOMPARE(messages, QStringList({"\"one\"\nPast due", "\"two\"\nPast due", "\"three\"\nPast due"}));
        QCOMPARE(answered, withDismissal ? QStringList({"one", "two", "three"}) : QStringList());
        QCOMPARE(alerts.pendingCount(), 0);
    }

    void eachNoticeSendsOneMailWithTheSubjectOfItsKind() {
        setChannelPreferences(false, false, false, false);
        Log log;
        RecordingHost host(log);
        RecordingChannels channels(log);
        RecordingErrorReporter reporter;
        NoticeDelivery delivery(host, channels.all(), reporter, true);
        delivery.notificationForDoc(_doc, "Past due", ItemStatusDue, item("Pay rent"));
        delivery.notificationForDoc(_doc, "Reminder!", ItemStatusReminder, item("Call Bob"));
        QCOMPARE(channels.mails.size(), size_t(2));
        QCOMPARE(channels.mails[0].subject, "overdue: Pay rent");
        QCOMPARE(channels.mails[1].subject, "reminder: Call Bob");
        for (const MailMessage& mail : channels.mails) {
            QCOMPARE(mail.to, "me@example.org");
            QCOMPARE(mail.mailer, "Tardigo.app / tardigo-minder");
        }
    }
};

QTEST_GUILESS_MAIN(TestNoticeDelivery)
#include "tst_notice_delivery.moc"
