#pragma once

#include "archive/archive_object_reader.h"

#include <QByteArray>

#include <functional>
#include <utility>
#include <vector>

namespace tardigo {

/// Decodes the groups of one object of a class into a value.
using ClassDecoder = std::function<Value(ArchiveObjectReader&)>;

/// Decoders for archived classes beyond the platform classes the class layer knows.
class ClassDecoderRegistry {
public:
    void add(const QByteArray& className, ClassDecoder decoder);
    const ClassDecoder* find(QByteArrayView className) const;

private:
    std::vector<std::pair<QByteArray, ClassDecoder>> _decoders;
};

} // namespace tardigo
