#include "desktop_search/gui/desktop_search_service.h"

#include "desktop_search/gui/desktop_search_host.h"
#include "desktop_search/gui/plasma_runner.h"
#include "desktop_search/gui/shell_search_provider.h"
#include "document/tardigo_document.h"
#include "model/core_log.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QFileInfo>
#include <QScopedValueRollback>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tardigo {

namespace {
// Long enough after a call for the next keystroke's to come first; short enough to be given back
// before anyone looks.
constexpr std::chrono::milliseconds kReleaseMemoryAfter{500};
// An id in the log is cut: a caller may send megabytes of one.
constexpr qsizetype kLoggedIdLength = 300;
} // namespace

DesktopSearchService::DesktopSearchService(DesktopSearchHost& host, QObject* parent)
    : QObject(parent), _host(host), _searchProvider(std::make_unique<ShellSearchProvider>(*this)),
      _runner(std::make_unique<PlasmaRunner>(*this)) {
    _idle.setSingleShot(true);
    connect(&_idle, &QTimer::timeout, this, &DesktopSearchService::idle);
    _releaseMemory.setSingleShot(true);
    _releaseMemory.setInterval(kReleaseMemoryAfter);
    connect(&_releaseMemory, &QTimer::timeout, this, [] {
#ifdef __GLIBC__
        malloc_trim(0);
#endif
    });
}

DesktopSearchService::~DesktopSearchService() {
    if (!_published)
        return;
    _bus.unregisterService(kSearchProviderService);
    _bus.unregisterService(kRunnerService);
    _bus.unregisterObject(kSearchProviderPath);
    _bus.unregisterObject(kRunnerPath);
}

bool DesktopSearchService::publish(const QDBusConnection& bus) {
    _bus = bus;
    if (!_bus.isConnected()) {
        qCInfo(lcDesktopSearch).noquote()
            << "no search from the desktop: no session bus:" << _bus.lastError().message();
        return false;
    }
    qDBusRegisterMetaType<QList<QVariantMap>>();
    PlasmaRunner::registerTypes();
    const auto exported = QDBusConnection::ExportAllSlots;
    _published = _bus.registerObject(kSearchProviderPath, _searchProvider.get(), exported) &&
                 _bus.registerObject(kRunnerPath, _runner.get(), exported);
    // Another Tardigo of this session answers already: the names stay with it.
    for (const QString& name : {kSearchProviderService, kRunnerService})
        if (_published && !_bus.registerService(name)) {
            qCInfo(lcDesktopSearch).noquote() << "no search from the desktop: the name" << name
                                              << "is taken:" << _bus.lastError().message();
            _published = false;
        }
    if (!_published) {
        _bus.unregisterService(kSearchProviderService);
        _bus.unregisterService(kRunnerService);
        _bus.unregisterObject(kSearchProviderPath);
        _bus.unregisterObject(kRunnerPath);
        return false;
    }
    called();
    return true;
}

void DesktopSearchService::setIdleTime(std::chrono::milliseconds idle) {
    _idleTime = idle;
    _idle.setInterval(idle);
    called();
}

void DesktopSearchService::called() {
    if (_idleTime.count() > 0)
        _idle.start();
    // What a call brought and took (its words, the texts of the open lists it indexed) is freed
    // once it has returned; glibc would keep the pages for good.
    _releaseMemory.start();
}

QStringList DesktopSearchService::search(const QStringList& terms) {
    called();
    qsizetype length = 0;
    for (const QString& term : terms)
        length += term.size() + 1;
    if (length > kLongestDesktopQuery) {
        qCInfo(lcDesktopSearch) << "a query of" << length << "characters finds nothing";
        return {};
    }
    return searchLists(_host.searchedLists(), terms);
}

std::vector<ResultMeta> DesktopSearchService::metas(const QStringList& ids) {
    called();
    const SearchedLists lists = _host.searchedLists();
    std::vector<ResultMeta> metas;
    for (const QString& id : ids)
        if (std::optional<ResultMeta> meta = resultMeta(lists, id))
            metas.push_back(std::move(*meta));
    return metas;
}

void DesktopSearchService::activate(const QString& id) {
    called();
    // Any program on the bus may call: it may have Tardigo show an item of a list the search covers,
    // and nothing else.
    const std::optional<ResultKey> key = ResultKey::fromId(id);
    if (!key || !_host.searchedListPaths().contains(key->list)) {
        qCWarning(lcDesktopSearch).noquote()
            << "the desktop asked for a result that is none of ours:" << id.left(kLoggedIdLength);
        return;
    }
    _queued = id;
    QTimer::singleShot(0, this, &DesktopSearchService::showQueued);
}

void DesktopSearchService::showQueued() {
    // Opening a list may ask the user something; calls that come meanwhile wait for it.
    if (_showing)
        return;
    const QScopedValueRollback showing(_showing, true);
    while (_queued)
        show(*std::exchange(_queued, std::nullopt));
}

void DesktopSearchService::show(const QString& id) {
    const std::optional<ResultKey> key = ResultKey::fromId(id);
    const QFileInfo file(key->list);
    const QString listName = file.fileName();
    if (!file.exists()) {
        _host.tellUser(tr("List not found"),
                       tr("The list \u201c%1\u201d is no longer in %2.").arg(listName, file.absolutePath()));
        return;
    }
    if (!file.isFile()) {
        // Never offered as a list: no search reads one from a folder, a pipe or a device.
        qCWarning(lcDesktopSearch).noquote()
            << "the desktop asked to open" << key->list << "which is not a regular file";
        return;
    }
    QString why;
    TardigoDocument* document = _host.showList(key->list, &why);
    if (!document) {
        if (!why.isEmpty())
            _host.tellUser(tr("List not opened"), why);
        return;
    }
    const std::optional<FoundItem> found = findResultItem(*document->data(), *key);
    if (!found) {
        _host.tellUser(tr("Item not found"),
                       tr("The item found is no longer in the list \u201c%1\u201d: it was removed or "
                          "moved since the search.")
                           .arg(listName));
        return;
    }
    document->revealItems({found->item});
}

void DesktopSearchService::showApplication() {
    called();
    _host.showApplication();
}

} // namespace tardigo
