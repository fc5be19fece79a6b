#pragma once

#include "desktop_search/core/desktop_search.h"

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

namespace tardigo {

class DesktopSearchHost;

/// The bus name and object of each interface the desktop's search calls. The service files, the
/// search provider's .ini and the runner's .desktop name the same.
inline const QString kSearchProviderService = QStringLiteral("io.tardigo.Tardigo.SearchProvider");
inline const QString kSearchProviderPath = QStringLiteral("/io/tardigo/Tardigo/SearchProvider");
inline const QString kRunnerService = QStringLiteral("io.tardigo.Tardigo.Runner");
inline const QString kRunnerPath = QStringLiteral("/io/tardigo/Tardigo/Runner");

/// Tardigo's answers to the desktop's search, on the session bus: the search over the host's lists,
/// each result's texts and its activation, which the search provider and the runner both call.
class DesktopSearchService : public QObject {
    Q_OBJECT
public:
    explicit DesktopSearchService(DesktopSearchHost& host, QObject* parent = nullptr);
    ~DesktopSearchService() override;

    /// Puts both interfaces on the bus under their names; false (said in the log) when the bus is not
    /// there or another process holds a name.
    bool publish(const QDBusConnection& bus);
    /// Signals idle() once no call has come for this long; off by default.
    void setIdleTime(std::chrono::milliseconds idle);

    /// The ids of the items that hold every word of the terms, at most kMostDesktopResults.
    QStringList search(const QStringList& terms);
    /// What each result shows; ids that name no item any longer are left out.
    std::vector<ResultMeta> metas(const QStringList& ids);
    /// Shows the result's item selected in its list's window, opening the list when it is closed,
    /// once the call that asked has returned: the caller is answered at once, whatever opening asks
    /// of the user. Only an item of a list the search covers is shown, and only from a regular file;
    /// a list that does not open, or whose item is gone, is said so in a notification. Of the calls
    /// that come while one is being shown, the newest follows it.
    void activate(const QString& id);
    /// Brings the application forward.
    void showApplication();

signals:
    /// No call has come for the idle time.
    void idle();

private:
    /// Each call from the bus puts off the idle signal, and gives back the memory it took soon after.
    void called();
    /// Shows what activate() queued, one result at a time.
    void showQueued();
    void show(const QString& id);

    DesktopSearchHost& _host;
    QDBusConnection _bus{QString()};
    bool _published = false;
    QTimer _idle;
    QTimer _releaseMemory;
    std::chrono::milliseconds _idleTime{0};
    std::optional<QString> _queued; // the newest result asked for and not shown yet
    bool _showing = false;
    std::unique_ptr<QObject> _searchProvider;
    std::unique_ptr<QObject> _runner;
};

} // namespace tardigo
