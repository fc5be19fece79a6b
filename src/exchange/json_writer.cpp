#include "exchange/json_writer.h"

#include "platform/atomic_file.h"
#include "platform/untrusted_text.h"

#include <charconv>
#include <cmath>

namespace tardigo {

namespace {
constexpr qsizetype kPassOnSize = 1 << 20;
} // namespace

JsonWriter::JsonWriter(bool pretty, QIODevice* sink) : _sink(sink), _pretty(pretty) {}

void JsonWriter::passOn() {
    // After a failed write the rest is dropped, so that memory stays bounded.
    if (!_sinkFailed)
        _sinkFailed = !writeAll(*_sink, _out);
    _out.resize(0);
}

bool JsonWriter::finish() {
    if (_sink)
        passOn();
    return !_sinkFailed;
}

void JsonWriter::beforeValue() {
    if (_sink && _out.size() >= kPassOnSize)
        passOn();
    if (_afterKey) {
        _afterKey = false;
        return;
    }
    if (_hasItems.empty())
        return;
    if (_hasItems.back())
        _out.append(',');
    _hasItems.back() = true;
    if (_pretty)
        _out.append('\n').append(QByteArray(2 * qsizetype(_hasItems.size()), ' '));
}

void JsonWriter::beginArray() {
    beforeValue();
    _out.append('[');
    _hasItems.push_back(false);
}

void JsonWriter::beginObject() {
    beforeValue();
    _out.append('{');
    _hasItems.push_back(false);
}

void JsonWriter::close(char bracket) {
    const bool hadItems = _hasItems.back();
    _hasItems.pop_back();
    if (_pretty && hadItems)
        _out.append('\n').append(QByteArray(2 * qsizetype(_hasItems.size()), ' '));
    _out.append(bracket);
}

void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::endObject() {
    close('}');
}

void JsonWriter::key(QStringView name) {
    string(name);
    _out.append(_pretty ? ": " : ":");
    _afterKey = true;
}

void JsonWriter::string(QStringView text) {
    beforeValue();
    _out.append('"');
    qsizetype plainFrom = 0;
    const auto flushPlain = [&](qsizetype upTo) {
        _out.append(text.sliced(plainFrom, upTo - plainFrom).toUtf8());
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        // C1 and bidirectional controls too, written as \u escapes, so that what a list holds reaches
        // a terminal as text: JSON readers take them back as the same characters.
        if (c >= 0x20 && c != '"' && c != '\\' && !isControlCharacter(c) && !isBidiControl(c))
            continue;
        flushPlain(i);
        plainFrom = i + 1;
        switch (c) {
        case '"':
            _out.append("\\\"");
            break;
        case '\\':
            _out.append("\\\\");
            break;
        case '\n':
            _out.append("\\n");
            break;
        case '\r':
            _out.append("\\r");
            break;
        case '\t':
            _out.append("\\t");
            break;
        case '\b':
            _out.append("\\b");
            break;
        case '\f':
            _out.append("\\f");
            break;
        default:
            _out.append("\\u").append(QByteArray::number(uint(c), 16).rightJustified(4, '0'));
        }
    }
    flushPlain(text.size());
    _out.append('"');
}

void JsonWriter::integer(qint64 value) {
    beforeValue();
    _out.append(QByteArray::number(value));
}

void JsonWriter::unsignedInteger(quint64 value) {
    beforeValue();
    _out.append(QByteArray::number(value));
}

void JsonWriter::null() {
    beforeValue();
    _out.append("null");
}

void JsonWriter::real(double value) {
    if (std::isnan(value))
        string(u"NaN");
    else if (std::isinf(value))
        string(value > 0 ? u"Infinity" : u"-Infinity");
    else {
        beforeValue();
        _out.append(formatReal(value));
    }
}

QByteArray JsonWriter::formatReal(double value) {
    // The shortest round-trip digits, laid out as Python's repr does: positional notation when
    // the decimal point falls within 16 digits of the first digit (and not more than 4 zeros
    // before it), exponential notation otherwise.
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    const QByteArrayView text(buffer, end - buffer);
    const qsizetype e = text.indexOf('e');
    const bool negative = text.front() == '-';
    QByteArray digits = text.sliced(negative ? 1 : 0, e - (negative ? 1 : 0)).toByteArray().replace(".", "");
    const int exponent = std::atoi(text.sliced(e + 1).toByteArray().constData());
    const int point = exponent + 1; // digits before the decimal point
    QByteArray result = negative ? "-" : "";
    if (point > -4 && point <= 16) {
        if (point <= 0)
            result += "0." + QByteArray(-point, '0') + digits;
        else if (point >= digits.size())
            result += digits + QByteArray(point - digits.size(), '0') + ".0";
        else
            result += digits.left(point) + "." + digits.mid(point);
    } else {
        result += digits.left(1);
        if (digits.size() > 1)
            result += "." + digits.mid(1);
        result +=
            (exponent < 0 ? "e-" : "e+") + QByteArray::number(std::abs(exponent)).rightJustified(2, '0');
    }
    return result;
}

} // namespace tardigo
