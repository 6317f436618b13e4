// Indie IND832xx.
#include <algorithm>

#include "chips/families.h"

namespace dravon {

void SetupIndie(Station& s, const std::string&, int position) {
  using namespace family;
  SetMemoryMap(s.chip, {0x10000, 0, 0, kNone, 0x200, 0x01}, true);
  s.chip.chipCode2 = static_cast<uint8_t>(position);
  s.chip.usesDriver = 1;
  s.chip.verifyInProgrammer = 0;
  SetBaseValues(s, {0x00, 0x80, 0x81, 0x40, 0x00});
  std::fill(s.optionImage.begin(), s.optionImage.end(), 0x00);
}

void AdaptIndieWindow(Station& s) {
  family::AdaptWindow(s, false);
}

}  // namespace dravon
