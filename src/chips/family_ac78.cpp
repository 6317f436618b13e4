// AutoChip AC78xx: option bytes with read protection, watchdog and page write protection.
#include <algorithm>

#include "chips/families.h"
#include "core/format.h"
#include "core/info_list.h"
#include "link/packet_codec.h"

namespace dravon {
namespace {

// The words the operator knows: read protection, watchdog, four write-protection words and the
// two user data words.
constexpr int kOptionWordOffsets[] = {0, 4, 8, 12, 16, 20, 40, 44};

std::string OptionWords(const uint8_t* bytes) {
  std::string words;
  for (int offset : kOptionWordOffsets)
    words += Format(" %0.4x", {GetU16(bytes + offset)});
  return words;
}

}  // namespace

void SetupAc78(Station& s, const std::string& name) {
  using namespace family;
  uint32_t size = 0;
  uint8_t code2 = s.chip.chipCode2;
  bool known = true;
  if (StartsWith(name, "AC7801")) {
    char c = NameChar(name, 9);
    size = c == 'A' ? 0x4000 : c == 'B' ? 0x8000 : c == 'C' ? 0x10000 : 0x20000;
    code2 = 0;
  } else if (StartsWith(name, "AC781")) {
    char c = NameChar(name, 7);
    size = c == 'J' ? 0x8000 : c == 'M' ? 0x10000 : c == 'O' ? 0x20000 : 0x40000;
    code2 = 1;
  } else {
    known = false;
    s.app.chipSelected = 0;
  }
  SetMemoryMap(s.chip, {size, 0x08000000, 0, kNone, 0x800, 0x00}, known);
  s.chip.chipCode2 = code2;
  s.chip.usesDriver = 1;
  s.chip.verifyInProgrammer = 0;
  SetBaseValues(s, {0x08, 0x80, 0x81, 0x40, 0x00});
  std::fill(s.optionImage.begin(), s.optionImage.end(), 0xFF);
  s.optionImage[0] = 0xAC;
  s.optionImage[2] = 0x53;
}

void AdaptAc78Window(Station& s) {
  family::AdaptWindow(s, true);
}

void ShowAc78Option(Station& s) {
  AddInfoLine(s, "Current Option:" + OptionWords(s.optionImage.data()));
}

void ShowAc78ReadOption(Station& s, int channel) {
  const uint8_t* payload = s.channels[channel].packet.data() + kPacketHeaderLength;
  AddInfoLine(s, Format(" C%d Read Option:", {channel + 1}) + OptionWords(payload));
}

}  // namespace dravon
