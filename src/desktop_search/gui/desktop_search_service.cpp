#include "desktop_search/gui/desktop_search_service.h"

#include "desktop_search/core/desktop_search_log.h"
#include "desktop_search/gui/desktop_search_host.h"
#include "desktop_search/gui/plasma_runner.h"
#include "desktop_search/gui/shell_search_provider.h"
#include "document/tardigo_document.h"
#include "outline/outline_view.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QFileInfo>

namespace tardigo {

DesktopSearchService::DesktopSearchService(DesktopSearchHost& host, QObject* parent)
    : QObject(parent), _host(host), _searchProvider(std::make_unique<ShellSearchProvider>(*this)),
      _runner(std::make_unique<PlasmaRunner>(*this)) {
    _idle.setSingleShot(true);
    connect(&_idle, &QTimer::timeout, this, &DesktopSearchService::idle);
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
}

QStringList DesktopSearchService::search(const QStringList& terms) {
    called();
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
    const std::optional<ResultKey> key = ResultKey::fromId(id);
    if (!key) {
        qCWarning(lcDesktopSearch).noquote() << "the desktop asked for a result that is none of ours:" << id;
        return;
    }
    const QString listName = QFileInfo(key->list).fileName();
    if (!QFileInfo::exists(key->list)) {
        _host.tellUser(tr("List not found"), tr("The list \u201c%1\u201d is no longer in %2.")
                                                 .arg(listName, QFileInfo(key->list).absolutePath()));
        return;
    }
    TardigoDocument* document = _host.showList(key->list);
    if (!document)
        return;
    const std::optional<FoundItem> found = findResultItem(*document->data(), *key);
    if (!found) {
        _host.tellUser(tr("Item not found"),
                       tr("The item found is no longer in the list \u201c%1\u201d: it was removed or "
                          "moved since the search.")
                           .arg(listName));
        return;
    }
    document->outlineView().revealItems(*document->data(), {found->item});
}

void DesktopSearchService::showApplication() {
    called();
    _host.showApplication();
}

} // namespace tardigo
