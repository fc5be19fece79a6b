#include "platform/file_name_encoding.h"

namespace tardigo {

bool isUtf8Text(QByteArrayView bytes) {
    return firstNonUtf8Byte(bytes) < 0;
}

qsizetype firstNonUtf8Byte(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = uchar(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The lead byte says how long the character is, and carries its highest bits.
        const qsizetype length = lead >= 0xF8   ? 0
                                 : lead >= 0xF0 ? 4
                                 : lead >= 0xE0 ? 3
                                 : lead >= 0xC0 ? 2
                                                : 0;
        if (length == 0)
            return i;
        constexpr char32_t kLowest[] = {0, 0, 0x80, 0x800, 0x10000}; // shorter would be overlong
        char32_t code = lead & (0x7F >> length);
        if (i + length > bytes.size())
            return i;
        for (qsizetype k = 1; k < length; ++k) {
            const uchar next = uchar(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return i;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < kLowest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += length;
    }
    return -1;
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
