#include "local_servers.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tardigo::test {

namespace {

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

bool accepts(quint16 port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(port);
    const bool connected = s >= 0 && ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (s >= 0)
        close(s);
    return connected;
}

QString missing(const char* program) {
    return QStandardPaths::findExecutable(QLatin1String(program)).isEmpty()
               ? QStringLiteral("missing: %1 is not installed (scripts/deps installs it)")
                     .arg(QLatin1String(program))
               : QString();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(5000);
}

} // namespace

quint16 freePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    quint16 port = 0;
    if (s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (s >= 0)
        close(s);
    return port;
}

bool waitForPort(quint16 port, const QProcess& process, int msecs) {
    const QDeadlineTimer deadline(msecs);
    while (!accepts(port)) {
        if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(50);
    }
    return true;
}

bool serversRequired() {
    return qEnvironmentVariableIsSet("TARDIGO_REQUIRE_SERVERS");
}

LocalCalDavServer::~LocalCalDavServer() {
    stop(_process);
}

QString LocalCalDavServer::start() {
    const bool radicale = _kind == Kind::Radicale;
    if (const QString absent = missing(radicale ? "radicale" : "xandikos"); !absent.isEmpty())
        return absent;
    _port = freePort();
    if (_port == 0)
        return QStringLiteral("No port is free on 127.0.0.1");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), _folder.path());
    _process.setProcessEnvironment(environment);
    _process.setProcessChannelMode(QProcess::MergedChannels);
    const QString address = QStringLiteral("127.0.0.1:%1").arg(_port);
    if (radicale) {
        const QString users = _folder.filePath(QStringLiteral("users"));
        if (!writeFile(users, QByteArray(kUser) + ':' + kPassword + '\n'))
            return QStringLiteral("Could not write %1").arg(users);
        _process.start(QStringLiteral("radicale"),
                       {QStringLiteral("--config"), QString(), QStringLiteral("--hosts"), address,
                        QStringLiteral("--auth-type"), QStringLiteral("htpasswd"),
                        QStringLiteral("--auth-htpasswd-filename"), users,
                        QStringLiteral("--auth-htpasswd-encryption"), QStringLiteral("plain"),
                        QStringLiteral("--storage-filesystem-folder"),
                        _folder.filePath(QStringLiteral("data"))});
    } else {
        _process.start(
            QStringLiteral("xandikos"),
            {QStringLiteral("--defaults"), QStringLiteral("-d"), _folder.filePath(QStringLiteral("data")),
             QStringLiteral("-l"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(_port),
             QStringLiteral("--current-user-principal"), QStringLiteral("/%1/").arg(QLatin1String(kUser))});
    }
    if (!waitForPort(_port, _process))
        return QStringLiteral("%1 did not start: %2")
            .arg(_process.program(), QString::fromUtf8(_process.readAll()));
    return {};
}

QUrl LocalCalDavServer::url() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(_port));
}

QString LocalCalDavServer::user() const {
    return QLatin1String(kUser);
}

PrivateKeyring::~PrivateKeyring() {
    stop(_keyring);
    stop(_bus);
}

QString PrivateKeyring::start(bool secretService) {
    if (const QString absent = missing("dbus-daemon"); !absent.isEmpty())
        return absent;
    if (const QString absent = secretService ? missing("gnome-keyring-daemon") : QString(); !absent.isEmpty())
        return absent;
    const QString socket = _folder.filePath(QStringLiteral("bus"));
    // A bus that starts no services by itself: the keyring is there only when we start it.
    const QString config = _folder.filePath(QStringLiteral("bus.conf"));
    if (!writeFile(config, QStringLiteral(
                               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                               "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                               "<busconfig><type>session</type><listen>unix:path=%1</listen>"
                               "<auth>EXTERNAL</auth><policy context=\"default\">"
                               "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                               "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                               .arg(socket)
                               .toUtf8()))
        return QStringLiteral("Could not write %1").arg(config);
    _bus.start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1")});
    if (!_bus.waitForReadyRead(10'000))
        return QStringLiteral("dbus-daemon did not start: ") + QString::fromUtf8(_bus.readAllStandardError());
    _address = _bus.readLine().trimmed();
    if (!secretService)
        return {};

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QDir(_folder.path()).mkdir(QStringLiteral("run"));
    QFile::setPermissions(_folder.filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(_address));
    environment.insert(QStringLiteral("HOME"), _folder.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), _folder.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), _folder.filePath(QStringLiteral("run")));
    _keyring.setProcessEnvironment(environment);
    _keyring.setProcessChannelMode(QProcess::MergedChannels);
    // A non-empty password: with an empty one there is no default collection, and storing a
    // password would need a prompt.
    _keyring.start(
        QStringLiteral("gnome-keyring-daemon"),
        {QStringLiteral("--unlock"), QStringLiteral("--components=secrets"), QStringLiteral("--foreground")});
    if (!_keyring.waitForStarted())
        return QStringLiteral("gnome-keyring-daemon did not start: ") + _keyring.errorString();
    _keyring.write("keyring password");
    _keyring.waitForBytesWritten();
    _keyring.closeWriteChannel();
    QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromUtf8(_address), QStringLiteral("private-keyring"));
    const QDeadlineTimer deadline(20'000);
    bool up = false;
    while (!(up = bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets"))) &&
           !deadline.hasExpired() && _keyring.state() != QProcess::NotRunning)
        QThread::msleep(50);
    QDBusConnection::disconnectFromBus(QStringLiteral("private-keyring"));
    return up ? QString()
              : QStringLiteral("gnome-keyring-daemon did not start: ") +
                    QString::fromUtf8(_keyring.readAll());
}

} // namespace tardigo::test
