// Text conversions. The program keeps text as UTF-8 in std::string; the W
// functions of Win32 want UTF-16; device text fields, INI profiles, CSV files
// and the tick mark are bytes of code page 936 (GBK), whatever the PC's own
// ANSI code page is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// Ill-formed input (a stray continuation byte, a cut sequence, an encoded
// surrogate, an overlong form) becomes U+FFFD, one per bad byte.
std::u16string Utf8ToUtf16(std::string_view text);

// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Bytes that are no code page 936 text (a lead byte cut by a field's end, a
// lone 0x80 or 0xFF, a pair that maps to nothing) stand for themselves in
// the program's text: byte b is the private-use character U+F700 + b, which
// goes back to byte b. So a device's text field, a profile or a CSV file
// comes back byte for byte when nobody edited it.
constexpr char32_t GbkByteEscapeBase = 0xF700;
constexpr bool IsGbkByteEscape(char32_t cp) {
  return cp >= GbkByteEscapeBase + 0x80 && cp <= GbkByteEscapeBase + 0xFF;
}

// UTF-8 to code page 936 bytes. A byte escape becomes its byte; any other
// character that code page 936 cannot hold (and any ill-formed UTF-8 byte)
// becomes one '?'. The tick "√" is A1 CC.
std::string Utf8ToGbk(std::string_view utf8);

// Code page 936 bytes to UTF-8. A character is decoded when it encodes back
// to the same bytes; every other byte becomes its byte escape: a byte that
// starts no valid character, a lead byte cut by the end of the text, and
// both bytes of a well-formed pair that maps to nothing. A lead byte
// followed by a byte that cannot trail takes only itself, so the following
// ASCII text survives.
std::string GbkToUtf8(std::string_view gbk);

// The longest prefix of gbk of at most maxBytes bytes that does not split a
// double-byte character.
std::string GbkTruncate(std::string_view gbk, size_t maxBytes);

// True when byte b starts a double-byte character of code page 936.
constexpr bool IsGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

namespace detail {
// Platform back end: the code page 936 mapping as the platform knows it.
// singles[b - 0x80] for the single bytes 0x80..0xFF, pairs[(lead - 0x81) *
// 191 + (trail - 0x40)] for lead 0x81..0xFE and trail 0x40..0xFE; 0 where
// nothing maps. Called once; the conversions above share the result.
void LoadCp936(char16_t* singles, char16_t* pairs);
}  // namespace detail

}  // namespace kv
