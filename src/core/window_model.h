// The main window's controls as data: the engine reads and writes them by name; the Qt shell
// mirrors operator input into them and repaints its widgets from them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dravon {

struct Control {
  bool checked = false;             // check boxes, menu items
  int index = -1;                   // radio groups, combo boxes, pages
  int64_t number = 0;               // spin boxes, progress bars
  std::string text;                 // text fields, labels, captions
  std::vector<std::string> items;   // radio groups, combo boxes
  bool enabled = true;
  bool visible = true;
};

class WindowModel {
 public:
  // The control of that name; created with its defaults on first use.
  Control& operator[](std::string_view name);
  // The control of that name, or nullptr when nothing has used it yet.
  const Control* Find(std::string_view name) const;
  const std::map<std::string, Control, std::less<>>& Controls() const { return controls_; }

  std::string caption;
  std::array<std::string, 3> statusPanels;

 private:
  std::map<std::string, Control, std::less<>> controls_;
};

}  // namespace dravon
