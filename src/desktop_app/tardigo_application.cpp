#include "desktop_app/tardigo_application.h"

#include "accounts/window_sync.h"
#include "agenda/core/agenda_lists.h"
#include "agenda/gui/agenda_documents.h"
#include "agenda/gui/agenda_window.h"
#include "app_rules/background_locator.h"
#include "archive/list_file.h"
#include "desktop_app/preferences_window.h"
#include "desktop_app/quick_add_window.h"
#include "desktop_search/gui/desktop_search_service.h"
#include "dialogs/dialog_service.h"
#include "document/autosave_scheduler.h"
#include "document/tardigo_document.h"
#include "instance/instance_server.h"
#include "minder/tardigo_minder.h"
#include "platform/preference_signals.h"
#include "platform/settings.h"
#include "stickies/gui/sticky_board.h"
#include "widgets/gui_log.h"
#include "window/document_main_window.h"
#ifdef TARDIGO_HAVE_SPEECH
#include "notice_channels/text_to_speech_channel.h"
#endif

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QWidget>

#include <algorithm>

namespace tardigo {

void ApplicationBeep::beep() {
    QApplication::beep();
}

void MessageBoxErrorReporter::showError(const QString& title, const QString& message) {
    DialogService::warning(nullptr, title, title, message);
}

namespace {

constexpr int kSettingsSettleMsecs = 200;

QString filePathOf(const QString& path) {
    const QFileInfo info(path);
    return info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
}

} // namespace

TardigoApplication::TardigoApplication(std::unique_ptr<InstanceServer> server, const QString& stickiesPath,
                                       TodoLocator locator, ApplicationStart start)
    : _rules(*this), _clockEvents(QDBusConnection::systemBus()), _stickiesPath(stickiesPath),
      _server(std::move(server)), _locator(std::move(locator)),
      _searchOnly(start == ApplicationStart::SearchOnly) {
#ifdef TARDIGO_HAVE_SPEECH
    _speech = std::make_unique<TextToSpeechChannel>();
#endif
    // Whether closing the last window quits is the preferences' to say, and remembering the lists
    // comes first.
    QApplication::setQuitOnLastWindowClosed(false);
    connect(&_controller, &DocumentController::aboutToQuit, this, &TardigoApplication::quitting);
    connect(&_controller, &DocumentController::lastWindowClosed, this, &TardigoApplication::lastWindowClosed);
    connect(&_controller, &DocumentController::documentClosed, this,
            [this](TardigoDocument* document) { _rules.documentClosed(document); });
    connect(&_controller, &DocumentController::preferencesRequested, this,
            &TardigoApplication::showPreferences);
    connect(&_controller, &DocumentController::stickiesRequested, this,
            [this](TardigoDocument* document, const std::vector<NodePtr>& items) {
                stickies().add(*document, items);
            });
    connect(&_controller, &DocumentController::documentOpened, this,
            [this](TardigoDocument* document) { stickies().follow(*document); });
    connect(&_controller, &DocumentController::documentOpened, this,
            [this](TardigoDocument* document) { _rules.documentOpened(*document); });
    connect(&_clockEvents, &SystemClockEvents::timeMoved, &_rules, &ApplicationRules::timeMoved);
    connect(&_controller, &DocumentController::showStickiesRequested, this, [this] { stickies().showAll(); });
    connect(&_controller, &DocumentController::agendaRequested, this, [this] { showAgenda(); });
    connect(&_controller, &DocumentController::documentOpened, this, [this](TardigoDocument* document) {
        if (_agendaDocuments)
            _agendaDocuments->follow(*document);
    });
    connect(&_rules, &ApplicationRules::minderRunFinished, this,
            &TardigoApplication::closeWindowlessDocuments);
    connect(&_rules, &ApplicationRules::minderRunFinished, this, [this] {
        for (DocumentMainWindow* window : _controller.windows())
            window->sync().minderRan();
    });
    if (_server)
        _server->setHandler([this](const InstanceRequest& request) { return handle(request); });
    watchSettingsFile();
    // The notes show on the desktop from the start, but not for a search that wants no window.
    if (!_searchOnly)
        stickies();
}

TardigoApplication::~TardigoApplication() {
    _agenda.reset();
    Settings::instance().sync();
    for (const std::unique_ptr<TardigoDocument>& document : _windowless)
        document->close();
}

void TardigoApplication::launch(const QStringList& files) {
    _rules.start(files);
}

// Requests

InstanceReply TardigoApplication::handle(const InstanceRequest& request) {
    if (_searchOnly && request.command != InstanceRequest::Command::OpenListPaths) {
        const bool opens = request.command == InstanceRequest::Command::Activate ||
                           request.command == InstanceRequest::Command::OpenFiles;
        // Opening lists may ask the user something: the asking process is answered first.
        _searchOnly = false;
        QTimer::singleShot(0, this,
                           [this, files = request.command == InstanceRequest::Command::OpenFiles
                                              ? request.files
                                              : QStringList()] { leaveSearchOnly(files); });
        if (opens)
            return {};
    }
    switch (request.command) {
    case InstanceRequest::Command::Activate:
        QTimer::singleShot(0, this, &TardigoApplication::activate);
        return {};
    case InstanceRequest::Command::OpenFiles:
        // Opening may ask the user something: the asking process is answered first.
        QTimer::singleShot(0, this, [this, files = request.files] {
            for (const QString& file : files)
                _controller.openFile(file);
        });
        return {};
    case InstanceRequest::Command::NewItem:
        return newItem(request.text);
    case InstanceRequest::Command::NewItemFromSelection: {
        QString why;
        const std::optional<QString> text = selectedText(&why);
        if (text)
            return newItem(text);
        _notifications.notify(tr("No new item"), why);
        return {false, why, {}};
    }
    case InstanceRequest::Command::QuickAdd:
        QTimer::singleShot(0, this, &TardigoApplication::showQuickAdd);
        return {};
    case InstanceRequest::Command::OpenListPaths: {
        InstanceReply reply;
        for (const TardigoDocument* document : documents())
            if (!document->fileName().isEmpty())
                reply.files.append(document->fileName());
        for (const std::unique_ptr<TardigoDocument>& document : _windowless)
            reply.files.append(document->fileName());
        return reply;
    }
    }
    return {};
}

StickyBoard& TardigoApplication::stickies() {
    if (!_stickies)
        _stickies = std::make_unique<StickyBoard>(_stickiesPath);
    return *_stickies;
}

void TardigoApplication::serveDesktopSearch(DesktopSearchService& service) {
    connect(&service, &DesktopSearchService::idle, this, &TardigoApplication::searchIdle);
    if (_searchOnly)
        locateTodoItems([](const std::optional<QStringList>&) {});
}

void TardigoApplication::leaveSearchOnly(const QStringList& files) {
    _searchOnly = false;
    stickies();
    launch(files);
}

void TardigoApplication::searchIdle() {
    if (!_searchOnly || _quitting)
        return;
    const QWidgetList shown = QApplication::topLevelWidgets();
    if (std::any_of(shown.begin(), shown.end(), [](const QWidget* widget) { return widget->isVisible(); }))
        return;
    qCInfo(lcApp) << "the desktop's search has been idle; quitting";
    QApplication::quit();
}

void TardigoApplication::showQuickAdd() {
    if (!_quickAdd)
        _quickAdd =
            std::make_unique<QuickAddWindow>([this](const QString& line) { return _rules.quickAdd(line); });
    _quickAdd->present();
}

AgendaWindow& TardigoApplication::showAgenda() {
    if (!_agenda) {
        _agendaLists = std::make_unique<AgendaLists>();
        _agendaDocuments = std::make_unique<AgendaDocuments>(
            *_agendaLists, [this](const QString& path) { return openDocumentForFileName(path); });
        for (TardigoDocument* document : documents())
            _agendaDocuments->follow(*document);
        updateAgendaLists(std::nullopt);
        AgendaWindow::Actions actions;
        actions.showItem = [this](const AgendaEntry& entry) { showInList(entry); };
        actions.quickAdd = [this](const QString& line) { return _rules.quickAdd(line); };
        _agenda = std::make_unique<AgendaWindow>(*_agendaLists, *_agendaDocuments, std::move(actions));
        // The minder's pass may have seen new lists, and the preferences name others.
        connect(&_rules, &ApplicationRules::minderRunFinished, _agenda.get(), [this] {
            locateTodoItems(
                [this](const std::optional<QStringList>& located) { updateAgendaLists(located); });
        });
        locateTodoItems([this](const std::optional<QStringList>& located) { updateAgendaLists(located); });
    }
    _agenda->present();
    return *_agenda;
}

void TardigoApplication::updateAgendaLists(const std::optional<QStringList>& located) {
    if (!_agendaLists)
        return;
    QStringList files = watchedLists(located);
    for (const TardigoDocument* document : documents())
        if (!document->fileName().isEmpty())
            files.append(document->fileName());
    _agendaLists->setFiles(files);
}

void TardigoApplication::showInList(const AgendaEntry& entry) {
    TardigoDocument* document = openDocumentForFileName(entry.list);
    if (!document)
        document = openDocument(entry.list);
    if (!document)
        return;
    document->showWindows();
    if (!AgendaDocuments::reveal(*document, entry))
        document->setStatus(tr("The item is no longer where the agenda saw it."));
}

void TardigoApplication::activate() {
    if (_controller.windows().empty())
        _controller.newUntitledDocument();
    else
        _controller.windows().back()->showWindows();
}

InstanceReply TardigoApplication::newItem(const std::optional<QString>& text) {
    // Without a text, a new item to name in the list in front, as the desktop's New Item action asks.
    if (text && text->isEmpty()) {
        if (_controller.windows().empty())
            _controller.newUntitledDocument();
        TardigoDocument* front =
            currentDocument() ? currentDocument() : &_controller.windows().back()->document();
        front->showWindows();
        front->itemCommands().newItem();
        return {};
    }
    if (const std::optional<QString> why = _rules.newItemFromText(text)) {
        _notifications.notify(tr("No new item"), *why);
        return {false, *why, {}};
    }
    return {};
}

std::optional<QString> TardigoApplication::selectedText(QString* why) const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    QString text = clipboard->supportsSelection() ? clipboard->text(QClipboard::Selection) : QString();
    if (text.trimmed().isEmpty())
        text = clipboard->text(QClipboard::Clipboard);
    if (!text.trimmed().isEmpty())
        return text;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        *why = tr("This desktop session does not let Tardigo read the selected text or the "
                  "clipboard while another window is in front. Add the item in Tardigo's "
                  "window, or paste it there.");
    else
        *why = tr("There is no text selected, and none on the clipboard, to make an item of.");
    return std::nullopt;
}

