#pragma once

// An HTTP server on the loopback that answers as a test scripts it: each request gets the next
// answer queued, as raw bytes, so that a test can send what no real server sends (a redirect to
// another host, an endless answer, one cut short, silence). It runs on a thread of its own, so a
// test may wait for a child process that talks to it.

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QUrl>

#include <optional>

namespace tardigo::test {

class FakeDavServer {
public:
    /// What the server does with a request.
    struct Answer {
        QByteArray bytes;     // written as they stand, then the connection is closed
        bool stall = false;   // instead, write nothing and keep the connection open
        int trickleMsecs = 0; // instead, write them `trickleBytes` at a time, one write every that many ms
        qsizetype trickleBytes = 1;
    };

    /// Listens on 127.0.0.1, over TLS with the test certificate (tests/data/caldav) when `tls`.
    explicit FakeDavServer(bool tls = false);
    ~FakeDavServer();
    FakeDavServer(const FakeDavServer&) = delete;
    FakeDavServer& operator=(const FakeDavServer&) = delete;

    QUrl url(const QString& path = QStringLiteral("/")) const;
    void push(Answer answer);
    /// An answer with the status, headers and body given, its length stated.
    static QByteArray response(int status, const QByteArray& body = {},
                               const QList<std::pair<QByteArray, QByteArray>>& headers = {});
    /// A 207 answer holding the XML.
    static QByteArray multistatus(const QByteArray& xml);
    /// The requests received so far, each its head and body as sent.
    QList<QByteArray> requests() const;

private:
    friend class FakeDavServerWorker;
    class Thread : public QThread {
    public:
        explicit Thread(FakeDavServer& owner) : _owner(owner) {}
        void run() override;

    private:
        FakeDavServer& _owner;
    };

    std::optional<Answer> takeAnswer();
    void record(const QByteArray& request);

    bool _tls;
    Thread _thread{*this};
    QSemaphore _listening;
    quint16 _port = 0;
    mutable QMutex _mutex;
    QList<Answer> _answers;
    QList<QByteArray> _requests;
};

} // namespace tardigo::test
