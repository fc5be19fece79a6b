#pragma once

// Servers a test program starts for itself on the loopback: the CalDAV servers Radicale (with a
// password) and Xandikos (without), and a Secret Service of its own (a private D-Bus session bus
// with gnome-keyring-daemon on it), so that no test reaches the network, the user's home or the
// user's keyring.

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace tardigo::test {

/// A port on 127.0.0.1 that nothing listens on now; 0 when none can be had.
quint16 freePort();
/// Waits until something accepts connections on the port, while the process runs.
bool waitForPort(quint16 port, const QProcess& process, int msecs = 20'000);
/// Whether a test whose programs are missing must fail instead of skipping: scripts/test sets
/// TARDIGO_REQUIRE_SERVERS, so that nothing is skipped there.
bool serversRequired();

/// A CalDAV server for one test program, on a free loopback port, keeping its data in a folder
/// of its own.
class LocalCalDavServer {
public:
    enum class Kind { Radicale, Xandikos };
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassword = "correct horse";

    explicit LocalCalDavServer(Kind kind) : _kind(kind) {}
    ~LocalCalDavServer();
    LocalCalDavServer(const LocalCalDavServer&) = delete;
    LocalCalDavServer& operator=(const LocalCalDavServer&) = delete;

    /// Starts the server; an empty string, or why it did not start (a program that is missing
    /// says so in words that start with "missing:").
    QString start();
    QUrl url() const;
    /// The user whose calendars the server keeps (Xandikos asks for no password).
    QString user() const;
    Kind kind() const { return _kind; }

private:
    Kind _kind;
    QTemporaryDir _folder;
    QProcess _process;
    quint16 _port = 0;
};

/// A D-Bus session bus of the test's own, with a Secret Service on it (gnome-keyring-daemon with a
/// login keyring unlocked by a password) or without one.
class PrivateKeyring {
public:
    ~PrivateKeyring();
    PrivateKeyring() = default;
    PrivateKeyring(const PrivateKeyring&) = delete;
    PrivateKeyring& operator=(const PrivateKeyring&) = delete;

    /// Starts the bus and, with `secretService`, the keyring on it; as LocalCalDavServer::start.
    QString start(bool secretService);
    /// The address to put in DBUS_SESSION_BUS_ADDRESS.
    QByteArray address() const { return _address; }

private:
    QTemporaryDir _folder;
    QProcess _bus;
    QProcess _keyring;
    QByteArray _address;
};

} // namespace tardigo::test

/// Fails the test when a server did not start (the reason not empty), or skips it when only a
/// program is missing and servers are not required.
#define TARDIGO_NEED(reason)                                                                                 \
    do {                                                                                                     \
        const QString need_ = (reason);                                                                      \
        if (need_.startsWith(QLatin1String("missing:")) && !tardigo::test::serversRequired())                \
            QSKIP(qPrintable(need_));                                                                        \
        QVERIFY2(need_.isEmpty(), qPrintable(need_));                                                        \
    } while (false)
