#pragma once

// A proxy on the loopback in front of a server that cuts every connection once it has passed on a
// given number of the server's bytes, and takes none after, as a server that dies mid-answer
// would; healed, it passes everything. It runs on a thread of its own.

#include <QAtomicInteger>
#include <QSemaphore>
#include <QThread>
#include <QUrl>

namespace tardigo::test {

class CuttingProxy {
public:
    explicit CuttingProxy(quint16 upstreamPort);
    ~CuttingProxy();
    CuttingProxy(const CuttingProxy&) = delete;
    CuttingProxy& operator=(const CuttingProxy&) = delete;

    QUrl url() const;
    /// From now on, cut after passing on this many more bytes of the server's.
    void cutAfter(qint64 bytes) { _budget.storeRelaxed(bytes); }
    /// Passes everything again.
    void heal() { _budget.storeRelaxed(-1); }
    /// Whether it cut since the last cutAfter().
    bool cut() const { return _budget.loadRelaxed() == 0; }

private:
    friend class CuttingProxyWorker;
    class Thread : public QThread {
    public:
        explicit Thread(CuttingProxy& owner) : _owner(owner) {}
        void run() override;

    private:
        CuttingProxy& _owner;
    };

    quint16 _upstreamPort;
    quint16 _port = 0;
    QAtomicInteger<qint64> _budget{-1};
    Thread _thread{*this};
    QSemaphore _listening;
};

} // namespace tardigo::test
