#include "archive/generic_archive.h"

#include "archive/type_encoding.h"
#include "archive/typed_stream_format.h"
#include "archive/typed_stream_reader.h"
#include "archive/typed_stream_writer.h"

#include <optional>

namespace tardigo {

qint64 GenericValue::integer() const {
    const qint64* v = std::get_if<qint64>(&data);
    return v ? *v : 0;
}

double GenericValue::real() const {
    const double* v = std::get_if<double>(&data);
    return v ? *v : 0.0;
}

QByteArray GenericValue::bytes() const {
    const QByteArray* v = std::get_if<QByteArray>(&data);
    return v ? *v : QByteArray();
}

const std::vector<GenericValue>& GenericValue::items() const {
    static const std::vector<GenericValue> none;
    const auto* v = std::get_if<std::vector<GenericValue>>(&data);
    return v ? *v : none;
}

namespace {

class GenericReader {
public:
    explicit GenericReader(QByteArrayView bytes) : _in(bytes) {}

    GenericArchiveReadResult read() {
        GenericArchiveReadResult result;
        _archive = &result.archive;
        if (_in.readHeader()) {
            result.archive.bigEndian = _in.isBigEndian();
            result.archive.systemVersion = _in.systemVersion();
            while (!_in.failed() && !_in.atEnd()) {
                GenericGroup group;
                readGroup(group);
                result.archive.groups.push_back(std::move(group));
            }
        }
        for (qint32 i = 0; i < _in.classCount(); ++i) {
            const TypedStreamReader::ClassInfo& info = _in.classInfo(i);
            result.archive.classes.push_back(
                {info.name >= 0 ? _in.string(info.name).toByteArray() : QByteArray(), info.version,
                 info.superclass});
        }
        result.error = _in.error();
        result.errorOffset = _in.errorOffset();
        return result;
    }

private:
    const std::vector<TypeEncoding>* typesOf(qint32 string, qint64 at) {
        if (size_t(string) >= _types.size())
            _types.resize(size_t(string) + 1);
        auto& types = _types[size_t(string)];
        if (!types) {
            QString problem;
            types = parseTypeEncodings(_in.string(string), &problem);
            if (!types) {
                _in.fail(QStringLiteral("it holds the type string “%1”, which %2")
                             .arg(QString::fromUtf8(_in.string(string)), problem),
                         at);
                return nullptr;
            }
        }
        return &*types;
    }

    void readGroup(GenericGroup& group) {
        const qint64 at = _in.offset();
        const qint32 string = _in.readSharedString();
        if (_in.failed())
            return;
        if (string < 0) {
            _in.fail(QStringLiteral("it holds a group without a type string"), at);
            return;
        }
        const std::vector<TypeEncoding>* types = typesOf(string, at);
        if (!types)
            return;
        group.typeString = _in.string(string).toByteArray();
        for (const TypeEncoding& type : *types)
            group.values.push_back(readValue(type));
    }

    bool enter(qint64 at) {
        if (++_depth <= TypedStreamReader::kMaxNesting)
            return true;
        _in.fail(
            QStringLiteral("it nests values more than %1 levels deep").arg(TypedStreamReader::kMaxNesting),
            at);
        return false;
    }

    GenericValue readValue(const TypeEncoding& type) {
        GenericValue value;
        value.code = type.code;
        if (_in.failed())
            return value;
        const qint64 at = _in.offset();
        switch (type.code) {
        case 'c':
            value.data = qint64(qint8(_in.readByte("a character")));
            break;
        case 'C':
        case 'B':
            value.data = qint64(_in.readByte("a character"));
            break;
        case 's':
        case 'i':
        case 'l':
        case 'q':
            value.data = TypedStreamReader::signedOfType(type.code, _in.readInteger());
            break;
        case 'S':
        case 'I':
        case 'L':
        case 'Q':
            value.data = qint64(TypedStreamReader::unsignedOfType(type.code, _in.readInteger()));
            break;
        case 'f':
        case 'd':
            value.data = _in.readReal(type.code);
            break;
        case '*':
            setText(value, _in.readCString());
            break;
        case '%':
        case ':':
            setText(value, _in.readSharedString());
            break;
        case '+': {
            const qint64 length = _in.readInteger();
            if (_in.checkCount(length, 1, at, "length"))
                value.data = _in.readBytes(length, "a byte buffer").toByteArray();
            break;
        }
        case '#': {
            const qint32 cls = _in.readClass();
            value.isNull = cls < 0;
            value.data = qint64(cls);
            break;
        }
        case '@':
            readObject(value);
            break;
        case '[':
            if (type.fields.front().isRawByte())
                value.data = _in.readBytes(type.count, "a byte array").toByteArray();
            else if (_in.checkCount(type.count, 1, at))
                readItems(value, at, type.count,
                          [&](qint32) -> const TypeEncoding& { return type.fields.front(); });
            break;
        case '{':
            readItems(value, at, qint32(type.fields.size()),
                      [&](qint32 i) -> const TypeEncoding& { return type.fields[size_t(i)]; });
            break;
        }
        return value;
    }

    template <typename TypeAt> void readItems(GenericValue& value, qint64 at, qint32 count, TypeAt typeAt) {
        if (!enter(at))
            return;
        std::vector<GenericValue> items;
        items.reserve(size_t(count));
        for (qint32 i = 0; i < count && !_in.failed(); ++i)
            items.push_back(readValue(typeAt(i)));
        value.data = std::move(items);
        --_depth;
    }

    void setText(GenericValue& value, qint32 string) {
        value.isNull = string < 0;
        if (!value.isNull)
            value.data = _in.string(string).toByteArray();
    }

