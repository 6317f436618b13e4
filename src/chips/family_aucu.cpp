// AUCUiC AU30x: configuration data in an option range, one binary image over main and data
// flash.
#include <algorithm>

#include "chips/families.h"
#include "core/format.h"
#include "core/info_list.h"
#include "link/packet_codec.h"

namespace dravon {
namespace {

void ConfigRows(Station& s, const uint8_t* bytes) {
  for (int r = 0; r < 16; ++r) {
    std::string row = Format("  0x03802%0.3x :", {16 * r});
    for (int i = 0; i < 16; ++i)
      row += Format(" %0.2x", {bytes[16 * r + i]});
    AddPlainLine(s, row);
  }
}

}  // namespace

void SetupAucu(Station& s) {
  using namespace family;
  SetMemoryMap(s.chip, {0x26000, 0x03000000, 0x2000, 0x03026000, 0x200, 0xC0}, true);
  s.chip.optionBase = 0x03802000;
  s.chip.optionEnd = 0x03803FFF;
  s.chip.usesDriver = 0;
  s.chip.verifyInProgrammer = 0;
  SetBaseValues(s, {0xFF, 0x08, 0x81, 0x00, 0x80});
  std::fill(s.optionImage.begin(), s.optionImage.end(), 0xFF);
}

void AdaptAucuWindow(Station& s) {
  family::AdaptWindow(s, true);
  s.window["CheckBoxOpt"].checked = true;
}

void ShowAucuConfig(Station& s) {
  AddPlainLine(s, "Current Option:");
  ConfigRows(s, s.optionImage.data());
}

void ShowAucuReadConfig(Station& s, int channel) {
  AddPlainLine(s, Format(">     C%d Read Chip Config Data:", {channel + 1}));
  ConfigRows(s, s.channels[channel].packet.data() + kPacketHeaderLength);
}

}  // namespace dravon
