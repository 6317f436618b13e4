// The option-byte wizard of the AutoChip family and the configuration dialog of the AUCUiC
// family, both editing the option image in place.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform.h"
#include "core/station.h"

namespace dravon {

// TAC78xOptBForm.
struct Ac78OptionModel final : DialogModel {
  std::string_view DialogName() const override { return "TAC78xOptBForm"; }
  std::string caption;
  std::vector<std::string> ropItems;
  int rop = 0;  // ComBoxROP
  std::vector<std::string> wdtItems;
  int wdt = 0;  // ComBoxWDT
  // EditERP0..EditERP3, EditUSER0, EditUser1.
  std::array<std::string, 6> edits;
};

// The value panels beside the two drop-down lists.
std::string Ac78RopPanel(int item);
std::string Ac78WdtPanel(int item);
void Ac78FormShow(Station& station, Ac78OptionModel& model);
void Ac78OkClick(Station& station, const Ac78OptionModel& model);

// TAUCUxCfgForm: checked means the feature is on (its bit cleared).
struct AucuConfigModel final : DialogModel {
  std::string_view DialogName() const override { return "TAUCUxCfgForm"; }
  std::string caption;
  bool lifeCycle = false;   // ChkBoxLFC
  bool uart0 = false;       // ChkBoxDnURT0
  bool uart1 = false;       // ChkBoxDnURT1
  bool uart2 = false;       // ChkBoxDnURT2
  bool jtag = false;        // ChkBoxDnJTAG, shown only
  bool boot = false;        // ChkBoxDnBOT
  bool infoRegion = false;  // ChkBoxDnRGN1, shown only
};

void AucuFormShow(Station& station, AucuConfigModel& model);
void AucuOkClick(Station& station, const AucuConfigModel& model);

// The settings panel's "Set Option Byte" button and the menu's "Show Chip Option Data".
void BtnOptionCfgClick(Station& station);
void ShowChipOptionData1Click(Station& station);

}  // namespace dravon
