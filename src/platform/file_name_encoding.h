#pragma once

#include <QByteArrayView>
#include <QString>

namespace tardigo {

/// Whether the bytes are UTF-8 text. Qt reads every file name as UTF-8, so a name of other bytes
/// comes to name another file, or none.
bool isUtf8Text(QByteArrayView bytes);
/// Why a name that is not UTF-8 cannot be used, and what to do; `name` as Qt read it.
QString notUtf8NameReason(const QString& name);
/// Whether a name as Qt read it may stand for bytes that were not UTF-8.
bool mayHaveBeenNotUtf8(const QString& name);

} // namespace tardigo
