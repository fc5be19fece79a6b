#pragma once

// Writing an answer slowly, as a server that trickles its bytes does.

#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

namespace tardigo::test {

/// Writes the bytes to the socket `chunk` at a time, one chunk every `msecs`, then calls `then`;
/// the writing ends with the connection.
inline void trickle(QTcpSocket* socket, const QByteArray& bytes, int msecs, qsizetype chunk = 1,
                    std::function<void()> then = {}) {
    auto* timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, bytes, chunk, sent, then] {
        socket->write(bytes.mid(*sent, chunk));
        *sent += chunk;
        if (*sent < bytes.size())
            return;
        timer->deleteLater();
        if (then)
            then();
    });
    timer->start(msecs);
}

} // namespace tardigo::test
