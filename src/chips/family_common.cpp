#include <algorithm>
#include <cstring>

#include "chips/families.h"

namespace dravon::family {

void SetMemoryMap(ChipProfile& c, const MemoryMap& map, bool knownSize) {
  if (knownSize) {
    c.mainSize = map.mainSize;
    c.eepSize = map.eepSize;
  }
  c.mainBase = map.mainBase;
  c.mainEnd = c.mainBase + c.mainSize - 1;
  if (c.eepSize == 0) {
    c.eepBase = kNone;
    c.eepEnd = kNone;
  } else {
    c.eepBase = map.eepBase;
    c.eepEnd = c.eepBase + c.eepSize - 1;
  }
  c.imageOffset = 0;
  c.sectorSize = map.sectorSize;
  c.chipCode1 = map.chipCode1;
  c.familyCode = 'U';
  c.blankIsZero = 0;
  c.extraBase = kNone;
  c.extraEnd = kNone;
  c.optionBase = kNone;
  c.optionEnd = kNone;
}

void SetBaseValues(Station& s, const BaseValues& v) {
  s.chip.configByte1 = v.configByte1;
  s.chip.configByte64 = 0;
  s.chip.configByte65 = 0;
  s.chip.configByte8 = 0;
  s.chip.configByte9 = 0;
  s.job.deviceAddress = 0;
  s.job.flags32 = v.flags32;
  s.job.flags33 = v.flags33;
  s.job.flags34 = v.flags34;
  s.job.flags35 = 0x17;
  s.job.flags36 = v.flags36;
  s.job.flags37 = 0;
  s.job.flags38 = 0;
  s.job.flags39 = 0;
}

void AdaptWindow(Station& s, bool hasOptions) {
  WindowModel& w = s.window;
  w["RadioGpVolt"].index = s.job.flags33 & 0x01;
  w["RadioGpVolt"].enabled = true;
  w["LabelDEVA"].visible = false;
  w["EditDevAdr"].visible = false;
  for (const char* name : {"BtnOptionCfg", "CheckBoxOpt", "SpdBtnWrtOPB", "ReadOptionByte1",
                           "WriteOptionByte1", "ShowChipOptionData1"}) {
    w[name].visible = hasOptions;
  }
  w["CheckBoxOpt"].checked = false;
}

char NameChar(const std::string& name, size_t position) {
  return position >= 1 && position <= name.size() ? name[position - 1] : '\0';
}

bool StartsWith(const std::string& name, const char* prefix) {
  return name.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace dravon::family
