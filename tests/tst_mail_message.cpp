#include "document/tardigo_document.h"
#include "minder/item_status.h"
#include "minder/mail_message.h"
#include "minder/minder_host.h"
#include "minder/notice_delivery.h"
#include "minder/recording_error_reporter.h"
#include "model/keys.h"
#include "platform/sendmail_mail_channel.h"
#include "platform/user_defaults.h"
#include "storage/notes_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace tardigo;

Q_DECLARE_METATYPE(tardigo::Value)

namespace {

// Every field of the mail in its own slot, so that a test sees which value went where.
class MailTexts : public QTranslator {
public:
    QString translate(const char*, const char* key, const char*, int) const override {
        const QByteArray k(key);
        if (k == "MINDER_EMAIL_TEMPLATE")
            return QStringLiteral("msg=%1|name=%2|due=%3|done=%4|cat=%5|notes=%6");
        if (k == "MINDER_EMAIL_SUBJECT_OVERDUE")
            return QStringLiteral("overdue: %1");
        if (k == "MINDER_EMAIL_SUBJECT_REMINDER")
            return QStringLiteral("reminder: %1");
        return {};
    }
    bool isEmpty() const override { return false; }
};

// Mail delivery needs no window; the host is never asked.
class NoHost : public MinderHost {
public:
    TardigoDocument* documentForFileName(const QString&) override { return nullptr; }
    TardigoDocument* openDocumentWithoutDisplay(const QString&) override { return nullptr; }
    void removeDocument(TardigoDocument*) override {}
    void showWindows(TardigoDocument&) override {}
    void minderWithNode(TardigoDocument&, const NodePtr&, const QString&, int) override {}
    TWAlertArray* alertArray(TardigoDocument&) override { return nullptr; }
};

// Decodes the header's encoded words back to text, so tests compare what a mail reader shows.
QString decodedHeader(QByteArray value) {
    value.replace("?=\n =?", "?==?");
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]*)\\?="));
    QByteArray bytes;
    qsizetype at = 0;
    for (const QRegularExpressionMatch& m : word.globalMatch(QString::fromLatin1(value))) {
        bytes += value.mid(at, m.capturedStart() - at);
        bytes += QByteArray::fromBase64(m.captured(1).toLatin1());
        at = m.capturedEnd();
    }
    bytes += value.mid(at);
    return QString::fromUtf8(bytes);
}

// The header lines of a message, continuation lines joined to their header.
QList<QByteArray> headerLines(const QByteArray& message) {
    const QByteArray head = message.left(message.indexOf("\n\n"));
    QList<QByteArray> lines;
    for (const QByteArray& line : head.split('\n')) {
        if (line.startsWith(' ') && !lines.isEmpty())
            lines.last() += '\n' + line;
        else
            lines.append(line);
    }
    return lines;
}

QByteArray headerValue(const QByteArray& message, const QByteArray& name) {
    for (const QByteArray& line : headerLines(message))
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2);
    return {};
}

NodePtr pastDueItem() {
    NodePtr node = Dict::create();
    node->set(key::name, "Pay rent");
    node->set(key::category, "Home");
    node->set(key::due, "2003-05-17 14:03:22 +0200");
    node->set(key::completion, Value::real(0.5));
    TextRun run;
    run.text = QStringLiteral("Call the landlord.\nTwice.");
    node->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({run}))));
    return node;
}

} // namespace

class TestMailMessage : public QObject {
    Q_OBJECT

    MailTexts _texts;
    QTemporaryDir _dir;
    NoHost _host;
    TardigoDocument _doc;

    // A sendmail stand-in that keeps its arguments and the message, and exits with the given status.
    void installSendmail(int exitStatus) {
        const QString script = _dir.filePath("sendmail");
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1/args'\ncat > '%1/message'\nexit %2\n")
                .arg(_dir.path())
                .arg(exitStatus)
                .toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        UserDefaults::standard().setObject(pref::minderSendmailPath, script);
        QFile::remove(_dir.filePath("message"));
    }

