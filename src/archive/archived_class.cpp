#include "archive/archived_class.h"

namespace tardigo {

namespace {

using C = ArchivedClass;

// In the order of the enumeration; versions are the ones the platform writes.
constexpr ArchivedClassInfo kClasses[kArchivedClassCount] = {
    {"NSObject", 0, std::nullopt},
    {"NSString", 1, C::Object},
    {"NSMutableString", 1, C::String},
    {"NSValue", 0, C::Object},
    {"NSNumber", 0, C::Value},
    {"NSData", 0, C::Object},
    {"NSMutableData", 0, C::Data},
    {"NSArray", 0, C::Object},
    {"NSMutableArray", 0, C::Array},
    {"NSDictionary", 0, C::Object},
    {"NSMutableDictionary", 0, C::Dictionary},
    {"NSDate", 0, C::Object},
    {"NSCalendarDate", 0, C::Date},
    {"NSTimeZone", 0, C::Object},
    {"NSColor", 0, C::Object},
    {"NSNull", 0, C::Object},
};

} // namespace

const ArchivedClassInfo& archivedClassInfo(ArchivedClass cls) {
    return kClasses[int(cls)];
}

std::optional<ArchivedClass> archivedClassNamed(QByteArrayView name) {
    for (int i = 0; i < kArchivedClassCount; ++i)
        if (name == QByteArrayView(kClasses[i].name))
            return ArchivedClass(i);
    return std::nullopt;
}

} // namespace tardigo
