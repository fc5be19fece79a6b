#include "desktop_app/application_main.h"

#include "appearance/color_scheme_portal.h"
#include "appearance/dark_palette.h"
#include "appearance/icon_for_name.h"
#include "desktop_app/button_keys.h"
#include "desktop_app/command_line.h"
#include "desktop_app/tardigo_application.h"
#include "desktop_app/termination_signals.h"
#include "desktop_app/translators.h"
#include "desktop_search/gui/desktop_search_service.h"
#include "instance/instance_client.h"
#include "instance/instance_socket.h"
#include "instance/single_instance.h"
#include "outline/icon_rules.h"
#include "platform/file_name_encoding.h"
#include "platform/untrusted_text.h"
#include "print/gui/print_to_pdf.h"
#include "stickies/core/sticky_store.h"

#include <QApplication>

#include <chrono>
#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tardigo {

namespace {

/// What the command line asks of the running Tardigo, in order; the first decides who runs.
std::vector<InstanceRequest> requestsFor(const CommandLine& line) {
    std::vector<InstanceRequest> requests;
    // The running Tardigo answers the desktop's search itself: asking it something that shows
    // nothing tells whether it is there.
    if (line.searchProvider && line.files.isEmpty() && !line.newItem && !line.newItemFromSelection &&
        !line.quickAdd) {
        InstanceRequest probe;
        probe.command = InstanceRequest::Command::OpenListPaths;
        return {probe};
    }
    InstanceRequest open;
    open.command =
        line.files.isEmpty() ? InstanceRequest::Command::Activate : InstanceRequest::Command::OpenFiles;
    open.files = line.files;
    if (!line.files.isEmpty() || (!line.newItem && !line.newItemFromSelection && !line.quickAdd))
        requests.push_back(open);
    if (line.newItem) {
        InstanceRequest item;
        item.command = InstanceRequest::Command::NewItem;
        item.text = *line.newItem;
        requests.push_back(item);
    }
    if (line.newItemFromSelection) {
        InstanceRequest item;
        item.command = InstanceRequest::Command::NewItemFromSelection;
        requests.push_back(item);
    }
    if (line.quickAdd) {
        InstanceRequest show;
        show.command = InstanceRequest::Command::QuickAdd;
        requests.push_back(show);
    }
    return requests;
}

/// How long Tardigo started for the desktop's search waits for one before it quits;
/// TARDIGO_SEARCH_IDLE_MSECS sets another time.
std::chrono::milliseconds searchIdleTime() {
    bool ok = false;
    const int msecs = qEnvironmentVariableIntValue("TARDIGO_SEARCH_IDLE_MSECS", &ok);
    return ok && msecs > 0 ? std::chrono::milliseconds(msecs) : std::chrono::minutes(1);
}

int report(const InstanceReply& reply) {
    if (reply.ok)
        return 0;
    std::fprintf(stderr, "tardigo: %s\n", qPrintable(terminalSafe(reply.error)));
    return 1;
}

} // namespace

int runTardigo(int argc, char** argv) {
#ifdef __GLIBC__
    // One heap for every thread, before any starts: glibc gives back what a thread's own heap held
    // only when a large block of it is freed, so what the bus's thread read of a query (megabytes,
    // from any program on the bus) would stay taken; malloc_trim gives back the one heap's pages.
    mallopt(M_ARENA_MAX, 1);
#endif
    // Qt reads every argument as UTF-8: a file name of other bytes would come to name another file,
    // and a new item's text would lose its letters.
    if (const QString refusal = notUtf8ArgumentReason(QStringLiteral("tardigo"), argc, argv);
        !refusal.isEmpty()) {
        std::fprintf(stderr, "tardigo: %s\n", qPrintable(terminalSafe(refusal)));
        return 2;
    }
    // A printout for a script, the help and the version need no display, and may be asked for where
    // there is none.
    if (asksForNoWindow(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tardigo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tardigo"));
    QApplication::setApplicationVersion(QStringLiteral(TARDIGO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tardigo"));
    installTranslators();
    ButtonKeys::install();

    const CommandLine line = parseCommandLine(QApplication::arguments());
    QApplication::setWindowIcon(iconForName(QStringLiteral("tardigo")));
    IconRules::setImageAvailability([](const QString& name) { return !iconForName(name).isNull(); });
    if (line.printToPdf) {
        // An option taken for the file's name would name the PDF after it.
        if (line.files.size() != 1 || line.printToPdf->startsWith(u'-')) {
            std::fprintf(stderr,
                         "tardigo: --print-to-pdf prints exactly one list into the file named after it:\n"
                         "  tardigo --print-to-pdf OUT.pdf [--force] [--print-notes] [--print-icons] "
                         "[--print-checkboxes] LIST\n");
            return 2;
        }
        return printListToPdf(line.files.front(), *line.printToPdf, line.printOptions, line.replacePdf);
    }
    const std::vector<InstanceRequest> requests = requestsFor(line);
    // One Tardigo a session: a second one hands what it was asked to the first and ends.
    InstanceClaim claim = claimOrForward(requests.front(), instanceSocketPath());
    if (!claim.refusal.isEmpty()) {
        std::fprintf(stderr, "tardigo: %s\n", qPrintable(terminalSafe(claim.refusal)));
        return 1;
    }
    if (claim.forwardedReply) {
        int status = report(*claim.forwardedReply);
        for (auto request = requests.begin() + 1; request != requests.end() && status == 0; ++request)
            status = report(
                askRunningInstance(instanceSocketPath(), *request)
                    .value_or(InstanceReply{false, QStringLiteral("Tardigo has quit meanwhile."), {}}));
        return status;
    }

    // Without --dark, the desktop's preference, which may change while Tardigo runs.
    ColorSchemePortal colorScheme(QDBusConnection::sessionBus());
    if (line.dark) {
        useDarkPalette(true);
    } else {
        QObject::connect(&colorScheme, &ColorSchemePortal::preferenceChanged, &useDarkPalette);
        colorScheme.start();
    }

    const bool searchOnly = requests.front().command == InstanceRequest::Command::OpenListPaths;
    TardigoApplication tardigo(std::move(claim.server), StickyStore::standardPath(), TodoLocator(),
                               searchOnly ? ApplicationStart::SearchOnly : ApplicationStart::Windows);
    // A session that ends asks as File > Quit does: unsaved changes are answered for, the lists and
    // the stickies remembered.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &tardigo,
                     [&tardigo] { tardigo.controller().quit(); });
    DesktopSearchService search(tardigo);
    const bool published = search.publish(QDBusConnection::sessionBus());
    tardigo.serveDesktopSearch(search);
    if (searchOnly) {
        if (!published) {
            std::fprintf(stderr, "tardigo: --search-provider answers the desktop's search on the session "
                                 "bus, which cannot be reached or where another program holds Tardigo's "
                                 "names.\n");
            return 1;
        }
        search.setIdleTime(searchIdleTime());
    } else {
        tardigo.launch(line.files);
    }
    // Failures were said already, on the desktop and here; the application runs on regardless.
    for (const InstanceRequest& request : requests)
        if (request.command == InstanceRequest::Command::NewItem ||
            request.command == InstanceRequest::Command::NewItemFromSelection ||
            request.command == InstanceRequest::Command::QuickAdd)
            report(tardigo.handle(request));
    return QApplication::exec();
}

} // namespace tardigo
