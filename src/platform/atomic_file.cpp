#include "platform/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tardigo {

QString writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return writeFileAtomically(path, [&](QIODevice& file) { return writeAll(file, bytes); });
}

QString writeFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write) {
    const QString name = QFileInfo(path).fileName();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Could not save “%1”: %2.").arg(name, file.errorString());
    // Without a commit the temporary file goes, and the old one stays.
    if (!write(file) || !file.commit())
        return QStringLiteral("Could not save “%1”: %2. The previous version of the file is unchanged.")
            .arg(name, file.errorString());
    return {};
}

bool writeAll(QIODevice& device, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const qint64 written = device.write(bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

bool openForReading(QFile& file, QString* error) {
    const QString name = QFileInfo(file.fileName()).fileName();
    if (QFileInfo(file.fileName()).isDir()) {
        *error = QStringLiteral("“%1” is a folder, not a list file.").arg(name);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Could not open “%1”: %2.").arg(name, file.errorString());
        return false;
    }
    return true;
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* error) {
    QFile file(path);
    if (!openForReading(file, error))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error =
            QStringLiteral("Could not read “%1”: %2.").arg(QFileInfo(path).fileName(), file.errorString());
        return std::nullopt;
    }
    return bytes;
}

} // namespace tardigo
