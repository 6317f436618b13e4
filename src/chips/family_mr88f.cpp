// Shanghai Meiren MR88F.
#include <algorithm>

#include "chips/families.h"

namespace dravon {

void SetupMr88f(Station& s, const std::string& name, int position) {
  using namespace family;
  char c = NameChar(name, 9);
  uint32_t size = c == 'B' ? 0x10000 : c == 'C' ? 0x20000 : 0x40000;
  SetMemoryMap(s.chip, {size, 0, 0, kNone, 0x200, 0x04}, true);
  s.chip.chipCode2 = static_cast<uint8_t>(position);
  s.chip.usesDriver = 1;
  s.chip.verifyInProgrammer = 0;
  SetBaseValues(s, {0x00, 0x80, 0x81, 0x00, 0x00});
  std::fill(s.optionImage.begin(), s.optionImage.end(), 0x00);
}

}  // namespace dravon
