// Numbers typed by the operator: decimal, or hexadecimal after "0x", "0X", "x", "X" or "$".
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dravon {

enum class IntegerWidth : uint8_t { Bits32, Bits64 };

// Leading blanks and one sign are allowed; anything else that is not a digit, an empty text, or
// a value too large for the width fails. A 32-bit parse takes decimal up to 2147483647 and up
// to 8 significant hexadecimal digits (0xFFFFFFFF reads as -1); a 64-bit parse 16 digits.
std::optional<int64_t> ParseInteger(std::string_view text, IntegerWidth width);

// A spin box's value: text that is not a whole number reads as the minimum, and the value is
// kept inside the range.
int64_t SpinBoxValue(std::string_view text, int64_t minimum, int64_t maximum);

}  // namespace dravon
