#pragma once

// A CalDAV server on the loopback that keeps one calendar of to-dos in memory as a real server
// keeps it: each object under an ETag, the changes since a sync token (RFC 6578), objects read by
// multiget and written or removed only under the ETag they replace. It answers on a thread of its
// own and takes little time doing so, so that a benchmark measures the client; a test can make it
// forget its tokens, trickle or delay its answers, count versions in its ETags as some servers do,
// and change the calendar as another client would.

#include <QHash>
#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QUrl>

#include <atomic>
#include <memory>

namespace tardigo::test {

class FakeCalendarServer {
public:
    FakeCalendarServer();
    ~FakeCalendarServer();
    FakeCalendarServer(const FakeCalendarServer&) = delete;
    FakeCalendarServer& operator=(const FakeCalendarServer&) = delete;

    /// The calendar's address.
    QUrl calendar() const;
    /// Puts that many to-dos on the calendar, as another client would: "To-do 1", "To-do 2"…
    void addTodos(int count);
    /// Forgets every sync token given so far, as servers do after a while: the next listing lists
    /// every member.
    void forgetTokens();
    /// Answers every request after the first `requests` one byte at a time, a byte every `msecs`,
    /// having done what it asks; 0 msecs answers at once again.
    void trickleAfter(int requests, int msecs);
    /// Answers each request that many ms after it arrived, as a server far away does; several at
    /// once when they come on several connections.
    void delayAnswers(int msecs);
    /// ETags that count an object's versions from "1", starting again when it is removed and made
    /// anew at its name, instead of the calendar's revision: an ETag seen before may come back
    /// with other content.
    void countVersions();
    /// Another client's work: puts the object under its name (an ETag of its own), or removes it.
    void put(const QByteArray& name, const QByteArray& data);
    void remove(const QByteArray& name);
    /// The objects by name.
    QHash<QByteArray, QByteArray> objects() const;
    qsizetype objectCount() const;
    /// The most requests it held at once, received and not yet answered.
    int mostAtOnce() const { return _mostAtOnce; }
    /// How many objects it sent so far, by multiget or GET.
    int objectsSent() const;
    /// How many objects the last sync-collection report named, changed or removed.
    int lastChangesNamed() const;
    /// The requests received so far.
    int requestCount() const { return _requests; }
    /// The processor time its thread has taken so far, in nanoseconds.
    qint64 processorNsecs() const { return _processorNsecs; }

private:
    friend class FakeCalendarWorker;
    struct Calendar;
    class Thread : public QThread {
    public:
        explicit Thread(FakeCalendarServer& owner) : _owner(owner) {}
        void run() override;

    private:
        FakeCalendarServer& _owner;
    };

    mutable QMutex _mutex;
    std::unique_ptr<Calendar> _calendar; // under the mutex
    Thread _thread{*this};
    QSemaphore _listening;
    quint16 _port = 0;
    std::atomic<int> _requests = 0;
    std::atomic<int> _atOnce = 0, _mostAtOnce = 0;
    std::atomic<qint64> _processorNsecs = 0;
};

} // namespace tardigo::test
