#pragma once

#include "app_rules/application_host.h"
#include "app_rules/application_rules.h"
#include "desktop_app/document_controller.h"
#include "desktop_app/system_clock_events.h"
#include "desktop_search/core/list_shelf.h"
#include "desktop_search/gui/desktop_search_host.h"
#include "instance/instance_request.h"
#include "instance/instance_server.h"
#include "minder/error_reporter.h"
#include "minder/notice_channels.h"
#include "minder/todo_locator.h"
#include "notice_channels/dbus_desktop_notification_channel.h"
#include "notice_channels/sendmail_mail_channel.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

namespace tardigo {

class AgendaDocuments;
struct AgendaEntry;
class AgendaLists;
class AgendaWindow;
class DesktopSearchService;
class PreferencesWindow;
class QuickAddWindow;
class StickyBoard;
class TextToSpeechChannel;

/// The desktop's own beep.
class ApplicationBeep : public BeepChannel {
public:
    void beep() override;
};

/// Shows the minder's errors as message boxes attached to no window.
class MessageBoxErrorReporter : public ErrorReporter {
protected:
    void showError(const QString& title, const QString& message) override;
};

/// How the application starts: with its windows, or without any, only to answer the desktop's search
/// until it is idle or the user starts Tardigo.
enum class ApplicationStart { Windows, SearchOnly };

/// The running desktop application: its list windows, its rules (ApplicationRules), the minder's
/// ways to the user and the jumps of the computer's time it heeds, the preferences window, the
/// sticky notes, the socket on which other processes reach it, and the preferences file, watched for
/// changes made outside.
class TardigoApplication : public QObject, public ApplicationHost, public DesktopSearchHost {
    Q_OBJECT
public:
    /// `server`: the socket this process answers on as the session's Tardigo, or none; the sticky
    /// notes are kept at `stickiesPath`; the minder asks `locator` for list files.
    TardigoApplication(std::unique_ptr<InstanceServer> server, const QString& stickiesPath,
                       TodoLocator locator = TodoLocator(),
                       ApplicationStart start = ApplicationStart::Windows);
    ~TardigoApplication() override;

    /// Opens the named lists, the remembered ones or an untitled one, then starts the minder.
    void launch(const QStringList& files);
    /// What another process (or this one's command line) asks; answered at once, while the lists to
    /// open open on the next pass.
    InstanceReply handle(const InstanceRequest& request);

    DocumentController& controller() { return _controller; }
    ApplicationRules& rules() { return _rules; }
    /// The sticky notes, shown from the start of the application with windows.
    StickyBoard& stickies();
    /// Answers the desktop's search through the service; started only for that, it quits once the
    /// service has been idle while no window shows.
    void serveDesktopSearch(DesktopSearchService& service);
    bool isSearchOnly() const { return _searchOnly; }
    /// The preferences window, made on first use.
    PreferencesWindow& preferences();
    /// Shows the agenda over every list, made on first use; from then on it follows the lists.
    AgendaWindow& showAgenda();

    // ApplicationHost
    std::vector<TardigoDocument*> documents() const override;
    TardigoDocument* currentDocument() const override;
    TardigoDocument* openDocumentForFileName(const QString& path) const override;
    TardigoDocument* openDocument(const QString& path) override;
    void openUntitledDocument() override;
    void autoSave(TardigoDocument& document) override;
    NoticeChannels noticeChannels() override;
    ErrorReporter& errorReporter() override { return _reporter; }
    void locateTodoItems(std::function<void(const std::optional<QStringList>&)> done) override;

    // MinderHost: the open lists, and those a minder pass opens without a window until a notice
    // shows them.
    MinderDocument* documentForFileName(const QString& path) override;
    MinderDocument* openDocumentWithoutDisplay(const QString& path, const ListLoad& load) override;
    void removeDocument(MinderDocument* document) override;
    void showWindows(MinderDocument& document) override;
    void minderWithNode(MinderDocument& document, const NodePtr& node, const QString& message,
                        ItemStatus status) override;
    AlertQueue* alertQueue(MinderDocument& document) override;

    // DesktopSearchHost
    SearchedLists searchedLists() override;
    QStringList searchedListPaths() override;
    TardigoDocument* showList(const QString& path, QString* why) override;
    void showApplication() override;
    void tellUser(const QString& summary, const QString& body) override;

private:
    void showPreferences(bool iconSection);
    void watchSettingsFile();
    void settingsFileChanged();
    void quitting();
    void lastWindowClosed();
    void activate();
    InstanceReply newItem(const std::optional<QString>& text);
    /// The text selected on the desktop, else the clipboard's; none with the reason in words.
    std::optional<QString> selectedText(QString* why) const;
    void closeWindowlessDocuments();
    /// Shows quick add's window, made the first time.
    void showQuickAdd();
    /// Started for the desktop's search, the application starts as usual after all, opening these
    /// lists too.
    void leaveSearchOnly(const QStringList& files);
    void searchIdle();
    /// The lists the agenda shows: the minder's and those open in windows.
    void updateAgendaLists(const std::optional<QStringList>& located);
    /// What the desktop's search covers: the lists open with a file, and the files of the watched
    /// lists that are not open.
    struct SearchedSources {
        std::vector<const TardigoDocument*> open;
        QStringList shelved;
    };
    SearchedSources searchedSources() const;
    void showInList(const AgendaEntry& entry);

    DocumentController _controller;
    ApplicationRules _rules;
    ApplicationBeep _beep;
    DBusDesktopNotificationChannel _notifications;
    SendmailMailChannel _mail;
    std::unique_ptr<TextToSpeechChannel> _speech;
    MessageBoxErrorReporter _reporter;
    SystemClockEvents _clockEvents;
    QString _stickiesPath;
    std::unique_ptr<StickyBoard> _stickies;
    std::unique_ptr<PreferencesWindow> _preferences;
    std::unique_ptr<QuickAddWindow> _quickAdd;
    std::unique_ptr<AgendaLists> _agendaLists;
    std::unique_ptr<AgendaDocuments> _agendaDocuments;
    std::unique_ptr<AgendaWindow> _agenda;
    std::unique_ptr<InstanceServer> _server;
    std::vector<std::unique_ptr<TardigoDocument>> _windowless;
    QFileSystemWatcher _settingsWatcher;
    QTimer _settingsReload;
    TodoLocator _locator;
    std::optional<QStringList> _located; // what the locator last answered
    ListShelf _shelf;
    uint _searchNotice = 0; // the notification the desktop's search showed last, replaced by the next
    bool _searchOnly = false;
    bool _quitting = false;
};

} // namespace tardigo
