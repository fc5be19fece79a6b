#include "platform/file_name_encoding.h"

#include <algorithm>

#include <sys/stat.h>

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

namespace {

/// The argument as a user may read it: its text, each byte that is no part of a UTF-8 character
/// written as \xNN, cut to a few dozen characters around the first such byte, at `bad`.
QString shownArgument(QByteArrayView bytes, qsizetype bad) {
    constexpr qsizetype kBefore = 40;
    constexpr qsizetype kAfter = 20;
    const auto continues = [&](qsizetype at) {
        return at < bytes.size() && (uchar(bytes[at]) & 0xC0) == 0x80;
    };
    qsizetype from = std::max<qsizetype>(0, bad - kBefore);
    while (from < bad && continues(from))
        ++from;
    qsizetype to = std::min(bytes.size(), bad + 1 + kAfter);
    while (continues(to))
        ++to;
    QString shown = from > 0 ? QStringLiteral("…") : QString();
    for (QByteArrayView rest = bytes.sliced(from, to - from); !rest.isEmpty();) {
        const qsizetype at = firstNonUtf8Byte(rest);
        if (at < 0) {
            shown += QString::fromUtf8(rest);
            break;
        }
        shown += QString::fromUtf8(rest.first(at)) +
                 QStringLiteral("\\x%1").arg(uchar(rest[at]), 2, 16, QLatin1Char('0'));
        rest = rest.sliced(at + 1);
    }
    return to < bytes.size() ? shown + QStringLiteral("…") : shown;
}

} // namespace

QString notUtf8ArgumentReason(const QString& program, int argc, const char* const* argv) {
    for (int number = 1; number < argc; ++number) {
        const QByteArrayView bytes(argv[number]);
        const qsizetype bad = firstNonUtf8Byte(bytes);
        if (bad < 0)
            continue;
        const QString what =
            QStringLiteral("argument %1 (“%2”) is not UTF-8 text: its byte %3, 0x%4, is no part of a UTF-8 "
                           "character.")
                .arg(QString::number(number), shownArgument(bytes, bad), QString::number(bad + 1),
                     QStringLiteral("%1").arg(uchar(bytes[bad]), 2, 16, QLatin1Char('0')));
        struct stat info {};
        if (::lstat(argv[number], &info) == 0)
            return what +
                   QStringLiteral(" It names a file that %1 cannot name exactly, as it reads every name "
                                  "as UTF-8: rename the file (convmv converts names) and try again.")
                       .arg(program);
        return what +
               QStringLiteral(" %1 reads every argument as UTF-8: give it in UTF-8 (the terminal or the "
                              "script it came from may use another encoding).")
                   .arg(program);
    }
    return {};
}

} // namespace tardigo
