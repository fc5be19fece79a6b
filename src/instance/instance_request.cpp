#include "instance/instance_request.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
    for (const QJsonValue& item : value.toArray())
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

std::optional<InstanceRequest> InstanceRequest::fromJson(const QByteArray& line) {
    const std::optional<QJsonObject> object = objectOf(line);
    if (!object)
        return std::nullopt;
    const QString name = object->value(QStringLiteral("command")).toString();
    for (const auto& [value, commandName] : kCommandNames) {
        if (name == QLatin1String(commandName)) {
            InstanceRequest request;
            request.command = value;
            request.files = stringsOf(object->value(QStringLiteral("files")));
            request.text = object->value(QStringLiteral("text")).toString();
            return request;
        }
    }
    return std::nullopt;
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