    void readObject(GenericValue& value) {
        const qint64 at = _in.offset();
        const TypedStreamReader::ObjectHead head = _in.readObject();
        value.isNull = head.head == TypedStreamReader::Head::Nil;
        value.data = qint64(head.object);
        if (head.head != TypedStreamReader::Head::New || !enter(at))
            return;
        _archive->objects.emplace_back();
        GenericObject object;
        object.classIndex = _in.readClass();
        if (object.classIndex < 0 && !_in.failed())
            _in.fail(QStringLiteral("it holds an object without a class"), at);
        while (!_in.failed() && !_in.atEnd() && !_in.atObjectEnd()) {
            GenericGroup group;
            readGroup(group);
            object.groups.push_back(std::move(group));
        }
        _in.readObjectEnd();
        _archive->objects[size_t(head.object)] = std::move(object);
        --_depth;
    }

    TypedStreamReader _in;
    GenericArchive* _archive = nullptr;
    std::vector<std::optional<std::vector<TypeEncoding>>> _types; // by string-table index
    int _depth = 0;
};

class GenericWriter {
public:
    GenericWriter(const GenericArchive& archive, bool bigEndian)
        : _archive(archive), _out(bigEndian), _objectNumbers(archive.objects.size(), -1),
          _classNumbers(archive.classes.size(), -1) {}

    QByteArray writeAll() {
        _out.writeHeader(_archive.systemVersion);
        for (const GenericGroup& group : _archive.groups)
            writeGroup(group);
        return _out.take();
    }

    QByteArray writeRoot(qint32 object) {
        _out.writeHeader(typedstream::kSystemVersion);
        _out.writeSharedString("@");
        writeObject(object);
        return _out.take();
    }

private:
    void writeGroup(const GenericGroup& group) {
        _out.writeSharedString(group.typeString);
        const std::vector<TypeEncoding>& types = _types.typesOf(group.typeString);
        for (size_t i = 0; i < types.size() && i < group.values.size(); ++i)
            writeValue(types[i], group.values[i]);
    }

    void writeValue(const TypeEncoding& type, const GenericValue& value) {
        switch (type.code) {
        case 'c':
        case 'C':
        case 'B':
            _out.writeByte(quint8(value.integer()));
            break;
        case 's':
        case 'i':
        case 'l':
        case 'q':
        case 'S':
        case 'I':
        case 'L':
        case 'Q':
            _out.writeIntegerOfType(type.code, value.integer());
            break;
        case 'f':
        case 'd':
            _out.writeReal(type.code, value.real());
            break;
        case '*':
            value.isNull ? _out.writeNil() : void(_out.writeCString(value.bytes()));
            break;
        case '%':
        case ':':
            value.isNull ? _out.writeNil() : void(_out.writeSharedString(value.bytes()));
            break;
        case '+':
            _out.writeInteger(value.bytes().size());
            _out.writeBytes(value.bytes());
            break;
        case '#':
            value.isNull ? _out.writeNil() : writeClass(qint32(value.integer()));
            break;
        case '@':
            value.isNull ? _out.writeNil() : writeObject(qint32(value.integer()));
            break;
        case '[':
            if (type.fields.front().isRawByte())
                _out.writeBytes(value.bytes().leftJustified(type.count, '\0', true));
            else
                for (const GenericValue& item : value.items())
                    writeValue(type.fields.front(), item);
            break;
        case '{':
            for (size_t i = 0; i < type.fields.size() && i < value.items().size(); ++i)
                writeValue(type.fields[i], value.items()[i]);
            break;
        }
    }

    void writeClass(qint32 cls) {
        // Classes are written once each by identity, as they were read: an archive may hold two
        // classes of one name, and merging them could make a chain refer back into itself.
        for (size_t steps = 0; steps <= _archive.classes.size(); ++steps) {
            if (cls < 0 || size_t(cls) >= _archive.classes.size())
                break;
            if (_classNumbers[size_t(cls)] >= 0) {
                _out.writeReference(_classNumbers[size_t(cls)]);
                return;
            }
            const GenericClass& info = _archive.classes[size_t(cls)];
            _classNumbers[size_t(cls)] = _out.writeNewClass(info.name, info.version);
            cls = info.superclass;
        }
        _out.writeNil();
    }

    void writeObject(qint32 index) {
        if (index < 0 || size_t(index) >= _archive.objects.size()) {
            _out.writeNil();
            return;
        }
        if (_objectNumbers[size_t(index)] >= 0) {
            _out.writeReference(_objectNumbers[size_t(index)]);
            return;
        }
        _objectNumbers[size_t(index)] = _out.beginObject();
        const GenericObject& object = _archive.objects[size_t(index)];
        writeClass(object.classIndex);
        for (const GenericGroup& group : object.groups)
            writeGroup(group);
        _out.endObject();
    }

    const GenericArchive& _archive;
    TypedStreamWriter _out;
    std::vector<qint32> _objectNumbers; // by object index; -1 until written
    std::vector<qint32> _classNumbers;  // by class index; -1 until written
    TypeEncodingCache _types;
};

} // namespace

GenericArchiveReadResult readGenericArchive(QByteArrayView bytes) {
    return GenericReader(bytes).read();
}

QByteArray writeGenericArchive(const GenericArchive& archive) {
    return GenericWriter(archive, archive.bigEndian).writeAll();
}

QByteArray writeGenericObject(const GenericArchive& archive, qint32 object) {
    return GenericWriter(archive, false).writeRoot(object);
}

} // namespace tardigo
