#include "merge/item_fingerprint.h"

#include <QCryptographicHash>
#include <QHashFunctions>
#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <string>

namespace tardigo {

namespace {

// Text, numbers, dates and data are written as the sync has always hashed them; the other kinds add
// their content after their kind, so that a history or a colour that changes counts. What an item
// says is gathered first and hashed at once: one call per item, not one per value.
class LastingFingerprint {
public:
    LastingFingerprint() { bytes().clear(); }

    void addNumber(double number) { bytes().append(reinterpret_cast<const char*>(&number), sizeof number); }
    void addText(const QString& text) {
        addNumber(double(text.size()));
        bytes().append(reinterpret_cast<const char*>(text.utf16()), size_t(text.size()) * 2);
    }
    void addValue(const Value& value);
    void addEntries(const Dict& dict, const QStringList& leftOut);
    /// SHA-1, which the sync's state keeps from run to run.
    QByteArray result() const {
        return QCryptographicHash::hash(QByteArrayView(bytes().data(), qsizetype(bytes().size())),
                                        QCryptographicHash::Sha1);
    }

private:
    void addColor(const Color& color);
    // Kept from item to item so that its room is allocated once; one a thread, as the sync
    // fingerprints on its own.
    static std::string& bytes() {
        thread_local std::string kept;
        return kept;
    }
};

void LastingFingerprint::addEntries(const Dict& dict, const QStringList& leftOut) {
    QVarLengthArray<const std::pair<QString, Value>*, 32> entries;
    for (const auto& entry : dict.entries)
        if (!leftOut.contains(entry.first))
            entries.push_back(&entry);
    std::sort(entries.begin(), entries.end(),
              [](const auto* a, const auto* b) { return a->first < b->first; });
    addNumber(double(entries.size()));
    for (const auto* entry : entries) {
        addText(entry->first);
        addValue(entry->second);
    }
}

void LastingFingerprint::addColor(const Color& color) {
    addNumber(color.space);
    addNumber(double(color.components.size()));
    for (float component : color.components)
        addNumber(component);
    addText(color.catalog);
    addText(color.name);
    addNumber(color.fallback ? 1 : 0);
    if (color.fallback)
        addColor(*color.fallback);
}

void LastingFingerprint::addValue(const Value& value) {
    addNumber(double(int(value.type())));
    if (const QString* text = value.asString()) {
        addText(*text);
    } else if (const Number* number = value.asNumber()) {
        addNumber(number->toDouble());
    } else if (const Date* date = value.asDate()) {
        addNumber(date->seconds);
    } else if (const QByteArray* data = value.asData()) {
        addNumber(double(data->size()));
        bytes().append(data->constData(), size_t(data->size()));
    } else if (const HistoryEntry* entry = value.asHistoryEntry()) {
        // Read in its compact form: a list holds millions of entries.
        char stamp[HistoryEntry::kTimestampLength];
        entry->timestampInto(stamp);
        bytes().append(stamp, sizeof stamp);
        addText(entry->message());
    } else if (const ArrayPtr array = value.asArray()) {
        addNumber(double(array->items.size()));
        for (const Value& element : array->items)
            addValue(element);
    } else if (const DictPtr dict = value.asDict()) {
        addEntries(*dict, {});
    } else if (const Color* color = value.asColor()) {
        addColor(*color);
    } else if (const CalendarDate* calendarDate = value.asCalendarDate()) {
        addNumber(calendarDate->seconds);
        addText(calendarDate->timeZone ? calendarDate->timeZone->name : QString());
        addText(calendarDate->format.value_or(QString()));
    } else if (const TimeZone* zone = value.asTimeZone()) {
        addText(zone->name);
    }
}

// The fingerprint of a run: each value hashed where it lies, without a copy, in two lanes of
// differently seeded hashes; a dictionary's entries are added up, so that their order does not
// count and nothing is sorted. A list's base is taken at every save, so this must stay quick.
struct Lanes {
    quint64 a = 0;
    quint64 b = 0;
};

constexpr quint64 kSeedA = 0x9e3779b97f4a7c15u;
constexpr quint64 kSeedB = 0xc2b2ae3d27d4eb4fu;

quint64 mixed(quint64 x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9u;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

Lanes bytesHash(const void* data, size_t size, quint64 kind) {
    return {mixed(quint64(qHashBits(data, size, kSeedA)) ^ kind),
            mixed(quint64(qHashBits(data, size, kSeedB)) + kind)};
}

Lanes textHash(const QString& text, quint64 kind) {
    return bytesHash(text.utf16(), size_t(text.size()) * 2, kind);
}

Lanes numberHash(double number, quint64 kind) {
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    return {mixed(bits ^ kSeedA ^ kind), mixed(bits + kSeedB + kind)};
}

/// `next` after `sequence`: the order counts.
Lanes then(Lanes sequence, Lanes next) {
    return {mixed(sequence.a * 31 + next.a), mixed(sequence.b * 37 + next.b)};
}

Lanes entriesHash(const Dict& dict, const QStringList& leftOut);

Lanes valueHash(const Value& value) {
    // Each kind its own tag, so that a text and data of the same bytes differ.
    if (const QString* text = value.asString())
        return textHash(*text, 1);
    if (const Number* number = value.asNumber())
        return numberHash(number->toDouble(), 2);
    if (const Date* date = value.asDate())
        return numberHash(date->seconds, 3);
    if (const QByteArray* data = value.asData())
        return bytesHash(data->constData(), size_t(data->size()), 4);
    if (const HistoryEntry* entry = value.asHistoryEntry())
        return then(numberHash(double(entry->packedTimestamp()), 5), textHash(entry->message(), 5));
    if (const ArrayPtr array = value.asArray()) {
        Lanes sequence = numberHash(double(array->items.size()), 6);
        for (const Value& element : array->items)
            sequence = then(sequence, valueHash(element));
        return sequence;
    }
    if (const DictPtr dict = value.asDict())
        return then(numberHash(0, 7), entriesHash(*dict, {}));
    // The rare kinds, written out as the lasting fingerprint writes them.
    LastingFingerprint written;
    written.addValue(value);
    const QByteArray bytes = written.result();
    return bytesHash(bytes.constData(), size_t(bytes.size()), 8);
}

Lanes entriesHash(const Dict& dict, const QStringList& leftOut) {
    Lanes sum;
    for (const auto& [key, value] : dict.entries) {
        if (leftOut.contains(key))
            continue;
        const Lanes entry = then(textHash(key, 0), valueHash(value));
        sum.a += entry.a;
        sum.b += entry.b;
    }
    return sum;
}

} // namespace

QByteArray itemFingerprint(const Dict& item, const QStringList& keys, const QString& parentUid,
                           std::optional<qint64> order) {
    LastingFingerprint fingerprint;
    for (const QString& key : keys) {
        if (const Value* value = item.find(key)) {
            fingerprint.addText(key);
            fingerprint.addValue(*value);
        }
    }
    fingerprint.addText(parentUid);
    fingerprint.addNumber(order ? double(*order) : -1.0);
    return fingerprint.result();
}

ContentFingerprint contentFingerprint(const Dict& item, const QStringList& leftOut) {
    const Lanes lanes = entriesHash(item, leftOut);
    return {{lanes.a, lanes.b}};
}

} // namespace tardigo
