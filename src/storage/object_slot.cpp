#include "storage/object_slot.h"

#include <cstring>

namespace tardigo {

void ObjectSlot::keep(const Value& value) {
    switch (value.type()) {
    case Value::Type::String: {
        const String* s = value.asStringValue();
        if (s->isMutable)
            _v.emplace<MutableText>(MutableText{s->text});
        else
            _v.emplace<QString>(s->text);
        break;
    }
    case Value::Type::Number: {
        const Number* n = value.asNumber();
        PackedNumber packed{n->type, 0};
        if (n->isReal())
            std::memcpy(&packed.bits, &n->real, sizeof packed.bits);
        else
            packed.bits = n->isUnsigned() ? n->unsignedInteger : quint64(n->integer);
        _v.emplace<PackedNumber>(packed);
        break;
    }
    case Value::Type::Date:
        _v.emplace<Date>(*value.asDate());
        break;
    case Value::Type::Array:
        _v.emplace<ArrayPtr>(value.asArray());
        break;
    case Value::Type::Dict:
        _v.emplace<DictPtr>(value.asDict());
        break;
    default:
        _v.emplace<std::shared_ptr<const Value>>(std::make_shared<const Value>(value));
    }
}

Value ObjectSlot::value() const {
    switch (_v.index()) {
    case 1:
        return Value(std::get<QString>(_v));
    case 2:
        return Value(std::get<MutableText>(_v).text, true);
    case 3: {
        const PackedNumber& packed = std::get<PackedNumber>(_v);
        double real;
        std::memcpy(&real, &packed.bits, sizeof real);
        return Number::ofType(packed.type, qint64(packed.bits), packed.bits, real);
    }
    case 4:
        return std::get<Date>(_v);
    case 5:
        return std::get<ArrayPtr>(_v);
    case 6:
        return std::get<DictPtr>(_v);
    case 7:
        return *std::get<std::shared_ptr<const Value>>(_v);
    default:
        return {};
    }
}

const QString* ObjectSlot::text() const {
    if (const auto* text = std::get_if<QString>(&_v))
        return text;
    if (const auto* mutableText = std::get_if<MutableText>(&_v))
        return &mutableText->text;
    return nullptr;
}

} // namespace tardigo
