#include "exchange/json_reader.h"

namespace tardigo {

namespace {

constexpr int kMaxJsonNesting = 1000;

class JsonParser {
public:
    explicit JsonParser(QByteArrayView text) : _text(text) {}

    std::optional<JsonNode> parseDocument(QString* error) {
        JsonNode node = parseValue(0);
        skipSpace();
        if (_error.isEmpty() && _pos < _text.size())
            fail("there is more text after the value");
        if (!_error.isEmpty()) {
            *error = _error;
            return std::nullopt;
        }
        return node;
    }

private:
    void fail(const char* what) {
        if (_error.isEmpty())
            _error = QStringLiteral("%1 at byte %2").arg(QLatin1String(what)).arg(_pos);
    }

    void skipSpace() {
        while (_pos < _text.size() &&
               (_text[_pos] == ' ' || _text[_pos] == '\t' || _text[_pos] == '\n' || _text[_pos] == '\r'))
            ++_pos;
    }

    bool take(char c) {
        skipSpace();
        if (_pos < _text.size() && _text[_pos] == c) {
            ++_pos;
            return true;
        }
        return false;
    }

    bool takeWord(QByteArrayView word) {
        if (!_text.sliced(_pos).startsWith(word))
            return false;
        _pos += word.size();
        return true;
    }

    JsonNode parseValue(int depth) {
        JsonNode node;
        skipSpace();
        if (depth > kMaxJsonNesting) {
            fail("the values nest too deeply");
            return node;
        }
        if (_pos >= _text.size()) {
            fail("the text ends where a value should be");
            return node;
        }
        const char c = _text[_pos];
        if (c == '{') {
            node.kind = JsonNode::Kind::Object;
            parseObject(node, depth);
        } else if (c == '[') {
            node.kind = JsonNode::Kind::Array;
            parseArray(node, depth);
        } else if (c == '"') {
            node.kind = JsonNode::Kind::String;
            node.string = parseString();
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            node.kind = JsonNode::Kind::Number;
            node.number = parseNumber();
        } else if (takeWord("true") || takeWord("false")) {
            node.kind = JsonNode::Kind::Boolean;
            node.boolean = c == 't';
        } else if (!takeWord("null")) {
            fail("there is no value where one should be");
        }
        return node;
    }

    void parseArray(JsonNode& node, int depth) {
        ++_pos;
        if (take(']'))
            return;
        do {
            node.items.push_back(parseValue(depth + 1));
        } while (_error.isEmpty() && take(','));
        if (_error.isEmpty() && !take(']'))
            fail("an array is not closed");
    }

    void parseObject(JsonNode& node, int depth) {
        ++_pos;
        if (take('}'))
            return;
        do {
            skipSpace();
            if (_pos >= _text.size() || _text[_pos] != '"') {
                fail("an object member has no name");
                return;
            }
            QString name = parseString();
            if (!take(':')) {
                fail("an object member has no colon after its name");
                return;
            }
            node.members.push_back({std::move(name), parseValue(depth + 1)});
        } while (_error.isEmpty() && take(','));
        if (_error.isEmpty() && !take('}'))
            fail("an object is not closed");
    }

    QByteArray parseNumber() {
        const qsizetype start = _pos;
        const auto digits = [&] {
            const qsizetype from = _pos;
            while (_pos < _text.size() && _text[_pos] >= '0' && _text[_pos] <= '9')
                ++_pos;
            return _pos > from;
        };
        if (_text[_pos] == '-')
            ++_pos;
        if (!digits())
            fail("a number has no digits");
        if (_pos < _text.size() && _text[_pos] == '.') {
            ++_pos;
            if (!digits())
                fail("a number has no digits after its point");
        }
        if (_pos < _text.size() && (_text[_pos] == 'e' || _text[_pos] == 'E')) {
            ++_pos;
            if (_pos < _text.size() && (_text[_pos] == '+' || _text[_pos] == '-'))
                ++_pos;
            if (!digits())
                fail("a number has no digits in its exponent");
        }
        return _text.sliced(start, _pos - start).toByteArray();
    }

    int hexDigits() {
        if (_pos + 4 > _text.size()) {
            fail("a \\u escape is cut short");
            return 0;
        }
        bool ok = false;
        const int code = _text.sliced(_pos, 4).toByteArray().toInt(&ok, 16);
        if (!ok)
            fail("a \\u escape is not hexadecimal");
        _pos += 4;
        return code;
    }

    QString parseString() {
        ++_pos;
        QString result;
        qsizetype plainFrom = _pos;
        while (_error.isEmpty()) {
            if (_pos >= _text.size()) {
                fail("a string is not closed");
                break;
            }
            const char c = _text[_pos];
            if (c == '"') {
                result += QString::fromUtf8(_text.sliced(plainFrom, _pos - plainFrom));
                ++_pos;
                break;
            }
            if (quint8(c) < 0x20) {
                fail("a string holds a raw control character");
                break;
            }
            if (c != '\\') {
                ++_pos;
                continue;
            }
            result += QString::fromUtf8(_text.sliced(plainFrom, _pos - plainFrom));
            ++_pos;
            if (_pos >= _text.size()) {
                fail("a string is not closed");
                break;
            }
            const char escape = _text[_pos++];
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                result += QLatin1Char(escape);
                break;
            case 'b':
                result += u'\b';
                break;
            case 'f':
                result += u'\f';
                break;
            case 'n':
                result += u'\n';
                break;
            case 'r':
                result += u'\r';
                break;
            case 't':
                result += u'\t';
                break;
            case 'u':
                result += QChar(char16_t(hexDigits()));
                break;
            default:
                fail("a string holds an unknown escape");
            }
            plainFrom = _pos;
        }
        return result;
    }

    QByteArrayView _text;
    qsizetype _pos = 0;
    QString _error;
};

} // namespace

const JsonNode* JsonNode::member(QStringView name) const {
    for (const JsonMember& m : members)
        if (m.name == name)
            return &m.value;
    return nullptr;
}

std::optional<JsonNode> parseJson(QByteArrayView text, QString* error) {
    return JsonParser(text).parseDocument(error);
}

} // namespace tardigo
