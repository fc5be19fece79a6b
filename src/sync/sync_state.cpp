#include "sync/sync_state.h"

#include "sync/sync_store.h"

#include "ical/ical_log.h"
#include "platform/atomic_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tardigo {

namespace {

// 2: an item's fingerprint leaves out its place among its siblings, which its key gives. A state of
// version 1 counts as none: the next sync compares both sides afresh.
constexpr int kVersion = 2;

} // namespace

QString canonicalSyncPath(const QString& path) {
    if (isServerLocation(path))
        return path;
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

QString SyncState::defaultFolder() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/tardigo/sync");
}

QString SyncState::fileFor(const QString& stateFolder, const QString& listPath, const QString& syncFolder) {
    const QByteArray pair = (canonicalSyncPath(listPath) + u'\n' + canonicalSyncPath(syncFolder)).toUtf8();
    return QDir(stateFolder)
        .filePath(QString::fromLatin1(QCryptographicHash::hash(pair, QCryptographicHash::Sha1).toHex()) +
                  QStringLiteral(".json"));
}

SyncState SyncState::load(const QString& stateFolder, const QString& listPath, const QString& syncFolder) {
    SyncState state;
    state._listPath = canonicalSyncPath(listPath);
    state._syncFolder = canonicalSyncPath(syncFolder);
    state._path = fileFor(stateFolder, listPath, syncFolder);
    if (!QFileInfo::exists(state._path))
        return state;
    QString error;
    const std::optional<QByteArray> bytes = readWholeFile(state._path, &error);
    QJsonParseError parse;
    const QJsonDocument json = bytes ? QJsonDocument::fromJson(*bytes, &parse) : QJsonDocument();
    if (!json.isObject() || json.object().value(QStringLiteral("version")).toInt() != kVersion) {
        qCWarning(lcSync).noquote() << "sync state" << state._path
                                    << "does not read; syncing as for the first time" << error;
        return state;
    }
    const QJsonObject items = json.object().value(QStringLiteral("items")).toObject();
    for (auto it = items.begin(); it != items.end(); ++it) {
        const QJsonObject item = it.value().toObject();
        const QJsonValue key = item.value(QStringLiteral("key"));
        state.items.insert(
            it.key(), {QByteArray::fromHex(item.value(QStringLiteral("item")).toString().toLatin1()),
                       QByteArray::fromHex(item.value(QStringLiteral("file")).toString().toLatin1()),
                       item.value(QStringLiteral("name")).toString(),
                       QDateTime::fromString(item.value(QStringLiteral("modified")).toString(), Qt::ISODate),
                       key.isDouble() ? std::optional(qint64(key.toDouble())) : std::nullopt,
                       item.value(QStringLiteral("children")).toVariant().toStringList()});
    }
    return state;
}

QString SyncState::save() const {
    QJsonObject entries;
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        QJsonObject entry{{QStringLiteral("item"), QString::fromLatin1(it->itemHash.toHex())},
                          {QStringLiteral("file"), QString::fromLatin1(it->fileHash.toHex())},
                          {QStringLiteral("name"), it->fileName},
                          {QStringLiteral("modified"), it->modified.toUTC().toString(Qt::ISODate)}};
        if (it->key)
            entry.insert(QStringLiteral("key"), double(*it->key)); // exact: keys stay within 2^50
        if (!it->childUids.isEmpty())
            entry.insert(QStringLiteral("children"), QJsonArray::fromStringList(it->childUids));
        entries.insert(it.key(), entry);
    }
    const QJsonObject state{{QStringLiteral("version"), kVersion},
                            {QStringLiteral("list"), _listPath},
                            {QStringLiteral("folder"), _syncFolder},
                            {QStringLiteral("items"), entries}};
    if (!QDir().mkpath(QFileInfo(_path).absolutePath()))
        return QStringLiteral("The sync state folder %1 cannot be created.")
            .arg(QFileInfo(_path).absolutePath());
    return writeFileAtomically(_path, QJsonDocument(state).toJson(QJsonDocument::Compact));
}

} // namespace tardigo
