#include "exchange/plist_writer.h"

#include "model/core_log.h"

#include <QDateTime>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tardigo {

namespace {

constexpr char kHeader[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                           "<plist version=\"1.0\">\n";
constexpr int kBase64LineLength = 76;

bool isXmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

/// Whether the text is plain ASCII that XML holds as it is: no markup characters, no controls.
bool isPlainAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u >= 0x20 ? u < 0x7F && u != '&' && u != '<' && u != '>' : u == '\t' || u == '\n';
    });
}

QByteArray escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
            continue;
        }
        if (c.isSurrogate() || !isXmlCharacter(code))
            code = 0xFFFD;
        switch (code) {
        case '&':
            out += u"&amp;";
            break;
        case '<':
            out += u"&lt;";
            break;
        case '>':
            out += u"&gt;";
            break;
        case '\r': // a literal CR would be read back as LF
            out += u"&#13;";
            break;
        default:
            out += QChar(char16_t(code));
        }
    }
    return out.toUtf8();
}

template <typename T> QByteArray shortestReal(T value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "+infinity" : "-infinity";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, result.ptr - buffer);
}

std::optional<QByteArray> dateText(double seconds) {
    if (!std::isfinite(seconds) || std::abs(seconds) > 1e12)
        return std::nullopt;
    const QDateTime t =
        QDateTime::fromSecsSinceEpoch(Date::referenceUnixSeconds + qint64(std::floor(seconds)), Qt::UTC);
    if (t.date().year() < 1 || t.date().year() > 9999)
        return std::nullopt;
    return t.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")).toLatin1();
}

class PlistWriter {
public:
    QByteArray write(const Value& root);

private:
    struct Frame {
        ArrayPtr array;
        DictPtr dict;
        size_t next = 0;
        const void* container() const { return array ? static_cast<const void*>(array.get()) : dict.get(); }
    };

    // Why the value cannot be written, or null when it can.
    const char* omissionReason(const Value& value) const;
    void writeValue(const Value& value);
    void writeNumber(const Number& number);
    void writeData(const QByteArray& bytes);
    void element(const char* tag, const QByteArray& text);
    void textElement(const char* tag, const QString& text);
    void beginElement(const char* tag);
    void endElement(const char* tag);
    void indent();
    void open(Frame frame, const char* tag);
    void closeTop();

    std::string _out; // appends faster than QByteArray
    std::vector<Frame> _stack;
    QSet<const void*> _open;
};

QByteArray PlistWriter::write(const Value& root) {
    _out = kHeader;
    if (const char* reason = omissionReason(root))
        qCWarning(lcExchange) << "property list root left out:" << reason;
    else
        writeValue(root);
    while (!_stack.empty()) {
        Frame& frame = _stack.back();
        if (frame.array) {
            if (frame.next == frame.array->items.size()) {
                closeTop();
                continue;
            }
            const Value& value = frame.array->items[frame.next++];
            if (const char* reason = omissionReason(value))
                qCWarning(lcExchange) << "array element left out of the property list:" << reason;
            else
                writeValue(value);
        } else {
            if (frame.next == frame.dict->entries.size()) {
                closeTop();
                continue;
            }
            const auto& [key, value] = frame.dict->entries[frame.next++];
            if (const char* reason = omissionReason(value)) {
                qCWarning(lcExchange) << "key" << key << "left out of the property list:" << reason;
                continue;
            }
            textElement("key", key);
            writeValue(value);
        }
    }
    _out += "</plist>\n";
    return QByteArray(_out.data(), qsizetype(_out.size()));
}

