#include "caldav/calendar_mirror.h"

#include "caldav/caldav_log.h"
#include "platform/atomic_file.h"
#include "sync/sync_state.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tardigo {

namespace {

constexpr quint32 kMagic = 0x54474d32; // "TGM2"
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;

} // namespace

CalendarMirror CalendarMirror::load(const QString& stateFolder, const QString& listPath,
                                    const QString& calendar) {
    CalendarMirror mirror;
    mirror._path =
        QDir(stateFolder)
            .filePath(QStringLiteral("calendars/") +
                      QFileInfo(SyncState::fileFor(stateFolder, listPath, calendar)).completeBaseName() +
                      QStringLiteral(".mirror"));
    if (!QFileInfo::exists(mirror._path))
        return mirror;
    QString error;
    const std::optional<QByteArray> bytes = readWholeFile(mirror._path, &error, kMaxFileBytes);
    CalendarMirror read = mirror;
    if (bytes) {
        QDataStream in(*bytes);
        in.setVersion(kStreamVersion);
        quint32 magic = 0;
        qint8 syncCollection = 0;
        qint64 count = 0;
        in >> magic >> read.token >> syncCollection >> count;
        for (qint64 i = 0; i < count && in.status() == QDataStream::Ok && magic == kMagic; ++i) {
            QString name;
            MirroredObject object;
            in >> name >> object.etag >> object.data;
            read.objects.insert(name, object);
        }
        if (magic == kMagic)
            in >> read.writtenSinceToken;
        read.syncCollection = SyncCollection(std::clamp<int>(syncCollection, 0, 2));
        if (magic == kMagic && in.status() == QDataStream::Ok && in.atEnd())
            return read;
    }
    qCWarning(lcCalDav).noquote() << "the calendar mirror" << mirror._path
                                  << "does not read; every object is fetched again" << error;
    return mirror;
}

QString CalendarMirror::save() const {
    if (!QDir().mkpath(QFileInfo(_path).absolutePath()))
        return QStringLiteral("The folder %1 cannot be created.").arg(QFileInfo(_path).absolutePath());
    return writeFileAtomically(_path, [this](QIODevice& device) {
        QDataStream out(&device);
        out.setVersion(kStreamVersion);
        out << kMagic << token << qint8(syncCollection) << qint64(objects.size());
        for (auto it = objects.cbegin(); it != objects.cend(); ++it)
            out << it.key() << it->etag << it->data;
        out << writtenSinceToken;
        return out.status() == QDataStream::Ok ? QString() : device.errorString();
    });
}

} // namespace tardigo
