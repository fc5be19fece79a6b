#include "cli/remind_command.h"

#include "archive/list_file.h"
#include "cli/cli_args.h"
#include "cli/cli_output.h"
#include "cli/held_back_channels.h"
#include "cli/list_paths.h"
#include "cli/list_update.h"
#include "cli/open_lists.h"
#include "document/tardigo_document.h"
#include "document/windowless_minder_host.h"
#include "minder/error_reporter.h"
#include "minder/item_status.h"
#include "minder/tardigo_minder.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "notice_channels/dbus_desktop_notification_channel.h"
#include "notice_channels/sendmail_mail_channel.h"
#include "notice_channels/terminal_bell.h"
#include "platform/untrusted_text.h"
#ifdef TARDIGO_HAVE_SPEECH
#include "notice_channels/text_to_speech_channel.h"
#endif

#include <QEventLoop>
#include <QFileInfo>
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

// A minder error in a terminal: one line on standard error, and the run fails. A notice is a line
// too, but nothing failed. The line is the report, so it is not logged besides.
class StreamErrorReporter : public ErrorReporter {
public:
    int count = 0;

protected:
    void showError(const QString& title, const QString& message) override {
        ++count;
        printLine(title + QStringLiteral(": ") + message);
    }
    void showNotice(const QString&, const QString& message) override { printLine(message); }
    bool logsReports() const override { return false; }

private:
    static void printLine(const QString& text) {
        out().flush();
        err() << "tardigo-cli: " << terminalSafe(QString(text).replace(u'\n', u' ')) << Qt::endl;
    }
};

// The notices from the first one on.
void printNotices(const std::vector<WindowlessMinderHost::Notice>& notices, size_t first) {
    for (auto notice = notices.begin() + qsizetype(first); notice != notices.end(); ++notice) {
        const QString kind =
            notice->status == ItemStatusReminder ? QStringLiteral("reminder") : QStringLiteral("due");
        // One notice a line, its fields separated by tabs: none of them holds a control character.
        out() << terminalSafe(notice->path) << '\t' << terminalSafe(stringOf(*notice->node, key::name))
              << '\t' << kind << '\t' << terminalSafe(notice->message) << '\n';
    }
    out().flush();
}

// The pass over one list. When it saves, it holds the list's lock from before the list is read until
// what the pass changed is saved, and no longer: the notices go out afterwards. A list named on the
// command line must be one; among the others, the pass passes over what is not.
int remindList(const QString& path, bool named, bool apply, TardigoMinder& minder,
               WindowlessMinderHost& host) {
    const bool saves = apply && QFileInfo(path).isFile();
    const std::optional<ListLock> lock = saves ? lockList(path) : std::nullopt;
    if (saves && !lock)
        return Failure;
    if (named) {
        const ListLoad load = readListFile(path);
        if (!load.ok())
            return fail(load.error);
        host.openDocumentWithoutDisplay(path, load);
    }
    minder.setDocs({path});
    minder.scanDocs();
    int status = Success;
    if (apply) {
        QString error;
        for (TardigoDocument* document : host.changedDocuments())
            if (!document->writeToFile(document->fileName(), &error))
                status = fail(error);
    }
    // Closed here, before an event loop could run their deferred calls.
    host.closeDocuments();
    return status;
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
    const bool apply = parsed->flags.contains(kApply);
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
    HeldBackChannels heldBack(noticeChannels, reporter);
    WindowlessMinderHost host;
    TardigoMinder minder(host, heldBack.channels(), reporter);
    if (all)
        minder.collectDocs();
    QStringList docs = uniqueFiles(parsed->positional + minder.docs());
    if (apply) {
        // The lists Tardigo has open are its own minder's to look after and save.
        const std::optional<QStringList> notOpen = listsNotOpenInTardigo(docs, parsed->positional);
        if (!notOpen)
            status = Failure;
        docs = notOpen.value_or(QStringList());
    }
    for (const QString& path : std::as_const(docs)) {
        const size_t noticesBefore = host.notices().size();
        if (remindList(path, parsed->positional.contains(path), apply, minder, host) != Success)
            status = Failure;
        if (channels.contains(kPrint))
            printNotices(host.notices(), noticesBefore);
        heldBack.deliver();
    }
#ifdef TARDIGO_HAVE_SPEECH
    waitForSpeech(speech);
#endif
    Clock::reset();
    return reporter.count > 0 ? Failure : status;
}

} // namespace tardigo::cli
