// The chip families: each turns a chip name into the whole chip profile, adapts the window to
// the family, and prints its option data.
#pragma once

#include <string>

#include "core/station.h"

namespace dravon {

// Vendor indexes of the catalogue.
inline constexpr uint8_t kVendorAutoChip = 0;
inline constexpr uint8_t kVendorIndie = 1;
inline constexpr uint8_t kVendorLapis = 2;
inline constexpr uint8_t kVendorAucuic = 3;
inline constexpr uint8_t kVendorMeiren = 4;

void SetupAc78(Station& station, const std::string& name);
void SetupIndie(Station& station, const std::string& name, int position);
void SetupLapis(Station& station, const std::string& name, int position);
void SetupAucu(Station& station);
void SetupMr88f(Station& station, const std::string& name, int position);

// Window adaptations after a chip change (the Meiren family has none).
void AdaptAc78Window(Station& station);
void AdaptIndieWindow(Station& station);
void AdaptLapisWindow(Station& station);
void AdaptAucuWindow(Station& station);

// Option data in the information list: the image's, and a chip's read back (the reply's
// payload in the channel's packet area).
void ShowAc78Option(Station& station);
void ShowAc78ReadOption(Station& station, int channel);
void ShowAucuConfig(Station& station);
void ShowAucuReadConfig(Station& station, int channel);

// Shared by the family files: the memory map and the configuration base values.
namespace family {

inline constexpr uint32_t kNone = 0xFFFFFFFF;

struct MemoryMap {
  uint32_t mainSize;
  uint32_t mainBase;
  uint32_t eepSize;  // 0: no data flash
  uint32_t eepBase;
  uint16_t sectorSize;
  uint8_t chipCode1;
};

struct BaseValues {
  uint8_t configByte1;
  uint8_t flags32;
  uint8_t flags33;
  uint8_t flags34;
  uint8_t flags36;
};

// Writes the map; with knownSize false the sizes keep the previous chip's values.
void SetMemoryMap(ChipProfile& chip, const MemoryMap& map, bool knownSize);
void SetBaseValues(Station& station, const BaseValues& values);
// Shows the option controls of families with option data, hides them for the others.
void AdaptWindow(Station& station, bool hasOptions);
// The character at a 1-based position of the name, or 0 past its end.
char NameChar(const std::string& name, size_t position);
bool StartsWith(const std::string& name, const char* prefix);

}  // namespace family
}  // namespace dravon
