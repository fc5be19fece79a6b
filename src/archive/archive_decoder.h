#pragma once

#include "archive/archive_codec.h"
#include "archive/archive_object_reader.h"
#include "archive/archived_class.h"
#include "archive/class_decoder_registry.h"
#include "archive/object_slot.h"
#include "archive/typed_stream_reader.h"

#include <array>
#include <utility>
#include <vector>

namespace tardigo {

/// The class layer's reader: maps the objects of known classes straight from the primitives to
/// values, without a generic tree in between.
class ArchiveDecoder final : public ArchiveObjectReader {
public:
    /// Texts of up to this many UTF-8 bytes that are equal share one buffer, as history messages and
    /// categories repeat all through a list, whether or not they were one object in the archive.
    static constexpr qsizetype kShortTextLength = 24;

    ArchiveDecoder(ArchiveSource source, const ClassDecoderRegistry* registry);

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

    /// Where an object stands: only the dictionaries in an item's history are kept as compact
    /// history entries, so that no item node or other dictionary ever is one.
    enum class Place : quint8 { Any, History, HistoryEntry };
    /// Reads one "@" value into `out`; `weight` receives the number of values it expands to.
    void readObject(Value& out, quint64* weight, Place place = Place::Any);
    void readNewObject(qint32 object, qint64 at, Value& out, quint64* weight, Place place);
    /// A dictionary key: most are references to a string read before, taken without a Value.
    bool readKey(QString& out, quint64* weight);
    /// The content of a new object; answers how to read it again when it is a string, a number or
    /// a date, and a pending slot otherwise.
    ObjectSlot readContent(qint32 cls, qint64 at, Value& out, quint64* weight);
    ObjectSlot readKnown(ArchivedClass known, qint32 cls, qint64 at, Value& out, quint64* weight);
    /// Keeps a decoded value that cannot be read again for later references.
    ObjectSlot hold(const Value& value, quint64 weight);
    /// The value of an object read before.
    Value valueOf(ObjectSlot& slot, quint64* weight);
    /// Reads a number or a date again, once: later references find it held, as a list may refer
    /// to one number thousands of times.
    Value readAgainAndHold(ObjectSlot& slot);
    /// The text of a string object read before, or null for other objects.
    const QString* textOf(ObjectSlot& slot);
    /// Reads a primitive again at an earlier offset, and comes back.
    template <typename Read> auto readAgainAt(quint32 offset, Read read);
    const ClassKind& kindOf(qint32 cls);

    /// Reads a group's type string and checks it; one-letter types are remembered by table index.
    bool expectGroup(char code, qint32 cls);
    bool expectGroup(QByteArrayView expected, qint32 cls);
    bool checkGroupType(qint32 type, qint64 at, QByteArrayView expected, qint32 cls);
    /// A group of objects and scalars, as decodeGroup describes.
    std::vector<Value> readGroupValues(QByteArrayView typeString, qint32 cls, quint64* weight);
    Number readScalar(char code);
    /// A string's length and bytes, as text; short texts are shared.
    QString readText();
    ObjectSlot readString(qint32 cls, bool isMutable, Value& out);
    ObjectSlot readNumber(qint32 cls, Value& out);
    void readData(qint32 cls, bool isMutable, Value& out);
    void readArray(qint32 cls, bool isMutable, Value& out, quint64* weight);
    void readDictionary(qint32 cls, bool isMutable, Value& out, quint64* weight);
    /// Lets go of the texts held while reading a history entry that became compact, but for its
    /// message; the slots created since slotsBefore read them again when needed.
    void releaseEntryTexts(const HistoryEntry& entry, size_t slotsBefore, size_t textsBefore,
                           size_t entryTextsBefore);
    void readCalendarDate(qint32 cls, Value& out, quint64* weight);
    void readTimeZone(qint32 cls, Value& out, quint64* weight);
    void readColor(qint32 cls, Value& out, quint64* weight);
    enum class Problem {
        ContainsItself,
        KeyNotString,
        NoClass,
        TooDeep,
        TooExpanded,
        UnknownClass,
        PlainObject,
        NilElement,
        NilValue
    };
    [[gnu::cold, gnu::noinline]] void report(Problem problem, qint64 at, qint32 cls = -1);
    QString className(qint32 cls) const;
    void addWeight(quint64* total, quint64 weight) const;

    TypedStreamReader _in;
    const ClassDecoderRegistry* _registry;
    std::vector<ObjectSlot> _slots; // by object index
    std::vector<QString> _texts;    // strings referred to again
    // Held values with the number of values each expands to.
    std::vector<std::pair<ArrayPtr, quint32>> _arrays;
    std::vector<std::pair<DictPtr, quint32>> _dicts;
    std::vector<std::pair<Value, quint32>> _others;
    std::vector<Value> _historyEntries; // all of the same weight, a dictionary of two strings
    // History messages and categories repeat all through a list; short texts share one copy.
    struct ShortText {
        std::array<char, kShortTextLength> utf8; // a copy, as the archive's bytes move on
        quint8 length = 0;                       // 0 for a free place
        QString text;
    };
    std::vector<ShortText> _shortTexts; // open addressing, linear probing; a power of two places
    size_t _shortTextCount = 0;
    std::vector<ClassKind> _kinds; // by class index
    std::vector<char> _codes;      // by string-table index: the one-letter type it holds, once seen
    quint64 _weightLimit;
    int _depth = 0;
    Place _place = Place::Any;    // of the object being read, for its array or dictionary
    bool _inHistoryEntry = false; // reading the values of a dictionary in a history
    // The texts held while reading a history entry: their place in _texts, and their offset.
    struct EntryText {
        quint32 index;
        quint32 offset;
    };
    std::vector<EntryText> _entryTexts;
    qint32 _customClass = -1; // the class a registered decoder is reading
    quint64 _customWeight = 0;
    QByteArray _rootClassName;
};

} // namespace tardigo