    QByteArray sentMessage() const {
        QFile file(_dir.filePath("message"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void sendFor(const NodePtr& node, int status, RecordingErrorReporter& reporter) {
        SendmailMailChannel mail;
        NoticeChannels channels;
        channels.mail = &mail;
        NoticeDelivery(_host, channels, reporter, true)
            .emailNotificationForDoc(_doc, QStringLiteral("Past date due: 2003-05-17 14:03"), status, node);
    }

private slots:
    void initTestCase() {
        QVERIFY(_dir.isValid());
        UserDefaults::standard().useMemoryOnly();
        UserDefaults::standard().setObject(pref::userShortDateFormat, "yyyy-MM-dd");
        UserDefaults::standard().setObject(pref::userTimeFormat, "HH:mm");
        UserDefaults::standard().setObject(pref::minderEmailAddress, "me@example.org");
        QCoreApplication::installTranslator(&_texts);
    }

    void init() { installSendmail(0); }

    void sendmailGetsExactlyTheSpecifiedMessage() {
        RecordingErrorReporter reporter;
        sendFor(pastDueItem(), ItemStatusDue, reporter);
        QCOMPARE(reporter.messages, QStringList());
        QFile args(_dir.filePath("args"));
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(args.readAll(), QByteArray("-t\n-oi\n"));
        QCOMPARE(sentMessage(),
                 QByteArray("To: me@example.org\n"
                            "Subject: overdue: Pay rent\n"
                            "X-Mailer: Tardigo.app / tardigo-minder\n"
                            "MIME-Version: 1.0\n"
                            "Content-Type: text/plain; charset=UTF-8\n"
                            "Content-Transfer-Encoding: 8bit\n"
                            "\n"
                            "msg=Past date due: 2003-05-17 14:03|name=Pay rent|due=2003-05-17 14:03|"
                            "done=50%|cat=Home|notes=Call the landlord.\nTwice."));
    }

    void missingFieldsAndTheSubjectOfEachStatus_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("subject");
        QTest::newRow("reminder") << int(ItemStatusReminder) << QByteArray("reminder: -");
        QTest::newRow("due") << int(ItemStatusDue) << QByteArray("overdue: -");
        QTest::newRow("other") << 7 << QByteArray("Tardigo Minder");
    }
    void missingFieldsAndTheSubjectOfEachStatus() {
        QFETCH(int, status);
        QFETCH(QByteArray, subject);
        NodePtr bare = Dict::create();
        bare->set(key::due, "next Tuesday"); // does not parse
        bare->set(key::notes, Value::data("not rich text"));
        bare->set(key::category, Value::integer(4));
        RecordingErrorReporter reporter;
        sendFor(bare, status, reporter);
        const QByteArray message = sentMessage();
        QCOMPARE(headerValue(message, "Subject"), subject);
        QVERIFY2(message.endsWith("|name=-|due=-|done=-|cat=-|notes=-"), message.constData());
    }

    void completionIsATruncatedPercentage_data() {
        QTest::addColumn<Value>("completion");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("half") << Value::real(0.5) << QByteArray("done=50%");
        QTest::newRow("whole") << Value::integer(1) << QByteArray("done=100%");
        QTest::newRow("almost") << Value::real(0.999) << QByteArray("done=99%");
        QTest::newRow("none yet") << Value::real(0.0) << QByteArray("done=0%");
        QTest::newRow("not a number")
            << Value::real(std::numeric_limits<double>::quiet_NaN()) << QByteArray("done=-");
        QTest::newRow("huge") << Value(Number::float64(1e300)) << QByteArray("done=-");
        QTest::newRow("text") << Value("half") << QByteArray("done=-");
    }
    void completionIsATruncatedPercentage() {
        QFETCH(Value, completion);
        QFETCH(QByteArray, shown);
        NodePtr node = pastDueItem();
        node->set(key::completion, completion);
        RecordingErrorReporter reporter;
        sendFor(node, ItemStatusDue, reporter);
        QVERIFY2(sentMessage().contains("|" + shown + "|"), sentMessage().constData());
    }

    void theAddressComesFromThePreferenceElseTheEnvironment() {
        UserDefaults& defaults = UserDefaults::standard();
        SendmailMailChannel mail;
        QCOMPARE(mail.userEmailAddress(), std::optional<QString>("me@example.org"));

        defaults.setObject(pref::minderEmailAddress, "   ");
        qputenv("EMAIL", "env@example.org");
        QCOMPARE(mail.userEmailAddress(), std::optional<QString>("env@example.org"));

        qunsetenv("EMAIL");
        defaults.removeObject(pref::minderEmailAddress);
        QCOMPARE(mail.userEmailAddress(), std::nullopt);
        RecordingErrorReporter reporter;
        sendFor(pastDueItem(), ItemStatusDue, reporter);
        defaults.setObject(pref::minderEmailAddress, "me@example.org");
        QCOMPARE(reporter.messages, QStringList{"Failed to lookup email address for current user."});
        QVERIFY(!QFile::exists(_dir.filePath("message")));
    }

    void aRefusedOrMissingSendmailIsReported_data() {
        QTest::addColumn<bool>("missing");
        QTest::newRow("exits 75") << false;
        QTest::newRow("not installed") << true;
    }
    void aRefusedOrMissingSendmailIsReported() {
        QFETCH(bool, missing);
        installSendmail(75);
        if (missing)
            UserDefaults::standard().setObject(pref::minderSendmailPath, _dir.filePath("no-such-sendmail"));
        RecordingErrorReporter reporter;
        sendFor(pastDueItem(), ItemStatusDue, reporter);
        QCOMPARE(reporter.messages,
                 QStringList{"email message delivery failed: Past date due: 2003-05-17 14:03"});
    }

    void headerValuesCannotAddHeaders_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("line breaks") << "Rent\r\nBcc: all@example.org\nX-Evil: 1"
                                     << "overdue: Rent  Bcc: all@example.org X-Evil: 1";
        QTest::newRow("unicode separators") << "a\u2028b\u0085c"
                                            << "overdue: a b c";
        QTest::newRow("non-ASCII") << "Miete für März – 1 200 €"
                                   << "overdue: Miete für März – 1 200 €";
        QTest::newRow("looks encoded") << "=?UTF-8?B?SGk=?="
                                       << "overdue: =?UTF-8?B?SGk=?=";
        QTest::newRow("long and mixed") << QString(300, u'ä') + "\nBcc: x"
                                        << "overdue: " + QString(300, u'ä') + " Bcc: x";
        QTest::newRow("emoji at word ends")
            << QString(40, QChar(u'x')) + QString::fromUtf8("😀😀😀😀😀😀😀😀😀😀😀😀")
            << "overdue: " + QString(40, QChar(u'x')) + QString::fromUtf8("😀😀😀😀😀😀😀😀😀😀😀😀");
    }
    void headerValuesCannotAddHeaders() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        NodePtr node = pastDueItem();
        node->set(key::name, name);
        RecordingErrorReporter reporter;
        sendFor(node, ItemStatusDue, reporter);
        const QByteArray message = sentMessage();
        QList<QByteArray> names;
        for (const QByteArray& line : headerLines(message)) {
            names.append(line.left(line.indexOf(':')));
            for (const QByteArray& physical : line.split('\n')) {
                QVERIFY2(physical.size() <= 998, physical.constData());
                for (const char c : physical)
                    QVERIFY2(uchar(c) < 0x80, physical.constData()); // headers stay 7-bit
            }
        }
        QCOMPARE(names, (QList<QByteArray>{"To", "Subject", "X-Mailer", "MIME-Version", "Content-Type",
                                           "Content-Transfer-Encoding"}));
        QCOMPARE(decodedHeader(headerValue(message, "Subject")), shown);
        for (const QByteArray& physical : headerValue(message, "Subject").split('\n'))
            for (const QByteArray& word : physical.trimmed().split(' '))
                if (word.startsWith("=?"))
                    QVERIFY2(word.size() <= 75, word.constData());
    }

