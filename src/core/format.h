// Message formatting with the placeholders the text tables use: %d, %u, %s and %x with an
// optional width and precision ("%0.8x" gives eight upper-case hexadecimal digits), and %%.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace dravon {

class FormatArg {
 public:
  FormatArg(int v) : number_(v) {}
  FormatArg(unsigned v) : number_(v) {}
  FormatArg(long v) : number_(v) {}
  FormatArg(unsigned long v) : number_(static_cast<int64_t>(v)) {}
  FormatArg(long long v) : number_(v) {}
  FormatArg(unsigned long long v) : number_(static_cast<int64_t>(v)) {}
  FormatArg(std::string_view s) : text_(s), isText_(true) {}
  FormatArg(const std::string& s) : text_(s), isText_(true) {}
  FormatArg(const char* s) : text_(s), isText_(true) {}

  bool IsText() const { return isText_; }
  int64_t Number() const { return number_; }
  std::string_view Text() const { return text_; }

 private:
  int64_t number_ = 0;
  std::string_view text_;
  bool isText_ = false;
};

// Fills the placeholders of fmt in order. A placeholder without an argument, or with an
// argument of the other kind, is written as it stands, so a bad table entry shows up plainly.
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args);

// Item lists of the text tables are kept as one text with '\n' between the items.
std::vector<std::string> SplitItems(std::string_view items);

}  // namespace dravon
