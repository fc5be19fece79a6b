#include "archive/legacy_classes.h"

#include "archive/archive_codec.h"
#include "archive/class_decoder_registry.h"
#include "model/core_log.h"

#include <QCoreApplication>

#include <limits>
#include <unordered_map>

namespace tardigo {

namespace {

constexpr QByteArrayView kToDoItemClass = "ToDoItem";
const QString kEnvelopeVersionMissing =
    QStringLiteral("failed to decode version for TardigoDocumentEnvelope");
const QString kToDoItemVersionMissing = QStringLiteral("version of ToDoItem not found");
// Versions 1 and below carried three more objects after the content, which nothing reads.
constexpr int kDroppedEnvelopeObjects = 3;

/// The version the archive records for the class. The 32-bit platform that wrote 1.x lists
/// answered NSNotFound (INT32_MAX) for a class it had no version for, and read versions unsigned.
std::optional<quint64> recordedVersion(const ArchiveObjectReader& in, QByteArrayView className) {
    const std::optional<qint64> version = in.versionForClassName(className);
    if (!version || *version == std::numeric_limits<qint32>::max())
        return std::nullopt;
    return quint64(*version);
}

Value readObject(ArchiveObjectReader& in) {
    std::vector<Value> values = in.decodeGroup("@");
    return values.empty() ? Value() : std::move(values.front());
}

Number readScalar(ArchiveObjectReader& in, QByteArrayView type) {
    const std::vector<Value> values = in.decodeGroup(type);
    const Number* number = values.empty() ? nullptr : values.front().asNumber();
    return number ? *number : Number();
}

/// A field of the expected kind; anything else reads as absent.
template <typename T> std::optional<T> fieldOf(const T* typed, const Value& raw, const char* field) {
    if (typed)
        return *typed;
    if (!raw.isNil())
        qCWarning(lcArchive, "a ToDoItem holds a value of another kind as its %s; it is left out", field);
    return std::nullopt;
}

/// Decodes the two classes of one archive. Each decoded object stands in the value tree as an
/// empty dictionary of its own, by which it is found again.
class LegacyDecoder {
public:
    LegacyDecoder() {
        _registry.add(kTardigoDocumentEnvelopeClass.toByteArray(),
                      [this](ArchiveObjectReader& in) { return decodeEnvelope(in); });
        _registry.add(kToDoItemClass.toByteArray(),
                      [this](ArchiveObjectReader& in) { return decodeToDoItem(in); });
    }
    LegacyDecoder(const LegacyDecoder&) = delete;
    LegacyDecoder& operator=(const LegacyDecoder&) = delete;

    LegacyDecodeResult decode(const QByteArray& bytes) {
        const ArchiveDecodeResult decoded = decodeArchive(bytes, _registry);
        LegacyDecodeResult result;
        if (!decoded.ok()) {
            result.error = _refusal.value_or(decoded.error);
            result.errorOffset = decoded.errorOffset;
            return result;
        }
        result.envelope = find(_envelopes, decoded.root);
        if (!result.envelope)
            result.error =
                QStringLiteral("its root object is of the class “%1”, not a TardigoDocumentEnvelope")
                    .arg(QString::fromUtf8(decoded.rootClassName));
        return result;
    }

private:
    template <typename T> struct Decoded {
        DictPtr token;
        std::shared_ptr<const T> object;
    };
    template <typename T> using Table = std::unordered_map<const Dict*, Decoded<T>>;

    template <typename T> static Value remember(Table<T>& table, std::shared_ptr<const T> object) {
        DictPtr token = Dict::create(false);
        table.emplace(token.get(), Decoded<T>{token, std::move(object)});
        return token;
    }

    template <typename T> static std::shared_ptr<const T> find(const Table<T>& table, const Value& value) {
        const DictPtr token = value.asDict();
        const auto it = token ? table.find(token.get()) : table.end();
        return it == table.end() ? nullptr : it->second.object;
    }

    /// Stops the decoding with a message that is shown as it is.
    Value refuse(ArchiveObjectReader& in, const QString& message) {
        if (!_refusal)
            _refusal = message;
        in.fail(message);
        return {};
    }

    Value decodeEnvelope(ArchiveObjectReader& in) {
        const std::optional<quint64> version = recordedVersion(in, kTardigoDocumentEnvelopeClass);
        if (!version)
            return refuse(in, kEnvelopeVersionMissing);
        if (*version > quint64(kDocumentEnvelopeVersion))
            return refuse(in, QCoreApplication::translate(
                                  "LegacyClasses", "This list was saved by a newer version of Tardigo, which "
                                                   "this version cannot read. Please install the current "
                                                   "version of Tardigo and open it there."));
        const Value content = readObject(in);
        if (*version <= 1)
            for (int i = 0; i < kDroppedEnvelopeObjects; ++i)
                readObject(in);
        if (in.failed())
            return {};
        auto envelope = std::make_shared<TardigoDocumentEnvelope>();
        if (const ArrayPtr items = content.asArray()) {
            envelope->content.reserve(items->items.size());
            for (const Value& item : items->items)
                envelope->content.push_back(find(_items, item));
        } else if (!content.isNil()) {
            in.fail(QStringLiteral("it holds a TardigoDocumentEnvelope whose content is not an array"));
            return {};
        }
        return remember<TardigoDocumentEnvelope>(_envelopes, std::move(envelope));
    }

    Value decodeToDoItem(ArchiveObjectReader& in) {
        const std::optional<quint64> version = recordedVersion(in, kToDoItemClass);
        if (!version)
            return refuse(in, kToDoItemVersionMissing);
        const Value name = readObject(in);
        const Value dateCreated = readObject(in);
        const Value dateDue = readObject(in);
        const Value notes = readObject(in);
        const Value color = readObject(in);
        auto item = std::make_shared<ToDoItem>();
        item->completed = float(readScalar(in, "f").toDouble());
        if (*version >= 1)
            item->periodicStatus = qint32(readScalar(in, "i").toInt64());
        const Value dateCompleted = *version >= 3 ? readObject(in) : Value();
        if (in.failed())
            return {};
        item->name = fieldOf(name.asString(), name, "name");
        item->dateCreated = fieldOf(dateCreated.asCalendarDate(), dateCreated, "dateCreated");
        item->dateDue = fieldOf(dateDue.asCalendarDate(), dateDue, "dateDue");
        item->notes = fieldOf(notes.asData() ? &notes : nullptr, notes, "notes");
        item->color = fieldOf(color.asColor(), color, "color");
        item->dateCompleted = fieldOf(dateCompleted.asCalendarDate(), dateCompleted, "dateCompleted");
        return remember<ToDoItem>(_items, std::move(item));
    }

    ClassDecoderRegistry _registry;
    Table<ToDoItem> _items;
    Table<TardigoDocumentEnvelope> _envelopes;
    std::optional<QString> _refusal;
};

} // namespace

LegacyDecodeResult decodeLegacyArchive(const QByteArray& bytes) {
    return LegacyDecoder().decode(bytes);
}

} // namespace tardigo