// Windows, preferences, quitting

PreferencesWindow& TardigoApplication::preferences() {
    if (!_preferences) {
        _preferences = std::make_unique<PreferencesWindow>();
        connect(_preferences.get(), &PreferencesWindow::preferencesApplied, this,
                [this] { QTimer::singleShot(0, &_rules, &ApplicationRules::startMinder); });
        connect(_preferences.get(), &PreferencesWindow::autoSaveTurnedOn, &_rules,
                &ApplicationRules::saveModifiedLists);
    }
    return *_preferences;
}

void TardigoApplication::showPreferences(bool iconSection) {
    PreferencesWindow& window = preferences();
    window.show();
    window.raise();
    window.activateWindow();
    if (iconSection)
        window.showIcons();
}

void TardigoApplication::quitting() {
    _quitting = true;
    _rules.prepareToQuit();
    if (_stickies)
        _stickies->save();
    Settings::instance().sync();
}

void TardigoApplication::lastWindowClosed() {
    if (_quitting || !_rules.quitsAfterLastWindowClosed())
        return;
    quitting();
    QApplication::quit();
}

void TardigoApplication::watchSettingsFile() {
    const QString file = Settings::instance().fileName();
    if (file.isEmpty())
        return;
    // A save replaces the file: its folder is watched too, and the file again after each change.
    _settingsWatcher.addPath(QFileInfo(file).absolutePath());
    if (QFileInfo::exists(file))
        _settingsWatcher.addPath(file);
    _settingsReload.setSingleShot(true);
    _settingsReload.setInterval(kSettingsSettleMsecs);
    connect(&_settingsWatcher, &QFileSystemWatcher::fileChanged, &_settingsReload,
            qOverload<>(&QTimer::start));
    connect(&_settingsWatcher, &QFileSystemWatcher::directoryChanged, &_settingsReload,
            qOverload<>(&QTimer::start));
    connect(&_settingsReload, &QTimer::timeout, this, &TardigoApplication::settingsFileChanged);
}

