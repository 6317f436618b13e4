#include "core/numbers.h"

#include <algorithm>

namespace dravon {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<int64_t> ParseInteger(std::string_view text, IntegerWidth width) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  const bool wide = width == IntegerWidth::Bits64;
  uint64_t value = 0;
  if (hex) {
    int significant = 0;
    const int maxDigits = wide ? 16 : 8;
    for (; i < text.size(); ++i) {
      int d = HexDigit(text[i]);
      if (d < 0) return std::nullopt;
      if (value != 0 || d != 0) ++significant;
      if (significant > maxDigits) return std::nullopt;
      value = (value << 4) | static_cast<uint64_t>(d);
    }
    // A full-width hexadecimal number is a bit pattern: 0xFFFFFFFF is -1 in 32 bits.
    int64_t v = wide ? static_cast<int64_t>(value)
                     : static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(value)));
    return negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(v)) : v;
  }
  const uint64_t limit = wide ? (negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull)
                              : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    uint64_t d = static_cast<uint64_t>(c - '0');
    if (value > (limit - d) / 10) return std::nullopt;
    value = value * 10 + d;
  }
  return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

int64_t SpinBoxValue(std::string_view text, int64_t minimum, int64_t maximum) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  size_t end = text.size();
  while (end > i && text[end - 1] == ' ')
    --end;
  std::string_view digits = text.substr(i, end - i);
  bool whole = !digits.empty();
  size_t start = (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) ? 1 : 0;
  if (start == digits.size()) whole = false;
  for (size_t k = start; whole && k < digits.size(); ++k)
    whole = digits[k] >= '0' && digits[k] <= '9';
  if (!whole) return minimum;
  auto v = ParseInteger(digits, IntegerWidth::Bits64);
  if (!v) return digits[0] == '-' ? minimum : maximum;
  return std::clamp(*v, minimum, maximum);
}

}  // namespace dravon
