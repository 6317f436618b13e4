// The fixed S/N data dialog's model, kept in the station for the whole run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform.h"

namespace dravon {

// TConfigSNForm: made once and kept, so the data and the format stay between openings.
struct FixedSnModel final : DialogModel {
  std::string_view DialogName() const override { return "TConfigSNForm"; }
  std::string caption;
  std::string addressLabel;
  std::string areaCaption;
  std::vector<std::string> areaItems;
  std::string formatCaption;
  std::vector<std::string> formatItems;
  std::string dataLabel;
  std::string addressText;  // AddrEditSN
  int area = 0;             // RadioGrpSN: 0 main flash, 1 data flash
  int format = 0;           // RadioGroupFM: 0 text, 1 hex bytes
  std::string data;         // EditDataSN, upper case, at most 255 characters
  uint32_t mainBase = 0;
  uint32_t eepBase = 0;
};

}  // namespace dravon
