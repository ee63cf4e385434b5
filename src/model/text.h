// Small UTF-16 text helpers shared by the model: fixed-array copies that
// never run past their bounds, trimming, case-insensitive comparison.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// UTF-8 <-> UTF-16 (invalid sequences become U+FFFD).
std::u16string Utf8ToU16(std::string_view utf8);
std::string U16ToUtf8(std::u16string_view text);

// Reads a NUL-terminated string out of a fixed array of `capacity` units;
// stops at the array's end when no NUL is there.
std::u16string FromFixed(const char16_t* array, std::size_t capacity);
template <std::size_t N>
std::u16string FromFixed(const char16_t (&array)[N]) {
  return FromFixed(array, N);
}

// Copies at most capacity - 1 units and always terminates; the rest of the
// array is zero-filled so records stay deterministic.
void ToFixed(char16_t* array, std::size_t capacity, std::u16string_view text);
template <std::size_t N>
void ToFixed(char16_t (&array)[N], std::u16string_view text) {
  ToFixed(array, N, text);
}

// White space as the C library's iswspace sees it in the C locale.
bool IsSpace(char16_t c);
std::u16string_view Trim(std::u16string_view text);

// Simple one-to-one case folding (ASCII, Latin-1, Greek, Cyrillic), the way
// the platform's case-insensitive string comparison treats names.
char16_t FoldCase(char16_t c);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
// ASCII-only folding: how the private-profile functions match names.
bool EqualsNoCaseAscii(std::u16string_view a, std::u16string_view b);

std::u16string ToU16Decimal(std::int64_t value);

}  // namespace vantrel
