#include "open_lists.h"

#include "cli_output.h"

#include "instance/instance_client.h"
#include "instance/instance_socket.h"

#include <QFileInfo>
#include <QSet>

namespace tardigo::cli {

namespace {
QString fileOf(const QString& path) {
    const QFileInfo info(path);
    return info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
}
} // namespace

std::optional<QStringList> listsNotOpenInTardigo(const QStringList& paths, const QStringList& named) {
    InstanceRequest request;
    request.command = InstanceRequest::Command::OpenListPaths;
    const std::optional<InstanceReply> reply = askRunningInstance(instanceSocketPath(), request);
    if (!reply && !instanceRuns(instanceSocketPath()))
        return paths;
    if (!reply) {
        fail(QStringLiteral(
            "Tardigo is running but cannot be reached, so it cannot say which lists it has open, "
            "and none was saved."));
        return std::nullopt;
    }
    if (!reply->ok) {
        fail(QStringLiteral(
                 "Tardigo is running but did not say which lists it has open, so none was saved: %1")
                 .arg(reply->error));
        return std::nullopt;
    }
    QSet<QString> open;
    for (const QString& path : reply->files)
        open.insert(fileOf(path));
    QStringList left;
    for (const QString& path : paths) {
        if (!open.contains(fileOf(path)))
            left.append(path);
        else if (named.contains(path))
            err() << "tardigo-cli: " << path << " is open in Tardigo, whose minder looks after it."
                  << Qt::endl;
    }
    return left;
}

} // namespace tardigo::cli
