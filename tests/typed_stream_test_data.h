#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace tardigo::test {

/// Bytes from a readable notation: hex bytes separated by spaces, and 'text' for ASCII runs.
inline QByteArray streamBytes(const QString& notation) {
    QByteArray bytes;
    for (const QString& token : notation.split(u' ', Qt::SkipEmptyParts)) {
        if (token.startsWith(u'\''))
            bytes += token.mid(1, token.size() - 2).toLatin1();
        else
            bytes += char(token.toUInt(nullptr, 16));
    }
    return bytes;
}

/// A little-endian archive header (streamer version 4, system version 1000) followed by the body.
inline QByteArray archiveBytes(const QString& body) {
    return streamBytes("04 0B 'streamtyped' 81 E8 03 " + body);
}

/// The typed-stream samples' folder: the environment's TARDIGO_SAMPLES_DIR, else the CMake cache
/// variable of that name (by default beside the checkout).
inline QString samplesDir() {
    const QString fromEnvironment = qEnvironmentVariable("TARDIGO_SAMPLES_DIR");
    return fromEnvironment.isEmpty() ? QStringLiteral(TARDIGO_SAMPLES_DIR) : fromEnvironment;
}

inline bool haveSamples() {
    return QDir(samplesDir()).exists();
}

/// Why a test that reads the samples skips: where they were looked for, and how to name the folder.
inline QByteArray noSamplesReason() {
    return QStringLiteral("the typed-stream samples are not in %1; set TARDIGO_SAMPLES_DIR (in the "
                          "environment, or as a CMake cache variable) to their folder")
        .arg(samplesDir())
        .toUtf8();
}

/// Skips the test, saying why, when the samples are not there.
#define SKIP_WITHOUT_SAMPLES()                                                                               \
    do {                                                                                                     \
        if (!tardigo::test::haveSamples())                                                                   \
            QSKIP(tardigo::test::noSamplesReason().constData());                                             \
    } while (false)

inline QByteArray sampleBytes(const QString& relativePath) {
    QFile file(samplesDir() + u'/' + relativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Every typed-stream sample (the flat RTFD files are another format), as paths under the folder.
inline QStringList typedStreamSamples() {
    QStringList paths;
    const QStringList folders = {QStringLiteral("apple-nsarchiver-foundation"),
                                 QStringLiteral("apple-nsarchiver-swift-literals"),
                                 QStringLiteral("inline-samples"), QStringLiteral("constructed")};
    for (const QString& folder : folders)
        for (const QString& name : QDir(samplesDir() + u'/' + folder).entryList(QDir::Files, QDir::Name))
            if (!name.endsWith(u".rtfd-data"))
                paths << folder + u'/' + name;
    return paths;
}

} // namespace tardigo::test
