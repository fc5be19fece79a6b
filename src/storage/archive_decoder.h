#pragma once

#include "storage/archive_codec.h"
#include "storage/archive_object_reader.h"
#include "storage/archived_class.h"
#include "storage/class_decoder_registry.h"
#include "storage/object_slot.h"
#include "storage/typed_stream_reader.h"

#include <vector>

namespace tardigo {

/// The class layer's reader: maps the objects of known classes straight from the primitives to
/// values, without a generic tree in between.
class ArchiveDecoder final : public ArchiveObjectReader {
public:
    ArchiveDecoder(QByteArrayView bytes, const ClassDecoderRegistry* registry);

    ArchiveDecodeResult decode();

    std::optional<qint64> versionForClassName(QByteArrayView name) const override;
    std::vector<Value> decodeGroup(QByteArrayView typeString) override;
    void fail(const QString& what) override;
    bool failed() const override { return _in.failed(); }

private:
    /// How the objects of one class of the archive are decoded.
    enum class Kind : qint8 { Unresolved = -1, Unknown = 0, Custom, Known };
    struct ClassKind {
        Kind kind = Kind::Unresolved;
        ArchivedClass known = ArchivedClass::Object;
        const ClassDecoder* decoder = nullptr;
    };

    /// One "@" value; `weight` receives the number of values it expands to.
    Value readObject(quint64* weight);
    Value readNewObject(qint32 object, qint64 at, quint64* weight);
    Value readContent(qint32 cls, qint64 at, quint64* weight);
    Value readKnown(ArchivedClass known, qint32 cls, qint64 at, quint64* weight);
    const ClassKind& kindOf(qint32 cls);

    bool expectGroup(QByteArrayView expected, qint32 cls);
    /// A group of objects and scalars, as decodeGroup describes.
    std::vector<Value> readGroupValues(QByteArrayView typeString, qint32 cls, quint64* weight);
    Number readScalar(char code);
    Value readString(qint32 cls, bool isMutable);
    Value readNumber(qint32 cls);
    Value readData(qint32 cls, bool isMutable);
    Value readArray(qint32 cls, bool isMutable, quint64* weight);
    Value readDictionary(qint32 cls, bool isMutable, quint64* weight);
    Value readCalendarDate(qint32 cls, quint64* weight);
    Value readTimeZone(qint32 cls, quint64* weight);
    Value readColor(qint32 cls, quint64* weight);
    QString className(qint32 cls) const;
    void addWeight(quint64* total, quint64 weight) const;

    TypedStreamReader _in;
    const ClassDecoderRegistry* _registry;
    std::vector<ObjectSlot> _slots; // by object index
    std::vector<quint32> _weights;  // by object index
    std::vector<ClassKind> _kinds;  // by class index
    quint64 _weightLimit;
    int _depth = 0;
    qint32 _customClass = -1; // the class a registered decoder is reading
    quint64 _customWeight = 0;
    QByteArray _rootClassName;
};

} // namespace tardigo
