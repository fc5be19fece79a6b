#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace tardigo {

struct Dict;
class Value;

/// A history entry as an item's history holds it: an immutable dictionary of a stored date string
/// under "timestamp" and a text under "message". A list holds millions of them, so an entry whose
/// timestamp has the stored form ("2003-05-17 14:03:22 +0200") is kept as its digits in one word
/// and its message, instead of as a dictionary of two strings.
class HistoryEntry {
public:
    /// The compact form of an entry, or nothing when the timestamp has another form.
    static std::optional<HistoryEntry> make(const QString& timestamp, const QString& message,
                                            bool messageFirst = false);
    /// The compact form of a dictionary that is exactly an immutable entry of two immutable
    /// strings (in either order), or nothing.
    static std::optional<HistoryEntry> fromDict(const Dict& dict);

    static constexpr int kTimestampLength = 25;
    QString timestamp() const;
    /// The timestamp's kTimestampLength ASCII characters, for writers that want bytes.
    void timestampInto(char* out) const;
    /// The timestamp in its packed form: equal exactly when the timestamps are, for hashing.
    quint64 packedTimestamp() const { return _stamp; }
    const QString& message() const { return _message; }
    /// The archive held the message before the timestamp; written back the same way.
    bool messageFirst() const { return _messageFirst; }
    /// The entry as the dictionary it stands for.
    std::shared_ptr<Dict> toDict() const;

    bool operator==(const HistoryEntry& other) const {
        return _stamp == other._stamp && _message == other._message;
    }

private:
    HistoryEntry(quint64 stamp, const QString& message, bool messageFirst)
        : _stamp(stamp), _message(message), _messageFirst(messageFirst) {}

    quint64 _stamp; // the timestamp's numbers, packed; see history_entry.cpp
    QString _message;
    bool _messageFirst;
};

/// A new history entry: compact when its timestamp has the stored form, else a dictionary.
Value historyEntry(const QString& timestamp, const QString& message);

} // namespace tardigo
