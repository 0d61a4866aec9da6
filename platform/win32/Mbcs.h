// Code page 932 (Shift_JIS) byte classes and conversion at the platform's edges.
// Every double-byte rule of the program and the platform lives here.
#pragma once

#include <string>
#include <string_view>

namespace mbcs {

// Lead bytes 0x81-0x9F and 0xE0-0xFC; trail bytes 0x40-0x7E and 0x80-0xFC.
inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
inline bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Length in bytes of the character that starts at s[i] (1 or 2): a lead byte
// followed by a valid trail byte is one double-byte character.
size_t CharLen(std::string_view s, size_t i);

// The byte index of the first / last occurrence of the single-byte character
// ch in s, stepping over double-byte characters whole; npos when absent.
size_t FindChar(std::string_view s, char ch, size_t from = 0);
size_t FindLastChar(std::string_view s, char ch);

// True when the byte at index i is the second byte of a double-byte character
// (found by walking from the start of s).
bool IsTrailAt(std::string_view s, size_t i);

// Conversion at the edges. Bytes that cannot be converted become '?' in the
// result; `ok` (when given) tells whether every byte converted.
std::string Cp932ToUtf8(std::string_view cp932, bool* ok = nullptr);
std::string Utf8ToCp932(std::string_view utf8, bool* ok = nullptr);

}  // namespace mbcs
