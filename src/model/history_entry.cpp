#include "model/history_entry.h"

#include "model/keys.h"
#include "model/value.h"

#include <cstring>
#include <iterator>

namespace tardigo {

namespace {

// Where each group of digits of a timestamp starts, its digits and its bits in the packed word.
// Any digits are kept (a month "13" too), so that every timestamp of the stored form is written
// back exactly as it was read: 14 + 5 * 7 + 7 + 7 bits, and one bit for the sign of the offset.
struct DigitGroup {
    int at;
    int digits;
    int bits;
};
constexpr DigitGroup kGroups[] = {{0, 4, 14}, {5, 2, 7},  {8, 2, 7},  {11, 2, 7},
                                  {14, 2, 7}, {17, 2, 7}, {21, 2, 7}, {23, 2, 7}};
constexpr char kShape[] = "0000-00-00 00:00:00 +0000"; // '0' stands for any digit
constexpr int kSignAt = 20;
static_assert(sizeof kShape == HistoryEntry::kTimestampLength + 1);

std::optional<quint64> packTimestamp(const QString& text) {
    if (text.size() != HistoryEntry::kTimestampLength)
        return std::nullopt;
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    for (int i = 0; i < HistoryEntry::kTimestampLength; ++i) {
        const bool fits = kShape[i] == '0' ? p[i] >= u'0' && p[i] <= u'9'
                          : i == kSignAt   ? p[i] == u'+' || p[i] == u'-'
                                           : p[i] == char16_t(kShape[i]);
        if (!fits)
            return std::nullopt;
    }
    quint64 packed = p[kSignAt] == u'-' ? 1 : 0;
    for (const DigitGroup& group : kGroups) {
        int number = 0;
        for (int i = group.at; i < group.at + group.digits; ++i)
            number = number * 10 + (p[i] - u'0');
        packed = (packed << group.bits) | quint64(number);
    }
    return packed;
}

} // namespace

std::optional<HistoryEntry> HistoryEntry::make(const QString& timestamp, const QString& message,
                                               bool messageFirst) {
    const std::optional<quint64> stamp = packTimestamp(timestamp);
    if (!stamp)
        return std::nullopt;
    return HistoryEntry(*stamp, message, messageFirst);
}

std::optional<HistoryEntry> HistoryEntry::fromDict(const Dict& dict) {
    if (dict.isMutable || dict.entries.size() != 2)
        return std::nullopt;
    const bool messageFirst = dict.entries[0].first == key::message;
    const auto& [timestampKey, timestamp] = dict.entries[messageFirst ? 1 : 0];
    const auto& [messageKey, message] = dict.entries[messageFirst ? 0 : 1];
    if (timestampKey != key::timestamp || messageKey != key::message || !timestamp.asString() ||
        !message.asString() || timestamp.isMutable() || message.isMutable())
        return std::nullopt;
    return make(*timestamp.asString(), *message.asString(), messageFirst);
}

void HistoryEntry::timestampInto(char* out) const {
    std::memcpy(out, kShape, kTimestampLength);
    quint64 packed = _stamp;
    for (auto group = std::rbegin(kGroups); group != std::rend(kGroups); ++group) {
        int number = int(packed & ((quint64(1) << group->bits) - 1));
        packed >>= group->bits;
        for (int i = group->at + group->digits - 1; i >= group->at; --i, number /= 10)
            out[i] = char('0' + number % 10);
    }
    out[kSignAt] = packed ? '-' : '+';
}

QString HistoryEntry::timestamp() const {
    char text[kTimestampLength];
    timestampInto(text);
    return QString::fromLatin1(text, kTimestampLength);
}

DictPtr HistoryEntry::toDict() const {
    DictPtr dict = Dict::create(false);
    dict->entries.reserve(2);
    if (_messageFirst)
        dict->entries.emplace_back(key::message, _message);
    dict->entries.emplace_back(key::timestamp, timestamp());
    if (!_messageFirst)
        dict->entries.emplace_back(key::message, _message);
    return dict;
}

Value historyEntry(const QString& timestamp, const QString& message) {
    if (std::optional<HistoryEntry> entry = HistoryEntry::make(timestamp, message))
        return *std::move(entry);
    DictPtr dict = Dict::create(false);
    dict->set(key::timestamp, timestamp);
    dict->set(key::message, message);
    return dict;
}

} // namespace tardigo
