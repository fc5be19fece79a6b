#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tardigo {

/// Writes the whole file or nothing: a failed write leaves the old file as it was. Keeps the old
/// file's permissions. Answers an empty string on success, else a sentence naming the file and why.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

/// Reads a whole file; on failure answers nothing and sets a sentence naming the file and why.
std::optional<QByteArray> readWholeFile(const QString& path, QString* error);

} // namespace tardigo