void TardigoApplication::settingsFileChanged() {
    Settings& settings = Settings::instance();
    if (QFileInfo::exists(settings.fileName()) && !_settingsWatcher.files().contains(settings.fileName()))
        _settingsWatcher.addPath(settings.fileName());
    const bool autoSaveWasOn = settings.autoSave();
    if (!settings.reload())
        return;
    qCInfo(lcApp) << "the preferences changed outside Tardigo; taking them up";
    emit PreferenceSignals::instance().preferencesChanged();
    if (_preferences && _preferences->isVisible())
        _preferences->updateUI();
    if (!autoSaveWasOn && settings.autoSave())
        _rules.saveModifiedLists();
    QTimer::singleShot(0, &_rules, &ApplicationRules::startMinder);
}

// ApplicationHost

std::vector<TardigoDocument*> TardigoApplication::documents() const {
    std::vector<TardigoDocument*> documents;
    for (DocumentMainWindow* window : _controller.windows())
        documents.push_back(&window->document());
    return documents;
}

TardigoDocument* TardigoApplication::currentDocument() const {
    auto* window = qobject_cast<DocumentMainWindow*>(QApplication::activeWindow());
    return window ? &window->document() : nullptr;
}

TardigoDocument* TardigoApplication::openDocumentForFileName(const QString& path) const {
    DocumentMainWindow* window = _controller.windowForFileName(path);
    return window ? &window->document() : nullptr;
}

