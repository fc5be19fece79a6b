#include "archive/class_decoder_registry.h"

namespace tardigo {

void ClassDecoderRegistry::add(const QByteArray& className, ClassDecoder decoder) {
    for (auto& [name, existing] : _decoders) {
        if (name == className) {
            existing = std::move(decoder);
            return;
        }
    }
    _decoders.emplace_back(className, std::move(decoder));
}

const ClassDecoder* ClassDecoderRegistry::find(QByteArrayView className) const {
    for (const auto& [name, decoder] : _decoders)
        if (name == className)
            return &decoder;
    return nullptr;
}

} // namespace tardigo
