#include "sync/sync_bindings.h"

#include "ical/ical_log.h"
#include "platform/atomic_file.h"
#include "sync/list_sync.h"
#include "sync/sync_state.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace tardigo {

namespace {

const QString kListKey = QStringLiteral("list");
const QString kFolderKey = QStringLiteral("folder");
const QString kAccountKey = QStringLiteral("account");
constexpr qint64 kMaxRecordBytes = 64 * 1024;

} // namespace

QString SyncBindings::recordFile(const QString& listPath) const {
    const QByteArray list = canonicalSyncPath(listPath).toUtf8();
    return QDir(_stateFolder)
        .filePath(QStringLiteral("bindings/") +
                  QString::fromLatin1(QCryptographicHash::hash(list, QCryptographicHash::Sha1).toHex()) +
                  QStringLiteral(".json"));
}

bool SyncBindings::isBound(const QString& listPath, const QString& folder) const {
    if (!QFileInfo::exists(recordFile(listPath)))
        return QFileInfo::exists(SyncState::fileFor(_stateFolder, listPath, folder));
    const std::optional<SyncBinding> binding = bindingOf(listPath);
    return binding && binding->location == canonicalSyncPath(folder);
}

std::optional<SyncBinding> SyncBindings::bindingOf(const QString& listPath) const {
    const QString path = recordFile(listPath);
    const QFileInfo record(path);
    if (!record.exists())
        return std::nullopt;
    QString error;
    const std::optional<QByteArray> bytes =
        record.size() <= kMaxRecordBytes ? readWholeFile(path, &error) : std::nullopt;
    const QJsonObject json = bytes ? QJsonDocument::fromJson(*bytes).object() : QJsonObject();
    if (json.value(kListKey).toString() != canonicalSyncPath(listPath)) {
        qCWarning(lcSync).noquote() << "the sync binding" << path
                                    << "does not read; the list counts as unbound" << error;
        return std::nullopt;
    }
    return SyncBinding{json.value(kFolderKey).toString(), json.value(kAccountKey).toString()};
}

QString SyncBindings::bind(const QString& listPath, const QString& folder, const QString& account) const {
    const QString path = recordFile(listPath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("The sync state folder %1 cannot be created.")
            .arg(QFileInfo(path).absolutePath());
    QJsonObject json{{kListKey, canonicalSyncPath(listPath)}, {kFolderKey, canonicalSyncPath(folder)}};
    if (!account.isEmpty())
        json.insert(kAccountKey, account);
    return writeFileAtomically(path, QJsonDocument(json).toJson(QJsonDocument::Compact));
}

QString SyncBindings::unbind(const QString& listPath) const {
    QFile record(recordFile(listPath));
    if (record.exists() && !record.remove())
        return QStringLiteral("The sync binding %1 cannot be removed: %2.")
            .arg(record.fileName(), record.errorString());
    return {};
}

QStringList SyncBindings::listsOf(const QString& account) const {
    QStringList lists;
    QDirIterator records(QDir(_stateFolder).filePath(QStringLiteral("bindings")), {QStringLiteral("*.json")},
                         QDir::Files);
    while (records.hasNext()) {
        const QString path = records.next();
        QString error;
        const std::optional<QByteArray> bytes =
            QFileInfo(path).size() <= kMaxRecordBytes ? readWholeFile(path, &error) : std::nullopt;
        const QJsonObject json = bytes ? QJsonDocument::fromJson(*bytes).object() : QJsonObject();
        if (json.value(kAccountKey).toString() == account && !account.isEmpty())
            lists << json.value(kListKey).toString();
    }
    lists.sort();
    return lists;
}

QString SyncBindings::locationOf(const QString& listPath, const Dict& root) const {
    if (const std::optional<SyncBinding> binding = bindingOf(listPath))
        return binding->location;
    const QString named = syncFolderOf(root);
    return !named.isEmpty() && isBound(listPath, named) ? named : QString();
}

} // namespace tardigo
