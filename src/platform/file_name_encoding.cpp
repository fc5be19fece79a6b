#include "platform/file_name_encoding.h"

namespace tardigo {

bool isUtf8Text(QByteArrayView bytes) {
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QString notUtf8NameReason(const QString& name) {
    return QStringLiteral("The name “%1” is not UTF-8 text, and Tardigo reads every name as UTF-8: it "
                          "cannot name that file exactly. Rename the file (convmv converts names) and try "
                          "again.")
        .arg(name);
}

bool mayHaveBeenNotUtf8(const QString& name) {
    return name.contains(QChar::ReplacementCharacter);
}

} // namespace tardigo
