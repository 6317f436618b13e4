// The information list: the running report of everything the program does, and at exit the log.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dravon {

class InfoList {
 public:
  void Append(std::string line) { lines_.push_back(std::move(line)); }
  void Clear() {
    lines_.clear();
    ++clearCount_;
  }
  const std::vector<std::string>& Lines() const { return lines_; }
  // Grows on every Clear, so a view that appends incrementally knows when to start over.
  uint64_t ClearCount() const { return clearCount_; }

 private:
  std::vector<std::string> lines_;
  uint64_t clearCount_ = 0;
};

struct Station;

// "> " + local long time + " " + text.
void AddInfoLine(Station& station, std::string_view text);
// The text alone; an empty text separates operations.
void AddPlainLine(Station& station, std::string_view text);
// Pop-up menu of the list.
void ClearInformation1Click(Station& station);
// Copies the operator's selection; with nothing selected the clipboard stays as it was.
void CopytoCli1Click(Station& station, const std::string& selectedText);

}  // namespace dravon
