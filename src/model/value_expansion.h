#pragma once

#include "model/value.h"

namespace tardigo {

/// What writing a value out in full costs, in a format that cannot share (JSON, a property list),
/// against what it holds: the bytes of its texts and data counted each time they are met, and
/// counted once. A list whose items share one large note holds it once but writes it out for each.
struct ValueExpansion {
    quint64 expandedBytes = 0;
    quint64 distinctBytes = 0;

    static ValueExpansion of(const Value& root);

    /// The most the expanded bytes may come to, as the reader bounds the values an archive expands
    /// to: twice what the value holds, and a mebibyte.
    quint64 limit() const { return 2 * distinctBytes + (quint64(1) << 20); }
    bool isWithinLimit() const { return expandedBytes <= limit(); }
    /// Why writing it out is refused, in words, or an empty string when it is within the limit.
    QString refusal() const;

    ValueExpansion& operator+=(const ValueExpansion& other) {
        expandedBytes += other.expandedBytes;
        distinctBytes += other.distinctBytes;
        return *this;
    }
};

} // namespace tardigo
