#pragma once

// What every fuzz target shares: quiet logging, and its input as bytes.

#include <QByteArray>
#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Damaged input is the normal case here; logging it would only slow the search.
    QLoggingCategory::setFilterRules(QStringLiteral("tardigo.*=false"));
    return 0;
}

/// The fuzzer's input, not copied: it lives for the call.
inline QByteArray fuzzInput(const uint8_t* data, size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}
