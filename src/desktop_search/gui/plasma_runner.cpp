#include "desktop_search/gui/plasma_runner.h"

#include "desktop_search/gui/desktop_search_service.h"
#include "search/item_search.h"

#include <QDBusMetaType>
#include <QRegularExpression>

namespace tardigo {

namespace {
constexpr double kExactRelevance = 1.0;
constexpr double kNameRelevance = 0.8;
constexpr double kOtherRelevance = 0.5;
} // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerMatch& match) {
    argument.beginStructure();
    argument << match.id << match.text << match.icon << match.type << match.relevance << match.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerMatch& match) {
    argument.beginStructure();
    argument >> match.id >> match.text >> match.icon >> match.type >> match.relevance >> match.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerAction& action) {
    argument.beginStructure();
    argument << action.id << action.text << action.icon;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerAction& action) {
    argument.beginStructure();
    argument >> action.id >> action.text >> action.icon;
    argument.endStructure();
    return argument;
}

PlasmaRunner::PlasmaRunner(DesktopSearchService& service) : _service(service) {}

void PlasmaRunner::registerTypes() {
    qDBusRegisterMetaType<RunnerMatch>();
    qDBusRegisterMetaType<RunnerMatches>();
    qDBusRegisterMetaType<RunnerAction>();
    qDBusRegisterMetaType<RunnerActions>();
}

RunnerMatches PlasmaRunner::Match(const QString& query) {
    // Split only a query someone could have typed; the service answers nothing for a longer one.
    static const QRegularExpression whitespace(QStringLiteral("\\s+"));
    const QStringList terms = query.size() > kLongestDesktopQuery
                                  ? QStringList{query}
                                  : query.split(whitespace, Qt::SkipEmptyParts);
    const std::vector<ResultMeta> found = _service.metas(_service.search(terms));
    if (found.empty())
        return {};
    const ItemSearch search(query);
    const QString typed = foldForSearch(query.simplified());
    RunnerMatches matches;
    for (const ResultMeta& meta : found) {
        const QString name = foldForSearch(meta.name);
        const bool exact = name == typed;
        RunnerMatch match{meta.id,
                          meta.name,
                          QStringLiteral("tardigo"),
                          int(exact ? RunnerMatchType::Exact : RunnerMatchType::Possible),
                          exact                        ? kExactRelevance
                          : search.matchesFolded(name) ? kNameRelevance
                                                       : kOtherRelevance,
                          {{QStringLiteral("subtext"), meta.description}}};
        matches.append(match);
    }
    return matches;
}

RunnerActions PlasmaRunner::Actions() {
    // A match has one thing to do: show the item.
    return {};
}

void PlasmaRunner::Run(const QString& matchId, const QString&) {
    _service.activate(matchId);
}

} // namespace tardigo
