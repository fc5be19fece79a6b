#pragma once

#include <QByteArrayView>

#include <optional>

namespace tardigo {

/// The platform classes the class layer maps to values, with the chains the platform writes.
enum class ArchivedClass : quint8 {
    Object,
    String,
    MutableString,
    Value,
    Number,
    Data,
    MutableData,
    Array,
    MutableArray,
    Dictionary,
    MutableDictionary,
    Date,
    CalendarDate,
    TimeZone,
    Color,
    Null,
};
constexpr int kArchivedClassCount = int(ArchivedClass::Null) + 1;

struct ArchivedClassInfo {
    const char* name;
    qint64 version;
    std::optional<ArchivedClass> superclass;
};

const ArchivedClassInfo& archivedClassInfo(ArchivedClass cls);
std::optional<ArchivedClass> archivedClassNamed(QByteArrayView name);

} // namespace tardigo
