#include "application/tardigo_app_delegate.h"

#include "application/application_host.h"
#include "application/application_log.h"
#include "application/minder_run.h"
#include "document/tardigo_document.h"
#include "minder/sheet_window.h"
#include "model/keys.h"
#include "platform/localized.h"
#include "platform/user_defaults.h"

#include <QFileInfo>

namespace tardigo {

namespace {
constexpr qint64 kDefaultMinderMinutes = 15;
}

TardigoAppDelegate::TardigoAppDelegate(ApplicationHost& host, Timers& timers)
    : _host(host), _timers(timers) {}

TardigoAppDelegate::~TardigoAppDelegate() = default;

void TardigoAppDelegate::applicationDidFinishLaunching(const QStringList& files) {
    for (const QString& file : files)
        _host.openDocument(file);
    if (files.isEmpty() && _host.documents().empty() && applicationShouldOpenUntitledFile())
        _host.openUntitledDocument();
    const UserDefaults& defaults = UserDefaults::standard();
    if (defaults.boolForKey(pref::loadPreviousListOnStartup)) {
        for (const QString& path : defaults.stringArrayForKey(pref::lastDocumentSet)) {
            if (_host.openDocumentForFileName(path))
                continue;
            // A list moved or deleted since is no news at every start.
            if (!QFileInfo::exists(path)) {
                qCInfo(lcApplication).noquote() << "the remembered list" << path << "is gone";
                continue;
            }
            _host.openDocument(path);
        }
    }
    // With every remembered list gone, a window still opens: an application without one cannot be
    // reached on this desktop.
    if (_host.documents().empty())
        _host.openUntitledDocument();
    _deferredInstall = _timers.callOnce(std::chrono::milliseconds(0), [this] {
        const std::unique_ptr<PendingCall> done = std::move(_deferredInstall);
        installTardigoMinder();
    });
}

bool TardigoAppDelegate::applicationShouldOpenUntitledFile() const {
    const UserDefaults& defaults = UserDefaults::standard();
    if (defaults.stringArrayForKey(pref::lastDocumentSet).isEmpty())
        return true;
    return !defaults.boolForKey(pref::loadPreviousListOnStartup);
}

bool TardigoAppDelegate::applicationShouldTerminateAfterLastWindowClosed() const {
    return UserDefaults::standard().boolForKey(pref::lastWindowCloseQuits);
}

void TardigoAppDelegate::applicationWillTerminate() {
    QStringList paths;
    for (const TardigoDocument* document : _host.documents())
        if (!document->fileName().isEmpty())
            paths.append(document->fileName());
    UserDefaults::standard().setStringArray(pref::lastDocumentSet, paths);
}

void TardigoAppDelegate::installTardigoMinder() {
    const UserDefaults& defaults = UserDefaults::standard();
    _minderTimer.reset();
    if (!defaults.boolForKey(pref::tardigoMinderEnabled))
        return;
    qint64 minutes = defaults.integerForKey(pref::tardigoMinderRunIntervalMin);
    if (minutes <= 0)
        minutes = kDefaultMinderMinutes;
    _minderInterval = std::chrono::minutes(minutes);
    _minderTimer = _timers.callRepeatedly(_minderInterval, [this] { minderExec(); });
    minderExec();
}

std::optional<std::chrono::milliseconds> TardigoAppDelegate::minderInterval() const {
    return _minderTimer ? std::optional(_minderInterval) : std::nullopt;
}

void TardigoAppDelegate::minderExec() {
    // No two passes overlap: one asked for meanwhile follows the one that runs.
    if (_run) {
        _runAgain = true;
        return;
    }
    _statusDocument = _host.currentDocument();
    if (_statusDocument)
        _statusDocument->setStatus(localized(QStringLiteral("Tardigo Minder scanning...")));
    QPointer<TardigoAppDelegate> self(this);
    _run = std::make_unique<MinderRun>(
        _host,
        [self](int returnCode, const NodePtr& context) {
            if (self)
                self->minderSheetDidDismiss(returnCode, context);
        },
        _timers);
    connect(_run.get(), &MinderRun::finished, this, &TardigoAppDelegate::minderRunEnded);
    _run->start();
}

void TardigoAppDelegate::minderRunEnded() {
    // The pass's own signal got here: it is deleted once that has returned.
    _run.release()->deleteLater();
    if (_statusDocument)
        _statusDocument->setStatus(std::nullopt);
    _statusDocument.clear();
    emit minderRunFinished();
    if (std::exchange(_runAgain, false))
        minderExec();
}

void TardigoAppDelegate::minderSheetDidDismiss(int returnCode, const NodePtr& context) {
    if (returnCode != AlertAlternateReturn || !context)
        return;
    const QString* path = context->value(key::docPath).asString();
    TardigoDocument* document = path ? _host.openDocumentForFileName(*path) : nullptr;
    if (!document) {
        qCWarning(lcApplication).noquote() << QStringLiteral("minderSheetDidEnd::: failed to open doc %1")
                                                  .arg(path ? *path : QStringLiteral("(null)"));
        return;
    }
    document->minderHandOff().minderViewItem(context);
}

void TardigoAppDelegate::documentClosed(const MinderDocument* document) {
    if (_run)
        _run->documentClosed(document);
}

std::optional<QString> TardigoAppDelegate::newItemWithSelection(const std::optional<QString>& text) {
    const std::vector<TardigoDocument*> documents = _host.documents();
    if (!text)
        return std::nullopt;
    if (documents.empty()) {
        qCWarning(lcApplication).noquote()
            << "in newItemWithSelection:userData:error: failed to get TardigoDocument from controller";
        return localized(QStringLiteral("There is no open list to add the item to. Open a list in Tardigo, "
                                        "then try again."));
    }
    documents.front()->itemCommands().newItemWithName(*text);
    return std::nullopt;
}

void TardigoAppDelegate::autoSaveInitialize() {
    for (TardigoDocument* document : _host.documents())
        _host.autoSave(*document);
}

} // namespace tardigo