TardigoDocument* TardigoApplication::openDocument(const QString& path) {
    DocumentMainWindow* window = _controller.openFile(path);
    return window ? &window->document() : nullptr;
}

void TardigoApplication::openUntitledDocument() {
    _controller.newUntitledDocument();
}

void TardigoApplication::autoSave(TardigoDocument& document) {
    if (auto* scheduler = document.findChild<AutosaveScheduler*>())
        scheduler->autoSave();
}

NoticeChannels TardigoApplication::noticeChannels() {
    NoticeChannels channels;
    channels.beep = &_beep;
    channels.desktopNotification = &_notifications;
    channels.mail = &_mail;
#ifdef TARDIGO_HAVE_SPEECH
    channels.speech = _speech.get();
#endif
    return channels;
}

void TardigoApplication::locateTodoItems(std::function<void(const std::optional<QStringList>&)> done) {
    // What the minder's passes find is searched from the desktop too.
    locateTodoItemsInBackground(_locator, this,
                                [this, done = std::move(done)](const std::optional<QStringList>& located) {
                                    _located = located;
                                    done(located);
                                });
}

// MinderHost

MinderDocument* TardigoApplication::documentForFileName(const QString& path) {
    if (TardigoDocument* document = openDocumentForFileName(path))
        return document;
    const QString file = filePathOf(path);
    for (const std::unique_ptr<TardigoDocument>& document : _windowless)
        if (filePathOf(document->fileName()) == file)
            return document.get();
    return nullptr;
}

MinderDocument* TardigoApplication::openDocumentWithoutDisplay(const QString& path, const ListLoad& load) {
    auto document = std::make_unique<TardigoDocument>();
    QString error;
    if (!document->adoptFile(load, QFileInfo(path).absoluteFilePath(), &error)) {
        qCInfo(lcApp).noquote() << "the minder skips" << path << error;
        return nullptr;
    }
    _windowless.push_back(std::move(document));
    return _windowless.back().get();
}

