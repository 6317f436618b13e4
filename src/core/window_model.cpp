#include "core/window_model.h"

namespace dravon {

Control& WindowModel::operator[](std::string_view name) {
  auto it = controls_.find(name);
  if (it == controls_.end()) it = controls_.emplace(std::string(name), Control{}).first;
  return it->second;
}

const Control* WindowModel::Find(std::string_view name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : &it->second;
}

}  // namespace dravon
