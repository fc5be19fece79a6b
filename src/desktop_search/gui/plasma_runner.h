#pragma once

#include <QDBusArgument>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace tardigo {

class DesktopSearchService;

/// One match as the runner hands it over: id, text, icon name, its kind of match, its relevance
/// (0 to 1) and more properties ("subtext").
struct RunnerMatch {
    QString id;
    QString text;
    QString icon;
    int type = 0;
    double relevance = 0;
    QVariantMap properties;
};
using RunnerMatches = QList<RunnerMatch>;

/// An action offered beside a match: id, text and icon name.
struct RunnerAction {
    QString id;
    QString text;
    QString icon;
};
using RunnerActions = QList<RunnerAction>;

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerMatch& match);
const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerMatch& match);
QDBusArgument& operator<<(QDBusArgument& argument, const RunnerAction& action);
const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerAction& action);

/// The kinds of match the runner tells apart; ours are possible matches, or exact ones when the
/// name is what was typed.
enum class RunnerMatchType { Possible = 30, Exact = 100 };

/// The runner that the Plasma desktop's search calls, over the service.
class PlasmaRunner : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")
public:
    explicit PlasmaRunner(DesktopSearchService& service);
    /// Makes the types known to the bus; once, before the runner is published.
    static void registerTypes();

public slots:
    tardigo::RunnerMatches Match(const QString& query);
    tardigo::RunnerActions Actions();
    void Run(const QString& matchId, const QString& actionId);

private:
    DesktopSearchService& _service;
};

} // namespace tardigo

Q_DECLARE_METATYPE(tardigo::RunnerMatch)
Q_DECLARE_METATYPE(tardigo::RunnerAction)