void TardigoApplication::removeDocument(MinderDocument* document) {
    std::erase_if(_windowless, [document](const std::unique_ptr<TardigoDocument>& windowless) {
        if (windowless.get() != document)
            return false;
        windowless->close();
        return true;
    });
}

void TardigoApplication::showWindows(MinderDocument& document) {
    for (auto it = _windowless.begin(); it != _windowless.end(); ++it) {
        if (it->get() != &document)
            continue;
        std::unique_ptr<TardigoDocument> shown = std::move(*it);
        _windowless.erase(it);
        _controller.showDocument(std::move(shown));
        return;
    }
    document.showWindows();
}

void TardigoApplication::minderWithNode(MinderDocument& document, const NodePtr& node, const QString& message,
                                        ItemStatus status) {
    document.minderWithNode(node, message, status);
}

AlertQueue* TardigoApplication::alertQueue(MinderDocument& document) {
    return document.alertQueue();
}

void TardigoApplication::closeWindowlessDocuments() {
    for (const std::unique_ptr<TardigoDocument>& document : _windowless) {
        // What the pass read need not be read again for the agenda.
        if (_agendaLists)
            _agendaLists->adoptRead(document->fileName(), document->data());
        document->close();
    }
    _windowless.clear();
}

} // namespace tardigo

namespace tardigo {

// DesktopSearchHost

TardigoApplication::SearchedSources TardigoApplication::searchedSources() const {
    SearchedSources sources;
    QStringList open;
    const auto add = [&](const TardigoDocument& document) {
        if (document.fileName().isEmpty() || !document.data())
            return;
        sources.open.push_back(&document);
        open << filePathOf(document.fileName());
    };
    for (const TardigoDocument* document : documents())
        add(*document);
    for (const std::unique_ptr<TardigoDocument>& document : _windowless)
        add(*document);
    for (const QString& path : watchedLists(_located)) {
        const QString file = filePathOf(path);
        if (!open.contains(file) && !sources.shelved.contains(file))
            sources.shelved << file;
    }
    return sources;
}

SearchedLists TardigoApplication::searchedLists() {
    const SearchedSources sources = searchedSources();
    SearchedLists lists;
    for (const TardigoDocument* document : sources.open)
        lists.push_back(std::make_shared<const ListIndex>(document->fileName(), document->displayName(),
                                                          document->data()));
    for (const QString& file : sources.shelved)
        if (std::shared_ptr<const ListIndex> list = _shelf.list(file))
            lists.push_back(std::move(list));
    _shelf.keepOnly(sources.shelved);
    return lists;
}

QStringList TardigoApplication::searchedListPaths() {
    const SearchedSources sources = searchedSources();
    QStringList paths;
    for (const TardigoDocument* document : sources.open)
        paths << document->fileName();
    return paths + sources.shelved;
}

TardigoDocument* TardigoApplication::showList(const QString& path, QString* why) {
    if (_searchOnly) {
        // The application starts as usual only for a list that opens.
        DocumentMainWindow* window = _controller.openFile(path, why);
        if (!window)
            return nullptr;
        leaveSearchOnly({});
        window->showWindows();
        return &window->document();
    }
    if (MinderDocument* windowless = documentForFileName(path); windowless && !openDocumentForFileName(path))
        showWindows(*windowless);
    if (TardigoDocument* document = openDocumentForFileName(path)) {
        document->showWindows();
        return document;
    }
    DocumentMainWindow* window = _controller.openFile(path, why);
    return window ? &window->document() : nullptr;
}

void TardigoApplication::showApplication() {
    if (_searchOnly)
        leaveSearchOnly({});
    else
        activate();
}

void TardigoApplication::tellUser(const QString& summary, const QString& body) {
    _searchNotice = _notifications.notifyInPlaceOf(_searchNotice, summary, body);
}

} // namespace tardigo
