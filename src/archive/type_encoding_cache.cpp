#include "archive/type_encoding_cache.h"

namespace tardigo {

const std::vector<TypeEncoding>& TypeEncodingCache::typesOf(const QByteArray& typeString) {
    auto it = _types.find(typeString);
    if (it == _types.end()) {
        QString unused;
        it = _types.insert(typeString,
                           parseTypeEncodings(typeString, &unused).value_or(std::vector<TypeEncoding>()));
    }
    return *it;
}

} // namespace tardigo
