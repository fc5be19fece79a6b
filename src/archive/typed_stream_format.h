#pragma once

#include <QtGlobal>

namespace tardigo::typedstream {

// Head bytes of the typed-stream encoding.
constexpr quint8 kInt16 = 0x81;
constexpr quint8 kInt32 = 0x82;
constexpr quint8 kReal = 0x83;
constexpr quint8 kNew = 0x84;
constexpr quint8 kNil = 0x85;
constexpr quint8 kEndOfObject = 0x86;
constexpr quint8 kInt64 = 0x87;

/// Small integers are written as their own byte from -110 up; lower bytes are tags.
constexpr qint64 kSmallestInlineInteger = -110;
/// Table entry k is referred to as the integer k - 110.
constexpr qint64 kReferenceBase = 110;

constexpr quint8 kStreamerVersion = 4;
constexpr quint8 kNeXTStreamerVersion = 3;
constexpr qint64 kSystemVersion = 1000;
constexpr char kLittleEndianSignature[] = "streamtyped";
constexpr char kBigEndianSignature[] = "typedstream";
constexpr int kSignatureLength = 11;

} // namespace tardigo::typedstream
