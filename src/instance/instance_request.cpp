#include "instance/instance_request.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>

namespace tardigo {

namespace {

using Command = InstanceRequest::Command;

const std::array<std::pair<Command, const char*>, 6> kCommandNames = {{
    {Command::Activate, "activate"},
    {Command::OpenFiles, "open"},
    {Command::NewItem, "new-item"},
    {Command::NewItemFromSelection, "new-item-from-selection"},
    {Command::OpenListPaths, "open-list-paths"},
    {Command::QuickAdd, "quick-add"},
}};

QJsonArray jsonStrings(const QStringList& strings) {
    return QJsonArray::fromStringList(strings);
}

QStringList stringsOf(const QJsonValue& value) {
    QStringList strings;
    const QJsonArray items = value.toArray();
    for (const QJsonValue& item : items)
        strings.append(item.toString());
    return strings;
}

std::optional<QJsonObject> objectOf(const QByteArray& line) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QByteArray lineOf(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

QByteArray InstanceRequest::toJson() const {
    QJsonObject object;
    for (const auto& [value, name] : kCommandNames)
        if (value == command)
            object.insert(QStringLiteral("command"), QString::fromLatin1(name));
    object.insert(QStringLiteral("files"), jsonStrings(files));
    object.insert(QStringLiteral("text"), text);
    return lineOf(object);
}

std::optional<InstanceRequest> InstanceRequest::fromJson(const QByteArray& line, QString* why) {
    const auto refuse = [why](const QString& reason) {
        *why = reason;
        return std::nullopt;
    };
    const std::optional<QJsonObject> object = objectOf(line);
    if (!object)
        return refuse(QStringLiteral("the request is not a JSON object on one line."));
    const QJsonValue command = object->value(QStringLiteral("command"));
    const auto known = std::find_if(kCommandNames.begin(), kCommandNames.end(), [&](const auto& named) {
        return command.toString() == QLatin1String(named.second);
    });
    if (!command.isString() || known == kCommandNames.end())
        return refuse(QStringLiteral("“command” names no request Tardigo knows."));
    InstanceRequest request;
    request.command = known->first;
    const QJsonValue text = object->value(QStringLiteral("text"));
    if (!text.isUndefined() && !text.isString())
        return refuse(QStringLiteral("“text” is not a text."));
    request.text = text.toString();
    const QJsonValue files = object->value(QStringLiteral("files"));
    if (!files.isUndefined() && !files.isArray())
        return refuse(QStringLiteral("“files” is not a list of paths."));
    const QJsonArray paths = files.toArray();
    for (const QJsonValue& file : paths) {
        if (!file.isString() || !QDir::isAbsolutePath(file.toString()))
            return refuse(QStringLiteral("“files” holds something that is not an absolute path."));
        request.files.append(file.toString());
    }
    return request;
}

QByteArray InstanceReply::toJson() const {
    return lineOf(QJsonObject{{QStringLiteral("ok"), ok},
                              {QStringLiteral("error"), error},
                              {QStringLiteral("files"), jsonStrings(files)}});
}

std::optional<InstanceReply> InstanceReply::fromJson(const QByteArray& line) {
    const std::optional<QJsonObject> object = objectOf(line);
    if (!object || !object->value(QStringLiteral("ok")).isBool())
        return std::nullopt;
    InstanceReply reply;
    reply.ok = object->value(QStringLiteral("ok")).toBool();
    reply.error = object->value(QStringLiteral("error")).toString();
    reply.files = stringsOf(object->value(QStringLiteral("files")));
    return reply;
}

} // namespace tardigo
