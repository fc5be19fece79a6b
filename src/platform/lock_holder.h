#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tardigo {

/// Who holds a lock: what a process writes into a lock file it takes, so that one that must wait can
/// say whom it waits for. The file is anyone's to write, so what is read from it is bounded and
/// cleaned before it is shown.
struct LockHolder {
    qint64 pid = 0;
    QString host;         // the machine it runs on; empty: this one
    qint64 startTime = 0; // when it started, in clock ticks after boot; 0: unknown
    QString program;      // its short name, e.g. "tardigo-cli"

    /// This process.
    static LockHolder self();
    /// The record a holder writes: one `name=value` line each.
    QByteArray toText() const;
    /// The record in a lock file's text; none when it names no process.
    static std::optional<LockHolder> fromText(const QByteArray& text);

    /// Whether the process still runs. A record from another machine cannot be checked there and
    /// counts as running; a process id now used by a later process (its start time differs) counts
    /// as gone.
    bool isRunning() const;
    bool isOnThisMachine() const;
    /// In words, e.g. "process 4242 (tardigo-cli)" or "process 4242 (tardigo) on host “desk”".
    QString description() const;

    /// How many bytes of a lock file are read for the record, at most.
    static constexpr qint64 kMaxTextBytes = 512;
};

} // namespace tardigo
