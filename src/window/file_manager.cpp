#include "window/file_manager.h"

#include "widgets/gui_log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tardigo {

namespace {

std::function<void(const QString&)>& revealHandler() {
    static std::function<void(const QString&)> handler;
    return handler;
}

void openFolderOf(const QString& path) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath())))
        qCInfo(lcWindow).noquote() << "no file manager opened the folder of" << path;
}

} // namespace

void FileManager::reveal(const QString& path) {
    if (revealHandler()) {
        revealHandler()(path);
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolderOf(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    // Asked without waiting: a file manager that is started on demand may take a moment.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), nullptr);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, path] {
        if (watcher->isError()) {
            qCInfo(lcWindow).noquote()
                << "no file manager showed" << path << ":" << watcher->error().message();
            openFolderOf(path);
        }
        watcher->deleteLater();
    });
}

void FileManager::setRevealHandler(std::function<void(const QString&)> handler) {
    revealHandler() = std::move(handler);
}

} // namespace tardigo
