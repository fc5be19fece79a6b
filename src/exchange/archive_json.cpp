#include "exchange/archive_json.h"

#include "archive/archive_codec.h"
#include "archive/archived_class.h"
#include "archive/generic_archive.h"
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

} // namespace

ArchiveJson::ArchiveJson(const GenericArchive& archive)
    : _archive(archive), _printed(archive.objects.size(), false), _values(archive.objects.size()) {
    findDecodable();
    decodeValues();
}

bool ArchiveJson::write(bool pretty, QIODevice& device) {
    JsonWriter json(pretty, &device);
    write(json);
    return json.finish();
}

void ArchiveJson::write(JsonWriter& json) {
    json.beginArray();
    for (const GenericGroup& group : _archive.groups)
        writeGroup(json, group);
    json.endArray();
}

bool ArchiveJson::isKnown(qint32 object) const {
    const qint32 cls = _archive.objects[size_t(object)].classIndex;
    if (cls < 0 || size_t(cls) >= _archive.classes.size())
        return false;
    const auto known = archivedClassNamed(_archive.classes[size_t(cls)].name);
    return known && *known != ArchivedClass::Object;
}

void ArchiveJson::findDecodable() {
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
                    _decodable[size_t(object)] = _decodable[size_t(object)] && state[size_t(child)] == Done &&
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

void ArchiveJson::decodeValues() {
    // In the order writeObject meets them: an object met again is printed as a reference.
    std::vector<bool> visited(_archive.objects.size(), false);
    ValueExpansion expansion;
    std::vector<qint32> objects;
    for (const GenericGroup& group : _archive.groups)
        for (const GenericValue& value : group.values)
            collectObjects(value, objects);
    for (const qint32 object : objects)
        decodeValuesBelow(object, visited, expansion);
    _refusal = expansion.refusal();
}

void ArchiveJson::decodeValuesBelow(qint32 object, std::vector<bool>& visited, ValueExpansion& expansion) {
    if (object < 0 || size_t(object) >= visited.size() || visited[size_t(object)])
        return;
    visited[size_t(object)] = true;
    if (_decodable[size_t(object)]) {
        const ArchiveDecodeResult decoded = decodeArchive(writeGenericObject(_archive, object));
        if (decoded.ok()) {
            expansion += ValueExpansion::of(decoded.root);
            _values[size_t(object)] = decoded.root;
            return;
        }
    }
    std::vector<qint32> objects;
    for (const GenericGroup& group : _archive.objects[size_t(object)].groups)
        for (const GenericValue& value : group.values)
            collectObjects(value, objects);
    for (const qint32 child : objects)
        decodeValuesBelow(child, visited, expansion);
}

void ArchiveJson::writeGroup(JsonWriter& json, const GenericGroup& group) {
    json.beginArray();
    json.string(QString::fromUtf8(group.typeString));
    const std::vector<TypeEncoding>& types = _types.typesOf(group.typeString);
    for (size_t i = 0; i < types.size() && i < group.values.size(); ++i)
        writeValue(json, types[i], group.values[i]);
    json.endArray();
}

void ArchiveJson::writeData(JsonWriter& json, const QByteArray& bytes) {
    json.beginObject();
    json.key(u"$data");
    json.string(QString::fromLatin1(bytes.toBase64()));
    json.endObject();
}

void ArchiveJson::writeClass(JsonWriter& json, qint32 cls, bool withVersion) {
    const bool valid = cls >= 0 && size_t(cls) < _archive.classes.size();
    json.key(u"$class");
    json.string(valid ? QString::fromUtf8(_archive.classes[size_t(cls)].name) : QString());
    if (withVersion) {
        json.key(u"$version");
        json.integer(valid ? _archive.classes[size_t(cls)].version : 0);
    }
}

void ArchiveJson::writeValue(JsonWriter& json, const TypeEncoding& type, const GenericValue& value) {
    switch (type.code) {
    case 'c':
    case 's':
    case 'i':
    case 'l':
    case 'q':
        json.integer(value.integer());
        break;
    case 'C':
    case 'B':
    case 'S':
    case 'I':
    case 'L':
    case 'Q':
        json.unsignedInteger(quint64(value.integer()));
        break;
    case 'f':
    case 'd':
        json.real(value.real());
        break;
    case '*':
    case '%':
    case ':':
        value.isNull ? json.null() : json.string(QString::fromUtf8(value.bytes()));
        break;
    case '+':
        writeData(json, value.bytes());
        break;
    case '#':
        if (value.isNull) {
            json.null();
        } else {
            json.beginObject();
            writeClass(json, qint32(value.integer()), true);
            json.endObject();
        }
        break;
    case '@':
        writeObject(json, value);
        break;
    case '[':
        if (type.fields.front().isRawByte()) {
            writeData(json, value.bytes());
            break;
        }
        json.beginArray();
        for (const GenericValue& item : value.items())
            writeValue(json, type.fields.front(), item);
        json.endArray();
        break;
    case '{':
        json.beginArray();
        for (size_t i = 0; i < type.fields.size() && i < value.items().size(); ++i)
            writeValue(json, type.fields[i], value.items()[i]);
        json.endArray();
        break;
    }
}

void ArchiveJson::writeObject(JsonWriter& json, const GenericValue& value) {
    const auto index = qint32(value.integer());
    if (value.isNull || index < 0 || size_t(index) >= _archive.objects.size()) {
        json.null();
        return;
    }
    const GenericObject& object = _archive.objects[size_t(index)];
    if (_printed[size_t(index)]) {
        json.beginObject();
        json.key(u"$ref");
        json.integer(index);
        writeClass(json, object.classIndex, false);
        json.endObject();
        return;
    }
    _printed[size_t(index)] = true;
    if (std::optional<Value>& decoded = _values[size_t(index)]) {
        writeValueJson(json, *decoded);
        decoded.reset();
        return;
    }
    json.beginObject();
    writeClass(json, object.classIndex, true);
    json.key(u"$groups");
    json.beginArray();
    for (const GenericGroup& group : object.groups)
        writeGroup(json, group);
    json.endArray();
    json.endObject();
}

QByteArray archiveToJson(const GenericArchive& archive, bool pretty) {
    ArchiveJson printer(archive);
    if (!printer.refusal().isEmpty())
        return {};
    JsonWriter json(pretty);
    printer.write(json);
    return json.take();
}

} // namespace tardigo
