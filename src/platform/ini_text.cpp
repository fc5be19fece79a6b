#include "platform/ini_text.h"

#include <QUrl>

namespace tardigo {

namespace {

bool needsQuotes(const QString& text, bool inList) {
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace() || text.front() == u'"')
        return true;
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || (inList && c == u','))
            return true;
    return false;
}

QString quoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

QString textItem(const QString& text, bool inList) {
    return needsQuotes(text, inList) ? quoted(text) : text;
}

/// Reads the items of a list: each raw (trimmed, up to the next comma) or quoted. None when a
/// quoted item is not closed or is followed by anything but a comma.
std::optional<QStringList> splitItems(const QString& text) {
    QStringList items;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipSpaces = [&] {
        while (i < n && text[i].isSpace())
            ++i;
    };
    skipSpaces();
    if (i == n)
        return items;
    while (true) {
        skipSpaces();
        QString item;
        if (i < n && text[i] == u'"') {
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = text[i++];
                if (c == u'"') {
                    closed = true;
                    break;
                }
                if (c != u'\\' || i == n) {
                    item += c;
                    continue;
                }
                const QChar e = text[i++];
                if (e == u'n')
                    item += u'\n';
                else if (e == u't')
                    item += u'\t';
                else if (e == u'r')
                    item += u'\r';
                else if (e == u'u' && i + 4 <= n) {
                    bool ok = false;
                    item += QChar(text.mid(i, 4).toUShort(&ok, 16));
                    if (!ok)
                        return std::nullopt;
                    i += 4;
                } else
                    item += e;
            }
            if (!closed)
                return std::nullopt;
            skipSpaces();
            if (i < n && text[i] != u',')
                return std::nullopt;
        } else {
            const qsizetype comma = text.indexOf(u',', i);
            const qsizetype end = comma < 0 ? n : comma;
            item = text.mid(i, end - i).trimmed();
            i = end;
        }
        items.append(item);
        if (i >= n)
            return items;
        ++i; // the comma
    }
}

std::optional<QString> onlyItem(const QString& text) {
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(u'"'))
        return trimmed; // a raw text is the whole line, commas and all
    const std::optional<QStringList> items = splitItems(trimmed);
    if (!items || items->size() != 1)
        return std::nullopt;
    return items->front();
}

