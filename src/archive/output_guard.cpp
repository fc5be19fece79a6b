#include "archive/output_guard.h"

#include "archive/typed_stream_format.h"
#include "platform/file_identity.h"

#include <QFile>

#include <sys/stat.h>

namespace tardigo {

namespace {

/// Whether the regular file begins as every list does: as a typed-stream archive.
bool holdsArchive(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(2 + typedstream::kSignatureLength);
    if (head.size() != 2 + typedstream::kSignatureLength || quint8(head[1]) != typedstream::kSignatureLength)
        return false;
    const QByteArrayView signature = QByteArrayView(head).sliced(2);
    return signature == QByteArrayView(typedstream::kLittleEndianSignature) ||
           signature == QByteArrayView(typedstream::kBigEndianSignature);
}

/// The input that is the same file on disk as the output, if any.
const QString* sameFileAs(const FileIdentity& output, const QStringList& inputs) {
    for (const QString& input : inputs)
        if (const std::optional<FileIdentity> read = FileIdentity::of(input);
            read && read->isSameFileAs(output))
            return &input;
    return nullptr;
}

} // namespace

OutputCheck checkOutput(const QString& output, OutputKind kind, const QStringList& inputs) {
    using Verdict = OutputCheck::Verdict;
    struct stat info {};
    // Followed as the write follows it: a link stands for its target.
    if (::stat(QFile::encodeName(output).constData(), &info) != 0)
        return {};
    if (S_ISDIR(info.st_mode))
        return {Verdict::NotAFile, QStringLiteral("“%1” is a folder; name a file to write.").arg(output)};
    if (!S_ISREG(info.st_mode))
        return {Verdict::NotAFile,
                QStringLiteral("“%1” is not a regular file (it may be a pipe or a device); "
                               "name a file to write.")
                    .arg(output)};
    const FileIdentity target{quint64(info.st_dev), quint64(info.st_ino)};
    if (const QString* input = sameFileAs(target, inputs)) {
        const QString alias = *input == output ? QString() : QStringLiteral(" (“%1”)").arg(*input);
        return {Verdict::IsInput,
                QStringLiteral("“%1” is the file being read%2; write to another file.").arg(output, alias)};
    }
    if (kind == OutputKind::Other && holdsArchive(output))
        return {Verdict::IsList, QStringLiteral("“%1” is a Tardigo list, which only a list may replace, even "
                                                "with --force; write to another file.")
                                     .arg(output)};
    return {Verdict::Exists, QStringLiteral("“%1” already exists; use --force to replace it.").arg(output)};
}

} // namespace tardigo
