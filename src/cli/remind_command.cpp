#include "cli/remind_command.h"

#include "archive/list_file.h"
#include "cli/cli_args.h"
#include "cli/cli_output.h"
#include "cli/list_update.h"
#include "cli/open_lists.h"
#include "cli/terminal_text.h"
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

#include <algorithm>
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
        err() << "tardigo-cli: " << QString(text).replace(u'\n', u' ') << Qt::endl;
    }
};

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

// Locks every list the pass may save before it is read, in the one order every pass takes them in,
// so that no other writer's change is lost; a list that cannot be locked is left out of the pass.
QStringList lockedForSaving(const QStringList& docs, LockedLists& locks, int* status) {
    QStringList lists;
    for (const QString& path : docs)
        if (QFileInfo(path).isFile())
            lists.append(path);
    std::sort(lists.begin(), lists.end(), [](const QString& a, const QString& b) {
        return ListLock::lockFilePath(a) < ListLock::lockFilePath(b);
    });
    QStringList locked = docs;
    for (const QString& path : std::as_const(lists)) {
        if (!locks.lock(path)) {
            locked.removeAll(path);
            *status = Failure;
        }
    }
    return locked;
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
    LockedLists locks; // held until what the pass changed is saved
    {
        WindowlessMinderHost host;
        TardigoMinder minder(host, noticeChannels, reporter);
        if (all)
            minder.collectDocs();
        QStringList docs = uniqueFiles(parsed->positional + minder.docs());
        if (apply) {
            // The lists Tardigo has open are its own minder's to look after and save.
            const std::optional<QStringList> notOpen = listsNotOpenInTardigo(docs, parsed->positional);
            if (!notOpen)
                status = Failure;
            docs = lockedForSaving(notOpen.value_or(QStringList()), locks, &status);
        }
        // A list named on the command line must be one; the pass passes over what is not.
        for (const QString& path : parsed->positional) {
            if (const ListLoad load = readListFile(path); !load.ok() && docs.removeAll(path) > 0)
                status = fail(load.error);
        }
        minder.setDocs(docs);
        minder.scanDocs();

        if (channels.contains(kPrint)) {
            for (const WindowlessMinderHost::Notice& notice : host.notices()) {
                const QString kind =
                    notice.status == ItemStatusReminder ? QStringLiteral("reminder") : QStringLiteral("due");
                // One notice a line, its fields separated by tabs: none of them holds a control character.
                out() << terminalSafe(notice.path) << '\t' << terminalSafe(nameOf(*notice.node)) << '\t'
                      << kind << '\t' << terminalSafe(notice.message) << '\n';
            }
            out().flush();
        }
        if (apply) {
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
