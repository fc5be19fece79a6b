#include "archive/type_encoding.h"

#include <limits>

namespace tardigo {

namespace {

constexpr int kMaxTypeNesting = 100;
constexpr QByteArrayView kScalarCodes = "cCBsSiIlLqQfd*%:+#@";

class TypeParser {
public:
    explicit TypeParser(QByteArrayView text) : _text(text) {}

    std::optional<std::vector<TypeEncoding>> parseAll(QString* error) {
        std::vector<TypeEncoding> types;
        if (_text.isEmpty())
            _error = QStringLiteral("is empty");
        while (_error.isEmpty() && _pos < _text.size())
            types.push_back(parseOne(0));
        if (!_error.isEmpty()) {
            *error = _error;
            return std::nullopt;
        }
        return types;
    }

private:
    TypeEncoding parseOne(int depth) {
        TypeEncoding type;
        if (depth > kMaxTypeNesting) {
            _error = QStringLiteral("nests too deeply");
            return type;
        }
        const char c = _text[_pos++];
        type.code = c;
        if (kScalarCodes.contains(c))
            return type;
        if (c == '[')
            parseArray(type, depth);
        else if (c == '{')
            parseStruct(type, depth);
        else if (c == '!')
            _error = QStringLiteral("holds the code “!”, which stands for no value");
        else if (c == '(')
            _error = QStringLiteral("holds a union, which only NeXTSTEP archives use");
        else
            _error = QStringLiteral("holds the unknown type code “%1”").arg(QLatin1Char(c));
        return type;
    }

    void parseArray(TypeEncoding& type, int depth) {
        qint64 count = 0;
        const qsizetype digitsStart = _pos;
        while (_pos < _text.size() && _text[_pos] >= '0' && _text[_pos] <= '9') {
            count = count * 10 + (_text[_pos++] - '0');
            if (count > std::numeric_limits<qint32>::max()) {
                _error = QStringLiteral("holds an array that is too long");
                return;
            }
        }
        if (_pos == digitsStart) {
            _error = QStringLiteral("holds an array without a length");
            return;
        }
        type.count = qint32(count);
        TypeEncoding element = parseFieldsUntil(']', depth);
        if (!_error.isEmpty())
            return;
        // Several element codes form an unnamed struct, as the platform treats them.
        if (element.fields.size() == 1)
            type.fields.push_back(std::move(element.fields.front()));
        else
            type.fields.push_back(std::move(element));
        // Elements that take no bytes would let a tiny archive ask for endless work.
        if (count > 0 && encodesNothing(type.fields.front()))
            _error = QStringLiteral("holds an array of elements that take no bytes");
    }

    static bool encodesNothing(const TypeEncoding& type) {
        if (type.code == '[')
            return type.count == 0 || encodesNothing(type.fields.front());
        if (type.code == '{') {
            for (const TypeEncoding& field : type.fields)
                if (!encodesNothing(field))
                    return false;
            return true;
        }
        return false;
    }

    void parseStruct(TypeEncoding& type, int depth) {
        // The name plays no part in the encoding of the values.
        if (const qsizetype equals = nameEnd(); equals >= 0)
            _pos = equals + 1;
        TypeEncoding fields = parseFieldsUntil('}', depth);
        type.fields = std::move(fields.fields);
    }

    /// The position of the '=' that ends a struct's name, or -1 when the struct has none.
    qsizetype nameEnd() const {
        int nesting = 0;
        for (qsizetype i = _pos; i < _text.size(); ++i) {
            const char c = _text[i];
            if (c == '{' || c == '[' || c == '(')
                ++nesting;
            else if (c == '}' || c == ']' || c == ')') {
                if (nesting == 0)
                    return -1;
                --nesting;
            } else if (c == '=' && nesting == 0)
                return i;
        }
        return -1;
    }

    TypeEncoding parseFieldsUntil(char close, int depth) {
        TypeEncoding group;
        group.code = '{';
        while (_error.isEmpty()) {
            if (_pos >= _text.size()) {
                _error = QStringLiteral("is not closed");
                break;
            }
            if (_text[_pos] == close) {
                ++_pos;
                if (group.fields.empty())
                    _error = QStringLiteral("holds an empty structure or array element");
                break;
            }
            group.fields.push_back(parseOne(depth + 1));
        }
        return group;
    }

    QByteArrayView _text;
    qsizetype _pos = 0;
    QString _error;
};

} // namespace

std::optional<std::vector<TypeEncoding>> parseTypeEncodings(QByteArrayView text, QString* error) {
    return TypeParser(text).parseAll(error);
}

const std::vector<TypeEncoding>& TypeEncodingCache::typesOf(const QByteArray& typeString) {
    auto it = _types.find(typeString);
    if (it == _types.end()) {
        QString unused;
        it = _types.insert(typeString,
                           parseTypeEncodings(typeString, &unused).value_or(std::vector<TypeEncoding>()));
    }
    return *it;
}

} // namespace tardigo
