#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QStringView>

#include <vector>

namespace tardigo {

/// Writes JSON text by hand: Qt's JSON classes sort object keys and hold numbers as doubles,
/// which would lose stored key order and 64-bit integers. Compact output matches Python's
/// json.dumps(separators=(",", ":"), ensure_ascii=False); pretty output indents by two spaces.
class JsonWriter {
public:
    /// With a sink, the text is passed on to it as it grows (a large list's JSON is several
    /// times its size), and take() answers only what finish() has not passed on.
    explicit JsonWriter(bool pretty, QIODevice* sink = nullptr);

    void beginArray();
    void endArray();
    void beginObject();
    void endObject();
    /// The key of the next member of the current object.
    void key(QStringView name);
    void string(QStringView text);
    void integer(qint64 value);
    void unsignedInteger(quint64 value);
    /// A real as Python's repr writes it (shortest text that reads back the same); NaN and the
    /// infinities, which JSON lacks, as the strings "NaN", "Infinity" and "-Infinity".
    void real(double value);
    void null();

    QByteArray take() { return std::move(_out); }
    /// Passes the rest on to the sink; false when the sink refused any of the text.
    bool finish();

    /// The shortest text of a finite double that reads back the same, in Python's repr layout.
    static QByteArray formatReal(double value);

private:
    void beforeValue();
    void close(char bracket);
    void passOn();

    QByteArray _out;
    QIODevice* _sink;
    bool _sinkFailed = false;
    bool _pretty;
    bool _afterKey = false;
    std::vector<bool> _hasItems; // per open container
};

} // namespace tardigo
