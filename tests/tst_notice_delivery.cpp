#include "alerts/alert_queue.h"
#include "document/tardigo_document.h"
#include "document_fixture.h"
#include "minder/item_status.h"
#include "minder/minder_host.h"
#include "minder/notice_channels.h"
#include "minder/notice_delivery.h"
#include "minder/recording_error_reporter.h"
#include "model/keys.h"
#include "notice_channels/sendmail_mail_channel.h"
#include "platform/settings.h"
#include "rich_text/notes_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <limits>
#include <map>

using namespace tardigo;
using tardigo::test::FakeMessageHost;

namespace {

// Every field of a text in its own slot, so that a test sees which value went where.
class NoticeTexts : public QTranslator {
public:
    QString translate(const char*, const char* key, const char*, int) const override {
        static const std::map<QByteArray, QString> texts = {
            {"Tardigo Minder Notification", "Minder says"},
            {"View Item", "Show"},
            {"Remind Me in 10 Minutes", "+10m"},
            {"Remind Me in 1 Hour", "+1h"},
            {"Remind Me Tomorrow", "+1d"},
            {"Tardigo: past due: %1", "overdue: %1"},
            {"Tardigo reminder: %1", "reminder: %1"},
            {"%1\n\nItem: %2\nDue: %3\nComplete: %4\nCategory: %5\n\nNotes:\n%6\n\n-- \nSent by the Tardigo "
             "Minder.\n",
             "msg=%1|name=%2|due=%3|done=%4|cat=%5|notes=%6"}};
        const auto found = texts.find(key);
        return found == texts.end() ? QString() : found->second;
    }
    bool isEmpty() const override { return false; }
};

// Everything the delivery does, in the order it did it.
class Recorder : public MinderHost,
                 public BeepChannel,
                 public SpeechChannel,
                 public DesktopNotificationChannel,
                 public MailChannel {
public:
    QStringList log;
    std::vector<MailMessage> mails;
    AlertQueue* alerts = nullptr;
    std::optional<QString> address = QStringLiteral("me@example.org");

    MinderDocument* documentForFileName(const QString&) override { return nullptr; }
    MinderDocument* openDocumentWithoutDisplay(const QString&, const ListLoad&) override { return nullptr; }
    void removeDocument(MinderDocument*) override {}
    void showWindows(MinderDocument& doc) override { log << "show " + doc.fileName(); }
    void minderWithNode(MinderDocument&, const NodePtr& node, const QString& message,
                        ItemStatus status) override {
        // The document records the notice before any channel has written into the node.
        log << QStringLiteral("record %1 %2 %3").arg(status).arg(message).arg(node->contains(key::docPath));
    }
    AlertQueue* alertQueue(MinderDocument&) override { return alerts; }
    void beep() override { log << "beep"; }
    void speak(const QString& text) override { log << "speak " + text; }
    void notify(const QString& summary, const QString& body) override {
        log << "notify " + summary + "|" + body;
    }
    void notifyWithChoices(const QString& summary, const QString& body,
                           const QList<NotificationChoice>& offered,
                           std::function<void(const QString&)> chosen) override {
        log << "notify with choices " + summary + "|" + body;
        choices = offered;
        choose = std::move(chosen);
    }
    QList<NotificationChoice> choices;
    std::function<void(const QString&)> choose;
    std::optional<QString> userEmailAddress() const override { return address; }
    bool deliverMessage(const MailMessage& message) override {
        log << "mail " + message.subject;
        mails.push_back(message);
        return true;
    }
    NoticeChannels channels() { return {this, this, this, this}; }
};

NodePtr pastDueItem(const QString& name = QStringLiteral("Pay rent")) {
    NodePtr node = Dict::create();
    node->set(key::name, name);
    node->set(key::category, "Home");
    node->set(key::due, "2003-05-17 14:03:22 +0200");
    node->set(key::completion, Value::float32(0.5));
    TextRun run;
    run.text = QStringLiteral("Call the landlord.\nTwice.");
    node->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({run}))));
    return node;
}

void setPreferences(bool dialog, bool sound, bool speak, bool notify) {
    Settings& settings = Settings::instance();
    settings.setMinderAlertDialog(dialog);
    settings.setMinderAlertSound(sound);
    settings.setMinderSpeak(speak);
    settings.setMinderDesktopNotification(notify);
}

