#include "app_rules/minder_run.h"

#include "app_rules/application_host.h"

#include <QPointer>

namespace tardigo {

MinderRun::MinderRun(ApplicationHost& host, NoticeAnswerHandler onAnswer, Timers& timers)
    : _host(host), _timers(timers), _minder(host, host.noticeChannels(), host.errorReporter()) {
    _minder.delivery().setAnswerHandler(std::move(onAnswer));
}

MinderRun::~MinderRun() = default;

void MinderRun::start() {
    _host.locateTodoItems([run = QPointer<MinderRun>(this)](const std::optional<QStringList>& paths) {
        if (run)
            run->located(paths);
    });
}

void MinderRun::located(const std::optional<QStringList>& paths) {
    _minder.collectDocs(paths);
    scanSlice();
}

void MinderRun::scanSlice() {
    _nextSlice.reset();
    if (!_minder.scanDocsUntil(QDeadlineTimer(kSliceBudget))) {
        _nextSlice = _timers.callOnce(std::chrono::milliseconds(0), [this] { scanSlice(); });
        return;
    }
    _finished = true;
    emit finished();
}

void MinderRun::documentClosed(const MinderDocument* document) {
    _minder.documentClosed(document);
}

} // namespace tardigo
