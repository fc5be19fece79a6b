#pragma once

#include <QtGlobal>

namespace tardigo {

/// The single-byte code pages that rich text from the platform uses for its \'hh escapes.
enum class CodePage { Windows1252, MacRoman };

/// The character a byte stands for in the code page; ASCII bytes stand for themselves.
char16_t decodeCodePageByte(CodePage page, uchar byte);

/// The Windows-1252 byte for a character, or 0 when that code page has none.
uchar windows1252Byte(char16_t c);

} // namespace tardigo
