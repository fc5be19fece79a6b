#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

class QFile;
class QIODevice;

namespace tardigo {

/// Writes the whole file or nothing: a failed write leaves the old file as it was. Keeps the old
/// file's permissions. Answers an empty string on success, else a sentence naming the file and why.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);
/// The same, with `write` putting the bytes into the file as it goes and answering false when a
/// write failed.
QString writeFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write);

/// Writes all the bytes, going on after a short write, so that a failure leaves the device's
/// error string saying why; false when a write failed.
bool writeAll(QIODevice& device, QByteArrayView bytes);

/// Opens the file at its path for reading; on failure answers false and sets a sentence naming
/// the file and why.
bool openForReading(QFile& file, QString* error);
/// Reads a whole file; on failure answers nothing and sets a sentence naming the file and why.
std::optional<QByteArray> readWholeFile(const QString& path, QString* error);

} // namespace tardigo
