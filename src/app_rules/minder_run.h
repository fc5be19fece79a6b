#pragma once

#include "minder/tardigo_minder.h"
#include "platform/timers.h"

#include <QObject>

#include <chrono>
#include <memory>

namespace tardigo {

class ApplicationHost;

/// One minder pass inside the application, taken up in slices so that the interface never waits
/// long for it: the file locator answers first, without blocking, then the lists are scanned a
/// slice at a time, each slice returning to the event loop.
class MinderRun : public QObject {
    Q_OBJECT
public:
    /// The longest a slice scans before it lets the event loop run.
    static constexpr std::chrono::milliseconds kSliceBudget{20};

    MinderRun(ApplicationHost& host, NoticeAnswerHandler onAnswer, Timers& timers);
    ~MinderRun() override;

    void start();
    /// The list closed: the pass leaves the rest of it.
    void documentClosed(const MinderDocument* document);
    bool isFinished() const { return _finished; }
    /// The earliest moment after the pass's start at which the lists scanned have a notice to give.
    std::optional<QDateTime> nextNoticeMoment() const { return _minder.nextNoticeMoment(); }

signals:
    void finished();

private:
    void located(const std::optional<QStringList>& paths);
    void scanSlice();

    ApplicationHost& _host;
    Timers& _timers;
    TardigoMinder _minder;
    std::unique_ptr<PendingCall> _nextSlice;
    bool _finished = false;
};

} // namespace tardigo
