#include "rich_text/rtfd_container.h"

#include "model/core_log.h"

#include <QCoreApplication>
#include <QtEndian>

#include <optional>

namespace tardigo {

namespace {

constexpr char kMagic[] = "rtfd";
constexpr quint32 kTypeData = 1;
constexpr quint32 kTypeDirectory = 3;
constexpr quint32 kAlignedSize = 0x80000000u;

bool isMetadataName(const QString& name) {
    return name == u"." || name == u".." ||
           (name.size() >= 6 && name.startsWith(u"__@") && name.endsWith(u"@__"));
}

class RtfdParser {
public:
    RtfdParser(const QByteArray& data, bool textOnly) : _data(data), _textOnly(textOnly) {}
    RtfdReadResult parse();

private:
    // Reads up to the entry count; false when that failed.
    bool readHeader();
    void readDirectory(RtfdReadResult& result);
    bool readEntry(const QString& name, qsizetype end, RtfdReadResult& result);
    std::optional<quint32> word();
    // A byte count, plain or in the page-aligned form; leaves _pos at the first payload byte.
    std::optional<quint32> sizeField();
    std::optional<QByteArray> bytes(quint32 size, qsizetype limit);
    void fail(const QString& message);

    const QByteArray& _data;
    const bool _textOnly; // the text file alone, sharing the data's bytes
    qsizetype _pos = 0;
    bool _bigEndian = false;
    bool _haveText = false;
    QString _error;
};

std::optional<quint32> RtfdParser::word() {
    if (_data.size() - _pos < 4) {
        fail(QCoreApplication::translate("RtfdContainer", "The RTFD data is cut short at byte %1.")
                 .arg(_data.size()));
        return std::nullopt;
    }
    const uchar* p = reinterpret_cast<const uchar*>(_data.constData()) + _pos;
    _pos += 4;
    return _bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
}

std::optional<quint32> RtfdParser::sizeField() {
    const auto size = word();
    if (!size || *size != kAlignedSize)
        return size;
    const auto length = word();
    const auto padding = word();
    if (!length || !padding)
        return std::nullopt;
    if (*padding > quint64(_data.size() - _pos)) {
        fail(QCoreApplication::translate("RtfdContainer",
                                         "The RTFD padding at byte %1 runs past the end of the data.")
                 .arg(_pos));
        return std::nullopt;
    }
    _pos += *padding;
    return length;
}

std::optional<QByteArray> RtfdParser::bytes(quint32 size, qsizetype limit) {
    // An entry's own header may already reach past the end its directory gave it.
    if (_pos > limit || size > quint64(limit - _pos)) {
        fail(QCoreApplication::translate("RtfdContainer",
                                         "An RTFD entry at byte %1 claims %2 bytes, more than it holds.")
                 .arg(_pos)
                 .arg(size));
        return std::nullopt;
    }
    QByteArray result =
        _textOnly ? QByteArray::fromRawData(_data.constData() + _pos, size) : _data.mid(_pos, size);
    _pos += size;
    return result;
}

void RtfdParser::fail(const QString& message) {
    if (_error.isEmpty())
        _error = message;
}

RtfdReadResult RtfdParser::parse() {
    RtfdReadResult result;
    readDirectory(result);
    if (_error.isEmpty() && !_haveText)
        fail(QCoreApplication::translate("RtfdContainer", "The RTFD data holds no TXT.rtf."));
    result.error = _error;
    return result;
}

bool RtfdParser::readHeader() {
    if (_data.startsWith(QByteArrayView(kMagic, 4))) {
        _pos = 4;
        // The version word is 0 in either byte order.
        const auto version = word();
        if (!version)
            return false;
        if (*version != 0) {
            fail(QCoreApplication::translate("RtfdContainer", "The RTFD data has the unknown version %1.")
                     .arg(*version));
            return false;
        }
    }
    // The root is a directory, so its type word tells the byte order.
    if (_data.size() - _pos >= 4) {
        const uchar* p = reinterpret_cast<const uchar*>(_data.constData()) + _pos;
        _bigEndian = qFromBigEndian<quint32>(p) == kTypeDirectory;
        if (!_bigEndian && qFromLittleEndian<quint32>(p) != kTypeDirectory) {
            fail(QCoreApplication::translate("RtfdContainer",
                                             "The data is not RTFD: byte %1 does not start a directory.")
                     .arg(_pos));
            return false;
        }
    }
    return word().has_value();
}

void RtfdParser::readDirectory(RtfdReadResult& result) {
    if (!readHeader())
        return;
    const auto count = word();
    if (!count)
        return;
    // Every entry needs at least a name size and a value size.
    if (*count > quint64(_data.size() - _pos) / 8) {
        fail(QCoreApplication::translate(
                 "RtfdContainer",
                 "The RTFD directory at byte %1 claims %2 entries, more than the data can hold.")
                 .arg(_pos - 8)
                 .arg(*count));
        return;
    }
    std::vector<QString> names;
    for (quint32 i = 0; i < *count; ++i) {
        const auto size = sizeField();
        const auto name = size ? bytes(*size, _data.size()) : std::nullopt;
        if (!name)
            return;
        names.push_back(QString::fromUtf8(*name));
    }
    std::vector<quint32> sizes;
    for (quint32 i = 0; i < *count; ++i) {
        const auto size = word();
        if (!size)
            return;
        sizes.push_back(*size);
    }
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] > quint64(_data.size() - _pos)) {
            fail(QCoreApplication::translate(
                     "RtfdContainer",
                     "The RTFD entry \"%1\" at byte %2 claims %3 bytes, past the end of the data.")
                     .arg(names[i])
                     .arg(_pos)
                     .arg(sizes[i]));
            return;
        }
        const qsizetype end = _pos + sizes[i];
        if (!isMetadataName(names[i]) && !readEntry(names[i], end, result))
            return;
        _pos = end;
    }
}

bool RtfdParser::readEntry(const QString& name, qsizetype end, RtfdReadResult& result) {
    const auto type = word();
    if (!type)
        return false;
    if (*type != kTypeData) {
        qCInfo(lcRichText) << "RTFD entry" << name << "of type" << *type << "skipped";
        return true;
    }
    if (_textOnly && (name != kRtfdTextFileName || _haveText))
        return true;
    const auto size = sizeField();
    const auto contents = size ? bytes(*size, end) : std::nullopt;
    if (!contents)
        return false;
    if (name == kRtfdTextFileName && !_haveText) {
        result.rtf = *contents;
        _haveText = true;
    } else {
        result.attachments.push_back({name, *contents});
    }
    return true;
}

void appendWord(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

RtfdReadResult readRtfdContainer(const QByteArray& data) {
    return RtfdParser(data, false).parse();
}

RtfdReadResult readRtfdText(const QByteArray& data) {
    return RtfdParser(data, true).parse();
}

QByteArray writeRtfdContainer(const std::vector<RtfdFile>& files) {
    QByteArray out(kMagic, 4);
    appendWord(out, 0);
    appendWord(out, kTypeDirectory);
    appendWord(out, quint32(files.size()));
    for (const RtfdFile& file : files) {
        const QByteArray name = file.name.toUtf8();
        appendWord(out, quint32(name.size()));
        out += name;
    }
    for (const RtfdFile& file : files)
        appendWord(out, quint32(8 + file.contents.size()));
    for (const RtfdFile& file : files) {
        appendWord(out, kTypeData);
        appendWord(out, quint32(file.contents.size()));
        out += file.contents;
    }
    return out;
}

} // namespace tardigo
