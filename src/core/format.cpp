#include "core/format.h"

#include <cstdio>

namespace dravon {

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args) {
  std::string out;
  out.reserve(fmt.size() + 16);
  auto next = args.begin();
  size_t i = 0;
  while (i < fmt.size()) {
    char c = fmt[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    // %[-][width][.precision]type
    size_t j = i + 1;
    bool left = false;
    if (j < fmt.size() && fmt[j] == '-') {
      left = true;
      ++j;
    }
    int width = 0;
    while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9' && width < 1000) {
      width = width * 10 + (fmt[j++] - '0');
    }
    int precision = -1;
    if (j < fmt.size() && fmt[j] == '.') {
      ++j;
      precision = 0;
      while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9' && precision < 1000) {
        precision = precision * 10 + (fmt[j++] - '0');
      }
    }
    if (j >= fmt.size()) {
      out.append(fmt.substr(i));
      break;
    }
    char type = fmt[j];
    bool wantsText = type == 's';
    bool known = type == 'd' || type == 'u' || type == 'x' || type == 'X' || wantsText;
    if (!known || next == args.end() || next->IsText() != wantsText) {
      out.append(fmt.substr(i, j + 1 - i));
      i = j + 1;
      continue;
    }
    std::string piece;
    if (wantsText) {
      piece = std::string(next->Text());
      if (precision >= 0 && static_cast<size_t>(precision) < piece.size()) piece.resize(precision);
    } else {
      char buf[64];
      int64_t v = next->Number();
      if (type == 'd') {
        std::snprintf(buf, sizeof buf, "%.*lld", precision < 0 ? 1 : precision,
                      static_cast<long long>(v));
      } else {
        // Negative values are shown as their 32-bit two's complement, as the operator expects.
        uint64_t u = v < 0 ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
        std::snprintf(buf, sizeof buf, type == 'u' ? "%.*llu" : "%.*llX",
                      precision < 0 ? 1 : precision, static_cast<unsigned long long>(u));
      }
      piece = buf;
    }
    ++next;
    if (static_cast<int>(piece.size()) < width) {
      std::string pad(width - piece.size(), ' ');
      piece = left ? piece + pad : pad + piece;
    }
    out += piece;
    i = j + 1;
  }
  return out;
}

std::vector<std::string> SplitItems(std::string_view items) {
  std::vector<std::string> out;
  while (true) {
    size_t cut = items.find('\n');
    out.emplace_back(items.substr(0, cut));
    if (cut == std::string_view::npos) break;
    items.remove_prefix(cut + 1);
  }
  return out;
}

}  // namespace dravon
