#pragma once

#include "model/value.h"

#include <QDateTime>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <vector>

namespace tardigo::test {

/// Fixes the clock for the lifetime of the guard.
class FixedClock {
public:
    explicit FixedClock(const QDateTime& now);
    ~FixedClock();
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

/// A local time "yyyy-MM-dd HH:mm:ss" in the test's TZ.
QDateTime localTime(const QString& text);

/// Writes a list file holding the items at its top level and answers its path; a test program that
/// cannot, stops.
QString writeList(const QString& path, const std::vector<NodePtr>& items);

/// What a run of the built tardigo-cli printed and answered (exit code -1: it crashed or hung).
struct CliRun {
    int exitCode = -1;
    QString out, err;
};
CliRun runCli(const QStringList& args);
/// A run given `input` on its standard input, in the environment given, where no file may grow when
/// `fullDisk`.
CliRun runCliWith(const QStringList& args, const QByteArray& input, const QProcessEnvironment& environment,
                  bool fullDisk = false);
/// The same where no file may grow, as on a full disk.
CliRun runCliOnFullDisk(const QStringList& args);
/// A run of another program (tardigo itself), where no file may grow when `fullDisk`.
CliRun runProgram(const QString& program, const QStringList& args, bool fullDisk = false);

/// The bytes of a file; none when it cannot be read.
QByteArray fileBytes(const QString& path);

} // namespace tardigo::test
