#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace tardigo {

/// The file of an RTFD directory that holds the text.
inline const QString kRtfdTextFileName = QStringLiteral("TXT.rtf");

/// One file of a flat RTFD directory.
struct RtfdFile {
    QString name;
    QByteArray contents;
    bool operator==(const RtfdFile& other) const = default;
};

struct RtfdReadResult {
    QByteArray rtf;                    // the TXT.rtf file
    std::vector<RtfdFile> attachments; // every other file, in stored order
    QString error;                     // empty when the data was read
    bool ok() const { return error.isEmpty(); }
};

/// Reads a flat RTFD (a serialized directory, with or without the "rtfd" header, in either byte
/// order). Metadata entries ("." and "__@…@__") and entries that are not files are skipped.
RtfdReadResult readRtfdContainer(const QByteArray& data);

/// Reads only the text file of a flat RTFD, without copying it: the result's `rtf` shares the bytes
/// of `data` and is valid while `data` lives unchanged. No attachments are read.
RtfdReadResult readRtfdText(const QByteArray& data);

/// Writes a flat RTFD whose root directory holds these files in this order (little-endian, plain
/// sizes).
QByteArray writeRtfdContainer(const std::vector<RtfdFile>& files);

} // namespace tardigo
