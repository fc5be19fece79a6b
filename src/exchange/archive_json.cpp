#include "exchange/archive_json.h"

#include "archive/archive_codec.h"
#include "archive/archived_class.h"
#include "archive/generic_archive.h"
#include "archive/type_encoding_cache.h"
#include "exchange/json_writer.h"
#include "exchange/value_json.h"

namespace tardigo {

namespace {

void collectObjects(const GenericValue& value, std::vector<qint32>& objects) {
    if (value.code == '@' && !value.isNull)
        objects.push_back(qint32(value.integer()));
    for (const GenericValue& item : value.items())
        collectObjects(item, objects);
}

class ArchiveJson {
public:
    ArchiveJson(const GenericArchive& archive, JsonWriter& json)
        : _archive(archive), _json(json), _printed(archive.objects.size(), false) {
        findDecodable();
    }

    void write() {
        _json.beginArray();
        for (const GenericGroup& group : _archive.groups)
            writeGroup(group);
        _json.endArray();
    }

private:
    bool isKnown(qint32 object) const {
        const qint32 cls = _archive.objects[size_t(object)].classIndex;
        if (cls < 0 || size_t(cls) >= _archive.classes.size())
            return false;
        const auto known = archivedClassNamed(_archive.classes[size_t(cls)].name);
        return known && *known != ArchivedClass::Object;
    }

    /// Marks the objects whose whole graph the class layer can decode, in one walk, so that an
    /// unknown object deep down is not met again by every object above it.
    void findDecodable() {
        const size_t count = _archive.objects.size();
        std::vector<std::vector<qint32>> children(count);
        for (size_t i = 0; i < count; ++i)
            for (const GenericGroup& group : _archive.objects[i].groups)
                for (const GenericValue& value : group.values)
                    collectObjects(value, children[i]);
        enum : char { Unvisited, Open, Done };
        std::vector<char> state(count, Unvisited);
        _decodable.assign(count, false);
        std::vector<std::pair<qint32, size_t>> stack;
        const auto open = [&](qint32 object) {
            state[size_t(object)] = Open;
            _decodable[size_t(object)] = isKnown(object);
            stack.emplace_back(object, 0);
        };
        for (qint32 root = 0; root < qint32(count); ++root) {
            if (state[size_t(root)] != Unvisited)
                continue;
            open(root);
            while (!stack.empty()) {
                const auto [object, next] = stack.back();
                if (next < children[size_t(object)].size()) {
                    ++stack.back().second;
                    const qint32 child = children[size_t(object)][next];
                    if (child < 0 || size_t(child) >= count)
                        continue;
                    if (state[size_t(child)] == Unvisited)
                        open(child);
                    else // an open child closes a cycle, which the class layer refuses
                        _decodable[size_t(object)] = _decodable[size_t(object)] &&
                                                     state[size_t(child)] == Done &&
                                                     _decodable[size_t(child)];
                    continue;
                }
                stack.pop_back();
                state[size_t(object)] = Done;
                if (!stack.empty()) {
                    const size_t parent = size_t(stack.back().first);
                    _decodable[parent] = _decodable[parent] && _decodable[size_t(object)];
                }
            }
        }
    }

    void writeGroup(const GenericGroup& group) {
        _json.beginArray();
        _json.string(QString::fromUtf8(group.typeString));
        const std::vector<TypeEncoding>& types = _types.typesOf(group.typeString);
        for (size_t i = 0; i < types.size() && i < group.values.size(); ++i)
            writeValue(types[i], group.values[i]);
        _json.endArray();
    }

    void writeData(const QByteArray& bytes) {
        _json.beginObject();
        _json.key(u"$data");
        _json.string(QString::fromLatin1(bytes.toBase64()));
        _json.endObject();
    }

    /// The "$class" and "$version" members; a `ref` names the class only.
    void writeClass(qint32 cls, bool withVersion) {
        const bool valid = cls >= 0 && size_t(cls) < _archive.classes.size();
        _json.key(u"$class");
        _json.string(valid ? QString::fromUtf8(_archive.classes[size_t(cls)].name) : QString());
        if (withVersion) {
            _json.key(u"$version");
            _json.integer(valid ? _archive.classes[size_t(cls)].version : 0);
        }
    }

    void writeValue(const TypeEncoding& type, const GenericValue& value) {
        switch (type.code) {
        case 'c':
        case 's':
        case 'i':
        case 'l':
        case 'q':
            _json.integer(value.integer());
            break;
        case 'C':
        case 'B':
        case 'S':
        case 'I':
        case 'L':
        case 'Q':
            _json.unsignedInteger(quint64(value.integer()));
            break;
        case 'f':
        case 'd':
            _json.real(value.real());
            break;
        case '*':
        case '%':
        case ':':
            value.isNull ? _json.null() : _json.string(QString::fromUtf8(value.bytes()));
            break;
        case '+':
            writeData(value.bytes());
            break;
        case '#':
            if (value.isNull) {
                _json.null();
            } else {
                _json.beginObject();
                writeClass(qint32(value.integer()), true);
                _json.endObject();
            }
            break;
        case '@':
            writeObject(value);
            break;
        case '[':
            if (type.fields.front().isRawByte()) {
                writeData(value.bytes());
                break;
            }
            _json.beginArray();
            for (const GenericValue& item : value.items())
                writeValue(type.fields.front(), item);
            _json.endArray();
            break;
        case '{':
            _json.beginArray();
            for (size_t i = 0; i < type.fields.size() && i < value.items().size(); ++i)
                writeValue(type.fields[i], value.items()[i]);
            _json.endArray();
            break;
        }
    }

    void writeObject(const GenericValue& value) {
        const auto index = qint32(value.integer());
        if (value.isNull || index < 0 || size_t(index) >= _archive.objects.size()) {
            _json.null();
            return;
        }
        const GenericObject& object = _archive.objects[size_t(index)];
        if (_printed[size_t(index)]) {
            _json.beginObject();
            _json.key(u"$ref");
            _json.integer(index);
            writeClass(object.classIndex, false);
            _json.endObject();
            return;
        }
        _printed[size_t(index)] = true;
        if (_decodable[size_t(index)]) {
            const ArchiveDecodeResult decoded = decodeArchive(writeGenericObject(_archive, index));
            if (decoded.ok()) {
                writeValueJson(_json, decoded.root);
                return;
            }
        }
        _json.beginObject();
        writeClass(object.classIndex, true);
        _json.key(u"$groups");
        _json.beginArray();
        for (const GenericGroup& group : object.groups)
            writeGroup(group);
        _json.endArray();
        _json.endObject();
    }

    const GenericArchive& _archive;
    JsonWriter& _json;
    std::vector<bool> _printed;
    std::vector<bool> _decodable;
    TypeEncodingCache _types;
};

} // namespace

QByteArray archiveToJson(const GenericArchive& archive, bool pretty) {
    JsonWriter json(pretty);
    ArchiveJson(archive, json).write();
    return json.take();
}

bool archiveToJson(const GenericArchive& archive, bool pretty, QIODevice& device) {
    JsonWriter json(pretty, &device);
    ArchiveJson(archive, json).write();
    return json.finish();
}

} // namespace tardigo
