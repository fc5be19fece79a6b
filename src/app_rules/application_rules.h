#pragma once

#include "alerts/message.h"
#include "app_rules/notice_alarm.h"
#include "model/value.h"
#include "platform/timers.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <memory>
#include <optional>

namespace tardigo {

class ApplicationHost;
class MinderDocument;
class MinderRun;
class TardigoDocument;

/// The application-wide rules, without widgets: which lists open at launch and are remembered at
/// quit, whether closing the last window quits, the minder's timer, its alarm for the next notice and
/// its passes, the item that comes from another program, and autosave switched on. The desktop application
/// calls it at each of those moments; everything it needs of the desktop goes through its host.
class ApplicationRules : public QObject {
    Q_OBJECT
public:
    explicit ApplicationRules(ApplicationHost& host, Timers& timers = Timers::eventLoop());
    /// Stops the timer; a pass in progress ends here.
    ~ApplicationRules() override;

    /// Opens the lists named on the command line, an untitled list when the rule says so, and the
    /// lists open at the last quit; the minder starts on the next pass of the event loop.
    void start(const QStringList& files = {});
    /// Whether a new untitled list opens when there is none: yes when no lists are remembered or
    /// they are not to be reopened.
    bool shouldOpenUntitledList() const;
    bool quitsAfterLastWindowClosed() const;
    /// Remembers the open lists that have a file, in the order they were opened.
    void prepareToQuit();

    /// (Re)starts the minder's timer as the preferences say, and runs a pass at once when enabled.
    /// Besides its periodic passes, a pass runs when the next notice of a watched list falls due.
    void startMinder();
    /// A list window opened: the minder's alarm follows the changes made to its items.
    void documentOpened(TardigoDocument& document);
    /// The computer woke from suspend, or its clock or time zone was set: the alarm for the next
    /// notice waits again from now.
    void timeMoved();
    /// When the next notice falls due, as far as the minder knows; none when none is to come.
    std::optional<QDateTime> nextNoticeMoment() const { return _alarm.moment(); }
    /// One pass; a pass asked for while one runs follows it.
    void runMinderPass();
    /// The minder timer's interval; none when there is no timer.
    std::optional<std::chrono::milliseconds> minderInterval() const;
    bool isMinderRunning() const { return _run != nullptr; }
    /// The answer to a notice's message or notification: "View Item" shows the item in its list, a
    /// "Remind Me" choice sets its reminder again.
    void minderAlertAnswered(MessageAnswer answer, const NodePtr& context);
    /// A list window closed: a pass in progress leaves its list.
    void documentClosed(const MinderDocument* document);

    /// Makes an item of the text in the first open list, undoably and in view. Answers why it could
    /// not, in words; nothing when the item was made or there was no text.
    std::optional<QString> newItemFromText(const std::optional<QString>& text);
    /// Adds the item a quick-add line describes to the "quickAddList" list (opened when it is closed),
    /// or, when none is set, to the first open list, as one undoable step. Answers why not, if not.
    std::optional<QString> quickAdd(const QString& text);

    /// Saves every open list that has unsaved changes: autosave has just been turned on.
    void saveModifiedLists();

signals:
    /// A minder pass has ended.
    void minderRunFinished();

private:
    static QString noOpenList();
    void minderRunEnded();

    ApplicationHost& _host;
    Timers& _timers;
    std::unique_ptr<PendingCall> _minderTimer;
    std::chrono::milliseconds _minderInterval{0};
    NoticeAlarm _alarm;
    std::unique_ptr<PendingCall> _deferredInstall;
    std::unique_ptr<MinderRun> _run;
    bool _runAgain = false;
    QPointer<TardigoDocument> _statusDocument;
};

} // namespace tardigo
