#pragma once

#include "model/value.h"

#include <memory>
#include <variant>

namespace tardigo {

/// A decoded object kept for later references to it, in less room than a Value: an archive of a
/// large list holds millions of objects, and any of them may be referred to again.
class ObjectSlot {
public:
    /// An object still being decoded, until it is kept.
    ObjectSlot() = default;
    void keep(const Value& value);

    bool isPending() const { return std::holds_alternative<std::monostate>(_v); }
    Value value() const;
    /// The text when the object is a string.
    const QString* text() const;

private:
    struct MutableText {
        QString text;
    };
    struct PackedNumber {
        char type;
        quint64 bits;
    };
    std::variant<std::monostate, QString, MutableText, PackedNumber, Date, ArrayPtr, DictPtr,
                 std::shared_ptr<const Value>>
        _v;
};

} // namespace tardigo
