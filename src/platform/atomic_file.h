#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

namespace tardigo {

/// Writes the whole file or nothing: a failed write leaves the old file as it was. Keeps the old
/// file's permissions. Answers an empty string on success, else a sentence naming the file and why.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

/// Opens the file at its path for reading; on failure answers false and sets a sentence naming
/// the file and why.
bool openForReading(QFile& file, QString* error);
/// Reads a whole file; on failure answers nothing and sets a sentence naming the file and why.
std::optional<QByteArray> readWholeFile(const QString& path, QString* error);

} // namespace tardigo
