#include "app_rules/application_rules.h"

#include "app_rules/application_host.h"
#include "app_rules/minder_run.h"
#include "document/tardigo_document.h"
#include "minder/remind_again.h"
#include "model/core_log.h"
#include "model/keys.h"
#include "platform/settings.h"
#include "quick_add/quick_add_text.h"

#include <QFileInfo>

namespace tardigo {

namespace {
constexpr qint64 kDefaultMinderMinutes = 15;
}

ApplicationRules::ApplicationRules(ApplicationHost& host, Timers& timers)
    : _host(host), _timers(timers), _alarm(timers, [this] { runMinderPass(); }) {}

ApplicationRules::~ApplicationRules() = default;

void ApplicationRules::start(const QStringList& files) {
    for (const QString& file : files)
        _host.openDocument(file);
    if (files.isEmpty() && _host.documents().empty() && shouldOpenUntitledList())
        _host.openUntitledDocument();
    const Settings& settings = Settings::instance();
    if (settings.loadPreviousListOnStartup()) {
        for (const QString& path : settings.lastDocumentSet()) {
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
        startMinder();
    });
}

bool ApplicationRules::shouldOpenUntitledList() const {
    const Settings& settings = Settings::instance();
    if (settings.lastDocumentSet().isEmpty())
        return true;
    return !settings.loadPreviousListOnStartup();
}

bool ApplicationRules::quitsAfterLastWindowClosed() const {
    return Settings::instance().lastWindowCloseQuits();
}

void ApplicationRules::prepareToQuit() {
    QStringList paths;
    for (const TardigoDocument* document : _host.documents())
        if (!document->fileName().isEmpty())
            paths.append(document->fileName());
    Settings::instance().setLastDocumentSet(paths);
}

void ApplicationRules::startMinder() {
    const Settings& settings = Settings::instance();
    _minderTimer.reset();
    _alarm.setEnabled(settings.minderEnabled());
    if (!settings.minderEnabled())
        return;
    qint64 minutes = settings.minderIntervalMinutes();
    if (minutes <= 0)
        minutes = kDefaultMinderMinutes;
    _minderInterval = std::chrono::minutes(minutes);
    _minderTimer = _timers.callRepeatedly(_minderInterval, [this] { runMinderPass(); });
    runMinderPass();
}

void ApplicationRules::documentOpened(TardigoDocument& document) {
    _alarm.follow(document);
}

void ApplicationRules::timeMoved() {
    _alarm.rearm();
}

std::optional<std::chrono::milliseconds> ApplicationRules::minderInterval() const {
    return _minderTimer ? std::optional(_minderInterval) : std::nullopt;
}

void ApplicationRules::runMinderPass() {
    // No two passes overlap: one asked for meanwhile follows the one that runs.
    if (_run) {
        _runAgain = true;
        return;
    }
    _statusDocument = _host.currentDocument();
    if (_statusDocument)
        _statusDocument->setStatus(tr("Tardigo Minder scanning..."));
    QPointer<ApplicationRules> self(this);
    _run = std::make_unique<MinderRun>(
        _host,
        [self](MessageAnswer answer, const NodePtr& context) {
            if (self)
                self->minderAlertAnswered(answer, context);
        },
        _timers);
    connect(_run.get(), &MinderRun::finished, this, &ApplicationRules::minderRunEnded);
    _alarm.passStarted();
    _run->start();
}

void ApplicationRules::minderRunEnded() {
    _alarm.passEnded(_run->nextNoticeMoment());
    // The pass's own signal got here: it is deleted once that has returned.
    _run.release()->deleteLater();
    if (_statusDocument)
        _statusDocument->setStatus(std::nullopt);
    _statusDocument.clear();
    emit minderRunFinished();
    if (std::exchange(_runAgain, false))
        runMinderPass();
}

void ApplicationRules::minderAlertAnswered(MessageAnswer answer, const NodePtr& context) {
    const int later = answer.role == MessageRole::Action ? answer.actionIndex : -1;
    const bool remindAgain = later >= 0 && size_t(later) < kRemindAgainChoices.size();
    if ((answer.role != MessageRole::Reject && !remindAgain) || !context)
        return;
    const QString* path = context->value(key::docPath).asString();
    TardigoDocument* document = path ? _host.openDocumentForFileName(*path) : nullptr;
    if (!document) {
        qCWarning(lcApplication).noquote() << QStringLiteral("the list of a notice did not open: %1")
                                                  .arg(path ? *path : QStringLiteral("(null)"));
        return;
    }
    if (remindAgain)
        document->minderHandOff().remindAgain(context, kRemindAgainChoices[size_t(later)]);
    else
        document->minderHandOff().minderViewItem(context);
}

void ApplicationRules::documentClosed(const MinderDocument* document) {
    if (_run)
        _run->documentClosed(document);
}

std::optional<QString> ApplicationRules::newItemFromText(const std::optional<QString>& text) {
    const std::vector<TardigoDocument*> documents = _host.documents();
    if (!text)
        return std::nullopt;
    if (documents.empty()) {
        qCWarning(lcApplication).noquote() << "a new item came while no list was open";
        return noOpenList();
    }
    documents.front()->itemCommands().newItemWithName(*text);
    return std::nullopt;
}

std::optional<QString> ApplicationRules::quickAdd(const QString& text) {
    const std::optional<QuickAddItem> described = readQuickAddText(text);
    if (!described)
        return tr("“%1” names no item: give it a name besides its #category and due date.")
            .arg(text.trimmed());
    const QString list = Settings::instance().quickAddList();
    TardigoDocument* document = nullptr;
    if (!list.isEmpty()) {
        document = _host.openDocument(list);
        if (!document)
            return tr("The quick-add list “%1” did not open. Choose another as the "
                      "preference quickAddList, or none for the first open list.")
                .arg(list);
    } else if (const std::vector<TardigoDocument*> documents = _host.documents(); !documents.empty()) {
        document = documents.front();
    } else {
        qCWarning(lcApplication).noquote() << "a new item came while no list was open";
        return noOpenList();
    }
    document->itemCommands().newItemFrom(*described);
    return std::nullopt;
}

QString ApplicationRules::noOpenList() {
    return tr("There is no open list to add the item to. Open a list in Tardigo, then try again.");
}

void ApplicationRules::saveModifiedLists() {
    for (TardigoDocument* document : _host.documents())
        _host.autoSave(*document);
}

} // namespace tardigo
