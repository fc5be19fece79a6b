#pragma once

#include <QByteArrayView>
#include <QString>

namespace tardigo {

/// Whether the bytes are UTF-8 text. Qt reads every file name as UTF-8, so a name of other bytes
/// comes to name another file, or none.
bool isUtf8Text(QByteArrayView bytes);
/// Where the first byte stands that is no part of a UTF-8 character (a stray continuation byte, a
/// sequence cut short, overlong or naming a surrogate or no character at all); -1 for UTF-8 text.
qsizetype firstNonUtf8Byte(QByteArrayView bytes);
/// Why a name that is not UTF-8 cannot be used, and what to do; `name` as Qt read it.
QString notUtf8NameReason(const QString& name);
/// Whether a name as Qt read it may stand for bytes that were not UTF-8.
bool mayHaveBeenNotUtf8(const QString& name);
/// Why the program refuses the first of its arguments that is not UTF-8: which argument, which byte,
/// and what to do, which for a file is to rename it, and for text to give it in UTF-8. Empty when
/// every argument is UTF-8. The argument is shown with each such byte as \xNN, cut around the first.
QString notUtf8ArgumentReason(const QString& program, int argc, const char* const* argv);

} // namespace tardigo