    void anOverlongBodyLineIsQuotedPrintable() {
        const QString longLine = QString(1200, u'é') + " = end";
        const QByteArray message =
            mailMessageBytes({"me@example.org", "s", "m", "first\r\n" + longLine + "\n"});
        QCOMPARE(headerValue(message, "Content-Transfer-Encoding"), QByteArray("quoted-printable"));
        QByteArray body = message.mid(message.indexOf("\n\n") + 2);
        for (const QByteArray& line : body.split('\n'))
            QVERIFY2(line.size() <= 76, line.constData());
        body.replace("=\n", "");
        QByteArray decoded;
        for (qsizetype i = 0; i < body.size(); ++i) {
            if (body[i] == '=') {
                decoded += char(body.mid(i + 1, 2).toInt(nullptr, 16));
                i += 2;
            } else {
                decoded += body[i];
            }
        }
        QCOMPARE(QString::fromUtf8(decoded), "first\n" + longLine + "\n");
    }

    void theEnglishTemplateFillsEverySlot() {
        QCoreApplication::removeTranslator(&_texts);
        RecordingErrorReporter reporter;
        sendFor(pastDueItem(), ItemStatusReminder, reporter);
        QCoreApplication::installTranslator(&_texts);
        const QByteArray message = sentMessage();
        const QString body = QString::fromUtf8(message.mid(message.indexOf("\n\n") + 2));
        for (const char* part :
             {"Past date due: 2003-05-17 14:03", "Pay rent", "50%", "Home", "Call the landlord."})
            QVERIFY2(body.contains(part), qPrintable(body));
        QVERIFY2(!body.contains(QRegularExpression("%\\d")) && !body.contains("MINDER_"), qPrintable(body));
        QVERIFY(headerValue(message, "Subject").contains("Pay rent"));
        QVERIFY(!headerValue(message, "Subject").contains("MINDER_"));
    }
};

QTEST_GUILESS_MAIN(TestMailMessage)
#include "tst_mail_message.moc"
