#include "desktop_search/gui/shell_search_provider.h"

#include "desktop_search/gui/desktop_search_service.h"

namespace tardigo {

ShellSearchProvider::ShellSearchProvider(DesktopSearchService& service) : _service(service) {}

QStringList ShellSearchProvider::GetInitialResultSet(const QStringList& terms) {
    return _service.search(terms);
}

QStringList ShellSearchProvider::GetSubsearchResultSet(const QStringList&, const QStringList& terms) {
    return _service.search(terms);
}

QList<QVariantMap> ShellSearchProvider::GetResultMetas(const QStringList& identifiers) {
    QList<QVariantMap> metas;
    for (const ResultMeta& meta : _service.metas(identifiers))
        metas.append(QVariantMap{{QStringLiteral("id"), meta.id},
                                 {QStringLiteral("name"), meta.name},
                                 {QStringLiteral("description"), meta.description},
                                 {QStringLiteral("gicon"), QStringLiteral("tardigo")}});
    return metas;
}

void ShellSearchProvider::ActivateResult(const QString& identifier, const QStringList&, uint) {
    _service.activate(identifier);
}

void ShellSearchProvider::LaunchSearch(const QStringList&, uint) {
    _service.showApplication();
}

} // namespace tardigo
