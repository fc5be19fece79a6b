#include "stickies/core/sticky_store.h"

#include "model/core_log.h"
#include "platform/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>

namespace tardigo {

namespace {

constexpr int kFormatVersion = 1;

QJsonValue colorJson(const std::optional<Rgba>& color) {
    if (!color)
        return QJsonValue::Null;
    return QJsonArray{color->r, color->g, color->b, color->a};
}

std::optional<Rgba> colorOf(const QJsonValue& json) {
    const QJsonArray parts = json.toArray();
    if (parts.size() != 4)
        return std::nullopt;
    return Rgba{float(parts[0].toDouble()), float(parts[1].toDouble()), float(parts[2].toDouble()),
                float(parts[3].toDouble())};
}

QJsonObject noteJson(const StickyNote& note) {
    QJsonObject object{{QStringLiteral("id"), note.id},
                       {QStringLiteral("title"), note.title},
                       {QStringLiteral("text"), note.text},
                       {QStringLiteral("color"), colorJson(note.color)},
                       {QStringLiteral("open"), note.open}};
    if (note.frame)
        object.insert(QStringLiteral("frame"), QJsonArray{note.frame->x(), note.frame->y(),
                                                          note.frame->width(), note.frame->height()});
    // What notes of earlier versions do not have is left out of them.
    const auto insertText = [&](const char* key, const QString& value) {
        if (!value.isEmpty())
            object.insert(QLatin1String(key), value);
    };
    insertText("notes", QString::fromLatin1(note.notes.toBase64()));
    insertText("fontName", note.fontName);
    if (note.fontSize > 0)
        object.insert(QStringLiteral("fontSize"), note.fontSize);
    insertText("list", note.listPath);
    insertText("created", note.itemCreated);
    insertText("uid", note.itemUid);
    return object;
}

StickyNote noteOf(const QJsonObject& object) {
    StickyNote note;
    note.id = object.value(QStringLiteral("id")).toString();
    note.title = object.value(QStringLiteral("title")).toString();
    note.text = object.value(QStringLiteral("text")).toString();
    note.color = colorOf(object.value(QStringLiteral("color")));
    note.open = object.value(QStringLiteral("open")).toBool(true);
    if (const QJsonArray frame = object.value(QStringLiteral("frame")).toArray(); frame.size() == 4)
        note.frame = QRect(frame[0].toInt(), frame[1].toInt(), frame[2].toInt(), frame[3].toInt());
    note.notes = QByteArray::fromBase64(object.value(QStringLiteral("notes")).toString().toLatin1());
    note.fontName = object.value(QStringLiteral("fontName")).toString();
    note.fontSize = std::clamp(object.value(QStringLiteral("fontSize")).toInt(), 0, 1000);
    note.listPath = object.value(QStringLiteral("list")).toString();
    note.itemCreated = object.value(QStringLiteral("created")).toString();
    note.itemUid = object.value(QStringLiteral("uid")).toString();
    return note;
}

} // namespace

StickyStore::StickyStore(QString path) : _path(std::move(path)) {}

QString StickyStore::standardPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tardigo/stickies.json");
}

std::vector<StickyNote> StickyStore::load() const {
    QString error;
    if (!QFile::exists(_path))
        return {};
    std::optional<QByteArray> bytes;
    if (QFileInfo(_path).size() > kLargestFile)
        error = QStringLiteral("the file is larger than %1 bytes").arg(kLargestFile);
    else
        bytes = readWholeFile(_path, &error);
    QJsonParseError parseError;
    const QJsonDocument document = bytes ? QJsonDocument::fromJson(*bytes, &parseError) : QJsonDocument();
    if (!bytes || parseError.error != QJsonParseError::NoError || !document.isObject()) {
        const QString aside = _path + QStringLiteral(".unreadable");
        QFile::remove(aside);
        QFile::rename(_path, aside);
        qCWarning(lcStickies).noquote() << "the sticky notes in" << _path << "do not read; set aside as"
                                        << aside << (bytes ? parseError.errorString() : error);
        return {};
    }
    std::vector<StickyNote> notes;
    const QJsonArray stored = document.object().value(QStringLiteral("notes")).toArray();
    for (const QJsonValue& note : stored)
        if (note.isObject())
            notes.push_back(noteOf(note.toObject()));
    return notes;
}

QString StickyStore::save(const std::vector<StickyNote>& notes) const {
    QJsonArray array;
    for (const StickyNote& note : notes)
        array.append(noteJson(note));
    const QJsonObject document{{QStringLiteral("version"), kFormatVersion}, {QStringLiteral("notes"), array}};
    QDir().mkpath(QFileInfo(_path).absolutePath());
    return writeFileAtomically(_path, QJsonDocument(document).toJson());
}

} // namespace tardigo
