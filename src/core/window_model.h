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
  bool checked = false;            // check boxes
  int index = -1;                  // radio groups, combo boxes, page controls
  int64_t number = 0;              // spin boxes
  std::string text;                // text fields, the panel line, combo box text
  std::vector<std::string> items;  // radio groups, combo boxes
  std::string caption;             // labels, buttons, check boxes, group boxes, menu items, tabs
  std::string hint;
  bool enabled = true;
  bool visible = true;
  // Spin boxes: range and step; text fields: the longest text (0 = no limit).
  int64_t minimum = 0;
  int64_t maximum = 0;
  int64_t step = 1;
  int maxLength = 0;
  // Geometry the engine decides (the progress bars and the list above them); -1 = the shell's.
  int top = -1;
  int height = -1;

  bool operator==(const Control&) const = default;
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
