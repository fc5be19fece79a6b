#pragma once

#include <QtGlobal>

namespace tardigo {

/// How a decoded object is found again when the archive refers back to it, in 8 bytes: an archive
/// of a large list holds millions of objects and refers back to few of them. Strings, numbers and
/// dates are read again at their offset in the archive, once: then they are kept (a string as
/// text), as keys are referred to over and over, and one number may be as well; anything else is
/// held in a table of the decoder.
struct ObjectSlot {
    enum class Kind : quint8 {
        Pending, ///< still being decoded
        String,  ///< payload: offset of the length, read again on demand
        MutableString,
        Text, ///< payload: index of the decoded text
        MutableText,
        Number,       ///< payload: offset of the scalar, whose type is `code`
        Date,         ///< payload: offset of the seconds
        Array,        ///< payload: index among the held arrays
        Dict,         ///< payload: index among the held dictionaries
        HistoryEntry, ///< payload: index among the held history entries
        Other         ///< payload: index among the other held values
    };

    Kind kind = Kind::Pending;
    char code = 0;
    quint32 payload = 0; // archives are smaller than 2 GiB, so offsets and indexes fit

    bool isPending() const { return kind == Kind::Pending; }
};

static_assert(sizeof(ObjectSlot) == 8);

} // namespace tardigo