std::optional<Value> scalarFromText(const QString& text, PreferenceKind kind) {
    const QString trimmed = text.trimmed();
    switch (kind) {
    case PreferenceKind::Boolean: {
        const QString word = trimmed.toLower();
        if (word == u"true" || word == u"yes" || word == u"on" || word == u"1")
            return Value::boolean(true);
        if (word == u"false" || word == u"no" || word == u"off" || word == u"0")
            return Value::boolean(false);
        return std::nullopt;
    }
    case PreferenceKind::Integer: {
        bool ok = false;
        const qint64 number = trimmed.toLongLong(&ok);
        return ok ? std::optional<Value>(Value::integer(number)) : std::nullopt;
    }
    case PreferenceKind::Real: {
        bool ok = false;
        const double number = trimmed.toDouble(&ok);
        return ok ? std::optional<Value>(Value(Number::float64(number))) : std::nullopt;
    }
    case PreferenceKind::String: {
        const std::optional<QString> item = onlyItem(text);
        return item ? std::optional<Value>(Value(*item)) : std::nullopt;
    }
    case PreferenceKind::Data: {
        const auto decoded =
            QByteArray::fromBase64Encoding(trimmed.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? std::optional<Value>(Value::data(*decoded)) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<QString> scalarText(const Value& value, PreferenceKind kind, bool inList) {
    switch (kind) {
    case PreferenceKind::Boolean:
        if (const Number* number = value.asNumber())
            return number->toDouble() != 0.0 ? QStringLiteral("true") : QStringLiteral("false");
        return std::nullopt;
    case PreferenceKind::Integer:
        if (const Number* number = value.asNumber(); number && !number->isReal())
            return QString::number(number->toInt64());
        return std::nullopt;
    case PreferenceKind::Real:
        if (const Number* number = value.asNumber())
            return QString::number(number->toDouble(), 'g', 17);
        return std::nullopt;
    case PreferenceKind::String:
        if (const QString* text = value.asString())
            return textItem(*text, inList);
        return std::nullopt;
    case PreferenceKind::Data:
        if (const QByteArray* bytes = value.asData())
            return QString::fromLatin1(bytes->toBase64());
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace

QString iniKey(const QString& name) {
    return QString::fromLatin1(QUrl::toPercentEncoding(name));
}

QString nameFromIniKey(const QString& key) {
    return QUrl::fromPercentEncoding(key.toLatin1());
}

bool isDictionaryKind(PreferenceKind kind) {
    return kind == PreferenceKind::IntegerDictionary || kind == PreferenceKind::StringDictionary;
}

PreferenceKind iniElementKind(PreferenceKind dictionaryKind) {
    return dictionaryKind == PreferenceKind::IntegerDictionary ? PreferenceKind::Integer
                                                               : PreferenceKind::String;
}

std::optional<QString> iniText(const Value& value, PreferenceKind kind) {
    if (kind == PreferenceKind::StringList) {
        const ArrayPtr array = value.asArray();
        if (!array)
            return std::nullopt;
        QStringList items;
        for (const Value& item : array->items) {
            const QString* text = item.asString();
            if (!text)
                return std::nullopt;
            items.append(textItem(*text, true));
        }
        return items.join(QStringLiteral(", "));
    }
    if (isDictionaryKind(kind)) {
        const DictPtr dict = value.asDict();
        if (!dict)
            return std::nullopt;
        QStringList pairs;
        for (const auto& [name, entry] : dict->entries) {
            const std::optional<QString> text = scalarText(entry, iniElementKind(kind), false);
            if (!text)
                return std::nullopt;
            // The whole pair is one item of the list: quoted as a whole where it must be.
            pairs.append(textItem(iniKey(name) + u'=' + *text, true));
        }
        return pairs.join(QStringLiteral(", "));
    }
    return scalarText(value, kind, false);
}

std::optional<Value> valueFromIniText(const QString& text, PreferenceKind kind) {
    if (kind == PreferenceKind::StringList) {
        const std::optional<QStringList> items = splitItems(text);
        if (!items)
            return std::nullopt;
        ArrayPtr array = Array::create();
        for (const QString& item : *items)
            array->items.emplace_back(item);
        return Value(array);
    }
    if (isDictionaryKind(kind)) {
        const std::optional<QStringList> pairs = splitItems(text);
        if (!pairs)
            return std::nullopt;
        DictPtr dict = Dict::create();
        for (const QString& pair : *pairs) {
            const qsizetype equals = pair.indexOf(u'=');
            if (equals <= 0)
                return std::nullopt;
            const std::optional<Value> entry = scalarFromText(pair.mid(equals + 1), iniElementKind(kind));
            if (!entry)
                return std::nullopt;
            dict->set(nameFromIniKey(pair.left(equals).trimmed()), *entry);
        }
        return Value(dict);
    }
    return scalarFromText(text, kind);
}

PreferenceKind inferredIniKind(const QString& text) {
    const QString word = text.trimmed();
    if (word == u"true" || word == u"false")
        return PreferenceKind::Boolean;
    bool isInteger = false;
    word.toLongLong(&isInteger);
    return isInteger ? PreferenceKind::Integer : PreferenceKind::String;
}

std::optional<PreferenceKind> iniKindOfValue(const Value& value) {
    if (const Number* number = value.asNumber()) {
        if (number->type == 'c' || number->type == 'B')
            return PreferenceKind::Boolean;
        return number->isReal() ? PreferenceKind::Real : PreferenceKind::Integer;
    }
    if (value.isString())
        return PreferenceKind::String;
    if (value.isData())
        return PreferenceKind::Data;
    if (value.asArray())
        return iniText(value, PreferenceKind::StringList) ? std::optional(PreferenceKind::StringList)
                                                          : std::nullopt;
    if (value.asDict()) {
        for (const PreferenceKind kind :
             {PreferenceKind::IntegerDictionary, PreferenceKind::StringDictionary})
            if (iniText(value, kind))
                return kind;
    }
    return std::nullopt;
}

} // namespace tardigo
