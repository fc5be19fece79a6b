#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace tardigo {

class DesktopSearchService;

/// The search provider that the desktop shell's search calls, over the service.
class ShellSearchProvider : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")
public:
    explicit ShellSearchProvider(DesktopSearchService& service);

public slots:
    QStringList GetInitialResultSet(const QStringList& terms);
    /// The search is quick enough to run again over every list: the previous results, cut at a
    /// limit, could miss items that the longer terms find.
    QStringList GetSubsearchResultSet(const QStringList& previousResults, const QStringList& terms);
    QList<QVariantMap> GetResultMetas(const QStringList& identifiers);
    void ActivateResult(const QString& identifier, const QStringList& terms, uint timestamp);
    void LaunchSearch(const QStringList& terms, uint timestamp);

private:
    DesktopSearchService& _service;
};

} // namespace tardigo
