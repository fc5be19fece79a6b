#include "sync/vdir_folder.h"

#include "platform/atomic_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace tardigo {

std::optional<QStringList> VdirFolder::calendarFiles(QString* error) const {
    const QDir dir(_path);
    if (!dir.exists()) {
        *error =
            QStringLiteral("The sync folder %1 does not exist. Create it, or let vdirsyncer create it with "
                           "“vdirsyncer discover”, and sync again.")
                .arg(_path);
        return std::nullopt;
    }
    if (!QFileInfo(_path).isReadable()) {
        *error = QStringLiteral("The sync folder %1 cannot be read. Check its permissions.").arg(_path);
        return std::nullopt;
    }
    return dir.entryList({QStringLiteral("*.ics")}, QDir::Files | QDir::Readable, QDir::Name);
}

std::optional<QByteArray> VdirFolder::read(const QString& name, QString* error) const {
    return readWholeFile(QDir(_path).filePath(name), error);
}

QString VdirFolder::write(const QString& name, const QByteArray& bytes) const {
    return writeFileAtomically(QDir(_path).filePath(name), bytes);
}

QString VdirFolder::remove(const QString& name) const {
    QFile file(QDir(_path).filePath(name));
    if (!file.exists() || file.remove())
        return {};
    return QStringLiteral("%1 cannot be removed: %2.").arg(file.fileName(), file.errorString());
}

QString VdirFolder::fileNameForUid(const QString& uid) {
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9@._-]{0,200}$"));
    if (safe.match(uid).hasMatch())
        return uid + QStringLiteral(".ics");
    return QString::fromLatin1(QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".ics");
}

QByteArray VdirFolder::hashOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

} // namespace tardigo