const char* PlistWriter::omissionReason(const Value& value) const {
    switch (value.type()) {
    case Value::Type::Nil:
    case Value::Type::Null:
        return "a null value";
    case Value::Type::TimeZone:
        return "a time zone";
    case Value::Type::Color:
        return "a colour";
    case Value::Type::Array:
        return _open.contains(value.asArray().get()) ? "an array that contains itself" : nullptr;
    case Value::Type::Dict: // a history entry holds two strings, so it is not made into a dictionary here
        return !value.asHistoryEntry() && _open.contains(value.asDict().get())
                   ? "a dictionary that contains itself"
                   : nullptr;
    case Value::Type::Date:
        return dateText(value.asDate()->seconds) ? nullptr : "a date out of range";
    case Value::Type::CalendarDate:
        return dateText(value.asCalendarDate()->seconds) ? nullptr : "a date out of range";
    case Value::Type::String:
    case Value::Type::Number:
    case Value::Type::Data:
        break;
    }
    return nullptr;
}

void PlistWriter::writeValue(const Value& value) {
    switch (value.type()) {
    case Value::Type::String:
        textElement("string", *value.asString());
        break;
    case Value::Type::Number:
        writeNumber(*value.asNumber());
        break;
    case Value::Type::Date:
        element("date", *dateText(value.asDate()->seconds));
        break;
    case Value::Type::CalendarDate:
        element("date", *dateText(value.asCalendarDate()->seconds));
        break;
    case Value::Type::Data:
        writeData(*value.asData());
        break;
    case Value::Type::Array:
        open({value.asArray(), nullptr}, "array");
        break;
    case Value::Type::Dict:
        open({nullptr, value.asDict()}, "dict");
        break;
    default: // left out before we get here
        break;
    }
}

void PlistWriter::writeNumber(const Number& number) {
    if (number.type == 'c' || number.type == 'B') {
        indent();
        _out += number.integer != 0 ? "<true/>\n" : "<false/>\n";
    } else if (number.type == 'f')
        element("real", shortestReal(float(number.real)));
    else if (number.type == 'd')
        element("real", shortestReal(number.real));
    else if (number.isUnsigned())
        element("integer", QByteArray::number(number.unsignedInteger));
    else
        element("integer", QByteArray::number(number.integer));
}

void PlistWriter::writeData(const QByteArray& bytes) {
    const QByteArray base64 = bytes.toBase64();
    indent();
    _out += "<data>\n";
    for (qsizetype i = 0; i < base64.size(); i += kBase64LineLength) {
        indent();
        _out.append(base64.constData() + i,
                    size_t(std::min<qsizetype>(kBase64LineLength, base64.size() - i)));
        _out += '\n';
    }
    indent();
    _out += "</data>\n";
}

void PlistWriter::element(const char* tag, const QByteArray& text) {
    beginElement(tag);
    _out.append(text.constData(), size_t(text.size()));
    endElement(tag);
}

void PlistWriter::textElement(const char* tag, const QString& text) {
    // Almost every text of a list is plain ASCII: copying it over is much cheaper than escaping it.
    if (!isPlainAscii(text))
        return element(tag, escaped(text));
    beginElement(tag);
    for (const QChar c : text)
        _out += char(c.unicode());
    endElement(tag);
}

void PlistWriter::beginElement(const char* tag) {
    indent();
    _out += '<';
    _out += tag;
    _out += '>';
}

void PlistWriter::endElement(const char* tag) {
    _out += "</";
    _out += tag;
    _out += ">\n";
}

void PlistWriter::indent() {
    _out.append(_stack.size(), '\t');
}

void PlistWriter::open(Frame frame, const char* tag) {
    indent();
    const bool empty = frame.array ? frame.array->items.empty() : frame.dict->entries.empty();
    _out += '<';
    _out += tag;
    _out += empty ? "/>\n" : ">\n";
    if (empty)
        return;
    _open.insert(frame.container());
    _stack.push_back(std::move(frame));
}

void PlistWriter::closeTop() {
    const Frame frame = std::move(_stack.back());
    _stack.pop_back();
    _open.remove(frame.container());
    indent();
    _out += frame.array ? "</array>\n" : "</dict>\n";
}

} // namespace

QByteArray xmlPropertyList(const Value& root) {
    return PlistWriter().write(root);
}

} // namespace tardigo
