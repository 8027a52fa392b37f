// Code page 936 (Simplified Chinese, GBK) <-> UTF-8. Files and the plug-in descriptor hold code
// page 936 bytes; the user interface holds UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace crt {

// Strict conversions: false (and `out` cleared) when the input is not valid in its encoding or a
// character has no equivalent in the target.
bool Cp936ToUtf8(std::string_view cp936, std::string& out);
bool Utf8ToCp936(std::string_view utf8, std::string& out);

// Lenient conversions for display and for saving what the user typed: a byte sequence that does
// not convert becomes '?' and the rest goes on.
std::string Cp936ToUtf8(std::string_view cp936);
std::string Utf8ToCp936(std::string_view utf8);

// Length in code page 936 bytes of a UTF-8 text (a character without equivalent counts as '?',
// one byte). Edit controls limit their text by this count.
std::size_t Cp936Length(std::string_view utf8);

// The longest prefix of a UTF-8 text, cut at a character boundary, whose code page 936 form
// fits in `maxBytes`.
std::string TruncateToCp936Bytes(std::string_view utf8, std::size_t maxBytes);

}  // namespace crt
