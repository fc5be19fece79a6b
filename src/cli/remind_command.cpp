#include "cli/remind_command.h"

#include "archive/list_file.h"
#include "cli/cli_args.h"
#include "cli/cli_output.h"
#include "cli/open_lists.h"
#include "document/tardigo_document.h"
#include "document/windowless_minder_host.h"
#include "minder/error_reporter.h"
#include "minder/item_status.h"
#include "minder/tardigo_minder.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/stored_date.h"
#include "notice_channels/dbus_desktop_notification_channel.h"
#include "notice_channels/sendmail_mail_channel.h"
#include "notice_channels/terminal_bell.h"
#ifdef TARDIGO_HAVE_SPEECH
#include "notice_channels/text_to_speech_channel.h"
#endif

#include <QEventLoop>
#include <QFileInfo>
#include <QSet>
#include <QTimer>

#include <optional>

namespace tardigo::cli {

namespace {
const QString kNow = QStringLiteral("--now");
const QString kChannels = QStringLiteral("--channels");
const QString kApply = QStringLiteral("--apply");
const QString kAll = QStringLiteral("--all");
const QString kPrint = QStringLiteral("print");
const QStringList kChannelNames = {kPrint, QStringLiteral("mail"), QStringLiteral("notify"),
                                   QStringLiteral("speak"), QStringLiteral("beep")};

// A minder error in a terminal: one line on standard error, and the run fails.
class StreamErrorReporter : public ErrorReporter {
public:
    int count = 0;

protected:
    void showError(const QString& title, const QString& message) override {
        ++count;
        out().flush();
        err() << "tardigo-cli: " << title << ": " << QString(message).replace(u'\n', u' ') << Qt::endl;
    }
};

// One notice per line, its fields separated by tabs, so none of them may hold a tab or a line break.
QString field(const QString& text) {
    QString flat = text;
    for (QChar& c : flat)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return flat;
}

QString nameOf(const Dict& node) {
    const QString* name = node.value(key::name).asString();
    return name ? *name : QString();
}

// Each list file once, however its path is spelled, under the first spelling given.
QStringList uniqueFiles(const QStringList& paths) {
    QStringList unique;
    QSet<QString> seen;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const QString file =
            info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
        if (!seen.contains(file)) {
            seen.insert(file);
            unique.append(path);
        }
    }
    return unique;
}

#ifdef TARDIGO_HAVE_SPEECH
constexpr int kSpeechWaitMsecs = 120'000;

// Speech goes on after the pass; the tool waits for it rather than cut it off.
void waitForSpeech(TextToSpeechChannel& speech) {
    if (!speech.isSpeaking())
        return;
    QEventLoop loop;
    QObject::connect(&speech, &TextToSpeechChannel::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kSpeechWaitMsecs, &loop, &QEventLoop::quit);
    loop.exec();
}
#endif
} // namespace

int commandRemind(const QStringList& args) {
    QString error;
    const std::optional<CliArgs> parsed = CliArgs::parse(args, {kNow, kChannels}, {kApply, kAll}, &error);
    if (!parsed) {
        err() << "tardigo-cli: " << error << Qt::endl;
        return usage(kRemindSynopsis);
    }
    const bool all = parsed->flags.contains(kAll);
    if (parsed->positional.isEmpty() && !all) {
        err() << "tardigo-cli: name the lists to scan, or use --all for every watched list." << Qt::endl;
        return usage(kRemindSynopsis);
    }
    const QStringList channels = parsed->options.value(kChannels, kPrint).split(u',', Qt::SkipEmptyParts);
    for (const QString& channel : channels) {
        if (!kChannelNames.contains(channel)) {
            err() << "tardigo-cli: there is no channel “" << channel << "”; choose from "
                  << kChannelNames.join(u',') << "." << Qt::endl;
            return usage(kRemindSynopsis);
        }
    }
    if (parsed->options.contains(kNow)) {
        const std::optional<QDateTime> now = parseStoredDate(parsed->options.value(kNow));
        if (!now) {
            err() << "tardigo-cli: --now takes a time like “2003-05-17 14:03:22 +0200”." << Qt::endl;
            return usage(kRemindSynopsis);
        }
        Clock::setFixed(*now);
    }

    int status = Success;
    QStringList paths;
    for (const QString& path : parsed->positional) {
        const ListLoad load = readListFile(path);
        if (load.ok())
            paths.append(path);
        else
            status = fail(load.error);
    }

    // Each channel still follows its own preference, as in the application.
    SendmailMailChannel mail;
    DBusDesktopNotificationChannel desktopNotification;
    TerminalBell bell;
    NoticeChannels noticeChannels;
    if (channels.contains(QStringLiteral("mail")))
        noticeChannels.mail = &mail;
    if (channels.contains(QStringLiteral("notify")))
        noticeChannels.desktopNotification = &desktopNotification;
    if (channels.contains(QStringLiteral("beep")))
        noticeChannels.beep = &bell;
#ifdef TARDIGO_HAVE_SPEECH
    TextToSpeechChannel speech;
    if (channels.contains(QStringLiteral("speak")))
        noticeChannels.speech = &speech;
#else
    if (channels.contains(QStringLiteral("speak")))
        err() << "tardigo-cli: this build of Tardigo cannot speak." << Qt::endl;
#endif

    StreamErrorReporter reporter;
    {
        WindowlessMinderHost host;
        TardigoMinder minder(host, noticeChannels, reporter);
        if (all)
            minder.collectDocs();
        std::optional<QStringList> docs = uniqueFiles(paths + minder.docs());
        if (parsed->flags.contains(kApply) && !(docs = listsNotOpenInTardigo(*docs, paths)))
            status = Failure;
        minder.setDocs(docs.value_or(QStringList()));
        minder.scanDocs();

        if (channels.contains(kPrint)) {
            for (const WindowlessMinderHost::Notice& notice : host.notices()) {
                const QString kind = notice.status == ItemStatusReminder ? QStringLiteral("reminder")
                                                                             : QStringLiteral("due");
                out() << field(notice.path) << '\t' << field(nameOf(*notice.node)) << '\t' << kind << '\t'
                      << field(notice.message) << '\n';
            }
            out().flush();
        }
        if (parsed->flags.contains(kApply)) {
            for (TardigoDocument* document : host.changedDocuments()) {
                if (!document->writeToFile(document->fileName(), &error))
                    status = fail(error);
            }
        }
        // The host closes its lists here, before an event loop could run their deferred calls.
    }
#ifdef TARDIGO_HAVE_SPEECH
    waitForSpeech(speech);
#endif
    Clock::reset();
    return reporter.count > 0 ? Failure : status;
}

} // namespace tardigo::cli