QByteArray headerValue(const QByteArray& message, const QByteArray& name) {
    const qsizetype start = message.indexOf("\n" + name + ": ") + name.size() + 3;
    QByteArray value = message.mid(start, message.indexOf("\n", start) - start);
    return value;
}

} // namespace

class TestNoticeDelivery : public QObject {
    Q_OBJECT

    NoticeTexts _texts;
    TardigoDocument _doc;
    QTemporaryDir _dir;

    QString sendmail(int exitStatus) {
        const QString script = _dir.filePath("sendmail");
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("#!/bin/sh\nprintf '%s ' \"$@\" > '%1/args'\ncat > '%1/message'\nexit %2\n")
                       .arg(_dir.path())
                       .arg(exitStatus)
                       .toUtf8());
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return script;
    }
    QByteArray captured(const QString& name) const {
        QFile file(_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList mailThroughSendmail(const NodePtr& node, ItemStatus status) {
        SendmailMailChannel mail;
        NoticeChannels channels;
        channels.mail = &mail;
        Recorder host;
        RecordingErrorReporter reporter;
        NoticeDelivery(host, channels, reporter, true)
            .emailNotificationForDoc(_doc, "Past due", status, node);
        return reporter.messages;
    }

private slots:
    void initTestCase() {
        QVERIFY(_dir.isValid());
        QCoreApplication::installTranslator(&_texts);
        Settings& settings = Settings::instance();
        settings.useMemoryOnly();
        settings.setShortDateFormat("yyyy-MM-dd");
        settings.setTimeFormat("HH:mm");
        settings.setMinderEmailAddress("me@example.org");
        _doc.setFileName(QStringLiteral("/lists/home.todo"));
    }

    void eachChannelFollowsItsPreference_data() {
        QTest::addColumn<QList<bool>>("dialogSoundSpeakNotifyMail");
        QTest::addColumn<QStringList>("after");
        const QString notify = "notify Minder says|\"Pay rent\"\nPast due";
        QTest::newRow("all off") << QList<bool>{false, false, false, false, false} << QStringList();
        QTest::newRow("speech and mail") << QList<bool>{false, false, true, false, true}
                                         << QStringList{"speak Pay rent", "mail overdue: Pay rent"};
        QTest::newRow("all on, in order")
            << QList<bool>{true, true, true, true, true}
            << QStringList{"beep", "speak Pay rent", notify, "mail overdue: Pay rent"};
    }
    void eachChannelFollowsItsPreference() {
        QFETCH(QList<bool>, dialogSoundSpeakNotifyMail);
        QFETCH(QStringList, after);
        const QList<bool>& on = dialogSoundSpeakNotifyMail;
        setPreferences(on[0], on[1], on[2], on[3]);
        Recorder recorder;
        RecordingErrorReporter reporter;
        const NodePtr node = pastDueItem();
        NoticeDelivery(recorder, recorder.channels(), reporter, on[4])
            .notificationForDoc(_doc, "Past due", ItemStatusDue, node);
        // The window is shown and the notice recorded whatever the preferences say.
        QCOMPARE(recorder.log, QStringList({"show /lists/home.todo", "record 2 Past due 0"}) + after);
        QCOMPARE(node->contains(key::docPath) && node->contains(key::nodeStatus), on[0]);
    }

    void messagesQueueAndCarryACopyOfTheNotice() {
        setPreferences(true, false, false, false);
        Recorder recorder;
        FakeMessageHost window;
        AlertQueue alerts(window);
        recorder.alerts = &alerts;
        RecordingErrorReporter reporter;
        NoticeDelivery delivery(recorder, NoticeChannels{}, reporter, false);
        std::vector<std::pair<MessageAnswer, NodePtr>> answers;
        delivery.setAnswerHandler(
            [&](MessageAnswer answer, const NodePtr& context) { answers.emplace_back(answer, context); });

        const NodePtr first = pastDueItem("100% of %1 done");
        delivery.notificationForDoc(_doc, "Reminder! %2", ItemStatusReminder, first);
        delivery.notificationForDoc(_doc, "Past due", ItemStatusDue, pastDueItem("second"));
        QCOMPARE(window.shown.size(), size_t(1));
        const Message& notice = window.shown[0];
        QCOMPARE(notice.title, "Minder says");
        QCOMPARE(notice.heading, "\"100% of %1 done\""); // shown as written
        QCOMPARE(notice.text, "Reminder! %2");
        QCOMPARE(notice.acceptButton, std::optional<QString>("OK"));
        QCOMPARE(notice.rejectButton, std::optional<QString>("Show"));
        QVERIFY(!notice.destructiveButton && !notice.isCritical && notice.isInformational);
        QCOMPARE(notice.actionButtons, (QStringList{"+10m", "+1h", "+1d"}));

        first->set(key::name, "renamed since");
        window.answer(MessageAnswer{MessageRole::Reject});
        QCOMPARE(window.shown.size(), size_t(2));
        QCOMPARE(window.shown[1].heading, "\"second\"");
        window.answer(actionAnswer(2));
        QCOMPARE(answers.size(), size_t(2));
        QVERIFY(answers[0].first == MessageAnswer{MessageRole::Reject});
        QVERIFY(answers[1].first == actionAnswer(2));
        const NodePtr& context = answers[0].second;
        QCOMPARE(context->value(key::name), Value("100% of %1 done"));
        QCOMPARE(context->value(key::docPath), Value("/lists/home.todo"));
        QCOMPARE(context->value(key::nodeStatus), Value::integer(ItemStatusReminder));
    }

    void aDesktopNotificationOffersWhatTheMessageOffers() {
        setPreferences(false, false, false, true);
        Recorder recorder;
        RecordingErrorReporter reporter;
        NoticeDelivery delivery(recorder, recorder.channels(), reporter, false);
        std::vector<std::pair<MessageAnswer, NodePtr>> answers;
        delivery.setAnswerHandler(
            [&](MessageAnswer answer, const NodePtr& context) { answers.emplace_back(answer, context); });
        const NodePtr item = pastDueItem();
        delivery.notificationForDoc(_doc, "Past due", ItemStatusDue, item);
        QCOMPARE(recorder.log.last(), "notify with choices Minder says|\"Pay rent\"\nPast due");
        QStringList labels;
        for (const NotificationChoice& choice : recorder.choices)
            labels << choice.label;
        QCOMPARE(labels, (QStringList{"Show", "+10m", "+1h", "+1d"}));
        QVERIFY(!item->contains(key::docPath)); // the list's own item is left as it was

        recorder.choose(recorder.choices[0].key);
        recorder.choose(recorder.choices[2].key);
        recorder.choose(QStringLiteral("no such choice"));
        QCOMPARE(answers.size(), size_t(2));
        QVERIFY(answers[0].first == MessageAnswer{MessageRole::Reject});
        QVERIFY(answers[1].first == actionAnswer(1));
        QCOMPARE(answers[1].second->value(key::docPath), Value("/lists/home.todo"));
        QCOMPARE(answers[1].second->value(key::nodeStatus), Value::integer(ItemStatusDue));
    }

    void aListsTextsReachEveryChannelAsPlainText() {
        // From a shared list or a calendar: markup, a link, bidi overrides, control characters.
        const QString hostile = QStringLiteral("<b>Bold?</b> <a href=\"http://evil.example/\">click</a>"
                                               "\u202Edcba\u202C\r\nBcc: x\x1b[31m\u2066!\u2069\x07");
        const QString shown = QStringLiteral("<b>Bold?</b> <a href=\"http://evil.example/\">click</a>"
                                             "dcba  Bcc: x [31m! ");
        const NodePtr node = pastDueItem(hostile);
        node->set(key::category, "Home\u202E\nWork");
        node->set(key::notes, test::notesData("line\u2028next\r\nthird\x1b\u202Dend"));
        setPreferences(true, false, true, true);
        Recorder recorder;
        FakeMessageHost window;
        AlertQueue alerts(window);
        recorder.alerts = &alerts;
        RecordingErrorReporter reporter;
        NoticeDelivery(recorder, recorder.channels(), reporter, true)
            .notificationForDoc(_doc, "Past due", ItemStatusDue, node);

        QCOMPARE(window.shown.at(0).heading, "\"" + shown + "\"");
        QVERIFY(recorder.log.contains("speak " + shown));
        QVERIFY(recorder.log.contains("notify Minder says|\"" + shown + "\"\nPast due"));
        const MailMessage& mail = recorder.mails.at(0);
        QCOMPARE(mail.subject, "overdue: " + shown);
        QCOMPARE(mail.body, "msg=Past due|name=" + shown +
                                "|due=2003-05-17 14:03|done=50%|cat=Home Work|notes=line\nnext\nthird end");
        // The item itself keeps what it holds.
        QCOMPARE(node->value(key::name), Value(hostile));
    }

    void sendmailGetsExactlyTheSpecifiedMessage() {
        Settings::instance().setMinderSendmailPath(sendmail(0));
        QCOMPARE(mailThroughSendmail(pastDueItem(), ItemStatusDue), QStringList());
        QCOMPARE(captured("args"), QByteArray("-t -oi "));
        QCOMPARE(captured("message"),
                 QByteArray("To: me@example.org\n"
                            "Subject: overdue: Pay rent\n"
                            "X-Mailer: Tardigo.app / tardigo-minder\n"
                            "MIME-Version: 1.0\n"
                            "Content-Type: text/plain; charset=UTF-8\n"
                            "Content-Transfer-Encoding: 8bit\n"
                            "\n"
                            "msg=Past due|name=Pay rent|due=2003-05-17 14:03|done=50%|cat=Home|"
                            "notes=Call the landlord.\nTwice."));
    }

    void mailFieldsOfEveryKind_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Value>("value");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        const QString rest = "|due=2003-05-17 14:03|done=50%|cat=Home|notes=Call the landlord.\nTwice.";
        QTest::newRow("reminder") << "" << Value() << int(ItemStatusReminder) << "reminder: Pay rent"
                                  << "msg=Past due|name=Pay rent" + rest;
        QTest::newRow("other status") << "" << Value() << 7 << "Tardigo Minder"
                                      << "msg=Past due|name=Pay rent" + rest;
        QTest::newRow("0.999 is 99%")
            << key::completion << Value::float32(0.999) << 2 << "overdue: Pay rent"
            << "msg=Past due|name=Pay rent|due=2003-05-17 14:03|done=99%|cat=Home|notes="
               "Call the landlord.\nTwice.";
        QTest::newRow("due on the local clock") // stored in UTC, read in Berlin's summer time
            << key::due << Value("2003-05-17 12:03:22 +0000") << 2 << "overdue: Pay rent"
            << "msg=Past due|name=Pay rent" + rest;
        QTest::newRow("NaN is -") << key::completion
                                  << Value::float32(std::numeric_limits<double>::quiet_NaN()) << 2
                                  << "overdue: Pay rent"
                                  << "msg=Past due|name=Pay rent|due=2003-05-17 14:03|done=-|cat=Home|notes="
                                     "Call the landlord.\nTwice.";
    }
    void mailFieldsOfEveryKind() {
        QFETCH(QString, key);
        QFETCH(Value, value);
        QFETCH(int, status);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        NodePtr node = pastDueItem();
        if (!key.isEmpty())
            node->set(key, value);
        Recorder recorder;
        RecordingErrorReporter reporter;
        NoticeDelivery(recorder, recorder.channels(), reporter, true)
            .emailNotificationForDoc(_doc, "Past due", ItemStatus(status), node);
        QCOMPARE(recorder.mails.size(), size_t(1));
        QCOMPARE(recorder.mails[0].subject, subject);
        QCOMPARE(recorder.mails[0].body, body);
    }

    void whatAnItemLacksIsADash() {
        NodePtr bare = Dict::create();
        bare->set(key::due, "next Tuesday");
        bare->set(key::notes, Value::data("not rich text"));
        bare->set(key::category, Value::integer(4));
        Recorder recorder;
        RecordingErrorReporter reporter;
        NoticeDelivery(recorder, recorder.channels(), reporter, true)
            .emailNotificationForDoc(_doc, "m", ItemStatusDue, bare);
        QCOMPARE(recorder.mails.at(0).body, "msg=m|name=-|due=-|done=-|cat=-|notes=-");
        QCOMPARE(recorder.mails.at(0).subject, "overdue: -");
    }

    void headerValuesCannotAddHeaders_data() {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("line breaks") << "Rent\r\nBcc: all@example.org\u2028X: 1"
                                     << QByteArray("Rent  Bcc: all@example.org X: 1");
        QTest::newRow("non-ASCII") << "für €" << QByteArray("=?UTF-8?B?ZsO8ciDigqw=?=");
        QTest::newRow("looks encoded")
            << "=?UTF-8?B?SGk=?=" << QByteArray("=?UTF-8?B?PT9VVEYtOD9CP1NHaz0/PQ==?=");
        // 45 bytes a word, whole characters only: 22 two-byte letters, then the rest on a folded line.
        QTest::newRow("folded") << QString(30, u'ä')
                                << "=?UTF-8?B?" + QString(22, u'ä').toUtf8().toBase64() + "?=\n =?UTF-8?B?" +
                                       QString(8, u'ä').toUtf8().toBase64() + "?=";
    }
    void headerValuesCannotAddHeaders() {
        QFETCH(QString, subject);
        QFETCH(QByteArray, header);
        const QByteArray message = mailMessageBytes({"me@example.org\nBcc: x", subject, "m", "body"});
        QCOMPARE(message.left(message.indexOf("\nSubject")), QByteArray("To: me@example.org Bcc: x"));
        const qsizetype start = message.indexOf("Subject: ") + 9;
        QCOMPARE(message.mid(start, message.indexOf("\nX-Mailer") - start), header);
    }

    void anOverlongBodyLineIsQuotedPrintable() {
        const QString line = QString(500, u'é') + " =";
        const QByteArray message = mailMessageBytes({"me@example.org", "s", "m", "a\r\n" + line});
        QCOMPARE(headerValue(message, "Content-Transfer-Encoding"), QByteArray("quoted-printable"));
        const QByteArray body = message.mid(message.indexOf("\n\n") + 2);
        for (const QByteArray& encoded : body.split('\n'))
            QVERIFY2(encoded.size() <= 76, encoded.constData());
        const QByteArray joined = QByteArray(body).replace("=\n", "");
        QVERIFY(joined.startsWith("a\n=C3=A9=C3=A9"));
        QVERIFY(joined.endsWith("=C3=A9 =3D"));
        QCOMPARE(joined.count("=C3=A9"), 500);
    }

    void failuresAreReportedAndNothingIsSent() {
        Settings& settings = Settings::instance();
        settings.setMinderSendmailPath(sendmail(75));
        QCOMPARE(mailThroughSendmail(pastDueItem(), ItemStatusDue),
                 QStringList{"email message delivery failed: Past due"});
        settings.setMinderSendmailPath(_dir.filePath("no-sendmail"));
        QCOMPARE(mailThroughSendmail(pastDueItem(), ItemStatusDue),
                 QStringList{"email message delivery failed: Past due"});

        SendmailMailChannel mail;
        settings.setMinderEmailAddress("  ");
        qputenv("EMAIL", "env@example.org");
        QCOMPARE(mail.userEmailAddress(), std::optional<QString>("env@example.org"));
        qunsetenv("EMAIL");
        QCOMPARE(mail.userEmailAddress(), std::nullopt);
        Recorder recorder;
        recorder.address.reset();
        RecordingErrorReporter reporter;
        NoticeDelivery(recorder, recorder.channels(), reporter, true)
            .emailNotificationForDoc(_doc, "m", ItemStatusDue, pastDueItem());
        settings.setMinderEmailAddress("me@example.org");
        QCOMPARE(reporter.messages, QStringList{"Failed to lookup email address for current user."});
        QVERIFY(recorder.mails.empty());
    }

    void theEnglishTemplateFillsEverySlot() {
        QCoreApplication::removeTranslator(&_texts);
        Recorder recorder;
        RecordingErrorReporter reporter;
        NoticeDelivery(recorder, recorder.channels(), reporter, true)
            .emailNotificationForDoc(_doc, "Past due", ItemStatusReminder, pastDueItem());
        QCoreApplication::installTranslator(&_texts);
        const MailMessage& mail = recorder.mails.at(0);
        for (const char* part :
             {"Past due", "Pay rent", "2003-05-17 14:03", "50%", "Home", "Call the landlord."})
            QVERIFY2(mail.body.contains(part), qPrintable(mail.body));
        QVERIFY(mail.subject.contains("Pay rent"));
        static const QRegularExpression placeholder(QStringLiteral("%\\d"));
        QVERIFY(!(mail.body + mail.subject).contains(placeholder));
    }
};

QTEST_GUILESS_MAIN(TestNoticeDelivery)
#include "tst_notice_delivery.moc"
