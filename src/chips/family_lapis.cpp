// LAPIS ML630Q (with flash driver, verified on the PC) and ML62Q (verified in the programmer).
#include <algorithm>

#include "chips/families.h"

namespace dravon {
namespace {

// Main flash of the ML62Q15/17/18 series by the ninth character of the name.
uint32_t Ml62qLargeSize(char digit) {
  switch (digit) {
    case '0':
      return 0x8000;
    case '1':
      return 0xC000;
    case '2':
      return 0x10000;
    case '3':
      return 0x18000;
    case '4':
      return 0x20000;
    case '5':
      return 0x28000;
    case '6':
      return 0x30000;
    case '7':
      return 0x40000;
    case '8':
      return 0x60000;
    default:
      return 0x80000;
  }
}

uint32_t Ml62q13Size(char digit) {
  switch (digit) {
    case '3':
      return 0x4000;
    case '4':
      return 0x6000;
    case '5':
      return 0x8000;
    case '6':
      return 0xC000;
    case '7':
      return 0x10000;
    default:
      return 0x4000;
  }
}

}  // namespace

void SetupLapis(Station& s, const std::string& name, int position) {
  using namespace family;
  std::fill(s.optionImage.begin(), s.optionImage.end(), 0x00);
  if (StartsWith(name, "ML630Q")) {
    SetBaseValues(s, {0x00, 0x80, 0x00, 0x40, 0x00});
    uint32_t mainSize = 0x80000;
    uint32_t eepSize = 0x800;
    uint8_t code2 = static_cast<uint8_t>(position);
    if (name == "ML630Q464") {
      mainSize = 0x8000;
    } else if (name == "ML630Q466") {
      mainSize = 0x10000;
    } else if (name == "ML630Q448") {
      eepSize = 0x2000;
      code2 = 0x10;
    }
    SetMemoryMap(s.chip, {mainSize, 0x10000000, eepSize, 0x18000000, 0x400, 0x10}, true);
    s.chip.chipCode2 = code2;
    s.chip.usesDriver = 1;
    s.chip.verifyInProgrammer = 0;
    return;
  }
  SetBaseValues(s, {0x00, 0x04, 0x00, 0x40, 0x00});
  const char digit = NameChar(name, 9);
  uint32_t mainSize = 0;
  uint32_t eepSize = 0;
  bool known = true;
  if (StartsWith(name, "ML62Q13")) {
    mainSize = Ml62q13Size(digit);
    eepSize = 0x800;
  } else if (StartsWith(name, "ML62Q15")) {
    mainSize = Ml62qLargeSize(digit);
    eepSize = 0x1000;
  } else if (StartsWith(name, "ML62Q17") || StartsWith(name, "ML62Q18")) {
    mainSize = Ml62qLargeSize(digit);
    eepSize = 0x2000;
  } else {
    known = false;
    s.app.chipSelected = 0;
  }
  SetMemoryMap(s.chip, {mainSize, 0, eepSize, 0x1F0000, 0x4000, 0x10}, known);
  s.chip.chipCode2 = 0x20;
  s.chip.usesDriver = 0;
  s.chip.verifyInProgrammer = 1;
}

void AdaptLapisWindow(Station& s) {
  family::AdaptWindow(s, false);
  s.window["ReadMG32xxChipID1"].visible = false;
}

}  // namespace dravon
