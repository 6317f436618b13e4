#include "chips/catalogue.h"

#include <iterator>

#include "chips/families.h"
#include "chips/flash_driver.h"
#include "core/format.h"
#include "core/hex_views.h"
#include "core/info_list.h"

namespace dravon {
namespace {

constexpr const char* kAutoChip[] = {
    "AC78010xAxx", "AC78010xBxx", "AC78010xCxx", "AC78012xAxx", "AC78012xBxx", "AC78012xCxx",
    "AC78012xDxx", "AC78013xAxx", "AC78013xBxx", "AC78013xCxx", "AC78013xDxx", "AC78016xAxx",
    "AC78016xBxx", "AC78016xCxx", "AC78016xDxx", "AC7811JBxx",  "AC7811MBxx",  "AC7811OBxx",
    "AC7811QBxx",  "AC7811JJxx",  "AC7811MJxx",  "AC7811OJxx",  "AC7811QJxx",  "AC7813JBxx",
    "AC7813MBxx",  "AC7813OBxx",  "AC7813QBxx",  "AC7815JBxx",  "AC7815MBxx",  "AC7815OBxx",
    "AC7815QBxx",
};
constexpr const char* kIndie[] = {"IND83204xx", "IND83205xx", "IND83209xx", "IND83212xx"};
constexpr const char* kLapis[] = {
    "ML630Q464", "ML630Q466", "ML630Q448", "ML62Q13x3", "ML62Q13x4", "ML62Q13x5", "ML62Q13x6",
    "ML62Q13x7", "ML62Q15x0", "ML62Q15x1", "ML62Q15x2", "ML62Q15x3", "ML62Q15x4", "ML62Q15x5",
    "ML62Q15x6", "ML62Q15x7", "ML62Q17x0", "ML62Q17x1", "ML62Q17x2", "ML62Q17x3", "ML62Q17x4",
    "ML62Q17x5", "ML62Q17x6", "ML62Q17x7", "ML62Q17x8", "ML62Q17x9", "ML62Q18x8", "ML62Q18x9",
};
constexpr const char* kAucuic[] = {"AU301LDF51xx", "AU302NDF51xx", "AU302PDF51xx"};
constexpr const char* kMeiren[] = {
    "MR88F005BI", "MR88F005CI", "MR88F005DI", "MR88F105BI", "MR88F105CI", "MR88F105DI",
    "MR88F205BI", "MR88F205CI", "MR88F205DI", "MR88F305BI", "MR88F305CI", "MR88F305DI",
    "MR88F505BI", "MR88F505CI", "MR88F505DI", "MR88F605BI", "MR88F605CI", "MR88F605DI",
    "MR88F705BI", "MR88F705CI", "MR88F705DI", "MR88F805BI", "MR88F805CI", "MR88F805DI",
    "MR88FD05BI", "MR88FD05CI", "MR88FD05DI", "MR88FF05BI", "MR88FF05CI", "MR88FF05DI",
};

const VendorChips kCatalogue[] = {
    {"AutoChip", kAutoChip}, {"Indie ", kIndie},    {"LAPIS", kLapis},
    {"AUCUiC", kAucuic},     {"上海美仁", kMeiren},
};

void FillList(ChipSelectModel& m) {
  m.names.clear();
  int vendor = m.vendor;
  if (vendor < 0 || vendor >= static_cast<int>(std::size(kCatalogue))) return;
  for (const char* name : kCatalogue[vendor].names)
    m.names.emplace_back(name);
  m.selected = m.names.empty() ? -1 : 0;
}

}  // namespace

std::span<const VendorChips> ChipCatalogue() {
  return kCatalogue;
}

void ChipSelFormShow(Station& s, ChipSelectModel& m) {
  m.caption = s.texts.chipSelectCaption;
  m.vendorCaption = s.texts.vendorGroupCaption;
  m.okCaption = s.texts.chipOkButton;
  m.noCaption = s.texts.chipNoButton;
  m.vendorItems.clear();
  for (const VendorChips& v : kCatalogue)
    m.vendorItems.emplace_back(v.vendor);
  s.chip.vendor = kVendorLapis;
  m.vendorVisible = s.app.allVendors != 0;
  m.vendor = kVendorLapis;
  FillList(m);
}

void RadioGrpSelMFClick(ChipSelectModel& m) {
  FillList(m);
}

void ChipSelOkClick(Station& s, const ChipSelectModel& m) {
  if (m.selected < 0 || m.selected >= static_cast<int>(m.names.size())) return;
  s.chip.verifyInProgrammer = 0;
  s.app.fileLoaded = 0;
  s.app.chipSelected = 1;
  s.chip.vendor = static_cast<uint8_t>(m.vendor);
  const std::string& name = m.names[m.selected];
  s.chip.chipName = name;
  switch (m.vendor) {
    case kVendorAutoChip:
      SetupAc78(s, name);
      break;
    case kVendorIndie:
      SetupIndie(s, name, m.selected);
      break;
    case kVendorLapis:
      SetupLapis(s, name, m.selected);
      break;
    case kVendorAucuic:
      SetupAucu(s);
      break;
    case kVendorMeiren:
      SetupMr88f(s, name, m.selected);
      break;
    default:
      break;
  }
  s.chip.mainUsedSize = s.chip.mainSize;
  s.chip.eepSizeSaved = s.chip.eepSize;
}

void DevButtonClick(Station& s) {
  ChipSelectModel model;
  ChipSelFormShow(s, model);
  if (s.host.RunDialog(model)) ChipSelOkClick(s, model);
  SetMcuNameText(s, s.chip.chipName);
}

void SetMcuNameText(Station& s, const std::string& text) {
  Control& edit = s.window["MCUNameEdit"];
  if (edit.text == text) return;
  edit.text = text;
  MCUNameEditChange(s);
}

void MCUNameEditChange(Station& s) {
  if (!s.app.chipSelected) return;
  WindowModel& w = s.window;
  const ChipProfile& c = s.chip;
  const Texts& t = s.texts;
  ClearHexViews(s);
  w["BtnOptionCfg"].visible = true;
  w["CheckBoxOpt"].enabled = true;
  AddInfoLine(s, Format(t.chipSelected, {w["MCUNameEdit"].text}));
  w["RadioGpVolt"].index = 0;
  w["RadioGpVolt"].enabled = true;
  w["ReadSpcAddress"].visible = (s.job.flags32 & 0x04) == 0;
  const bool eep = c.eepSize != 0;
  for (const char* name : {"ChkBoxPrgEEP", "ChkBoxErsEEP", "TabSheetEEP", "ReadEEPMemory1",
                           "LoadEepDataFile1", "WriteEepDataMemory1", "SaveEepDatatoFile1"}) {
    w[name].visible = eep;
  }
  switch (c.vendor) {
    case kVendorAutoChip:
      AdaptAc78Window(s);
      break;
    case kVendorIndie:
      AdaptIndieWindow(s);
      break;
    case kVendorLapis:
      AdaptLapisWindow(s);
      break;
    case kVendorAucuic:
      AdaptAucuWindow(s);
      break;
    default:
      break;
  }
  std::string memory = Format(t.memoryWithEep, {c.mainSize, c.eepSize});
  AddInfoLine(s, memory);
  w["DpCpInfX"].caption = eep ? memory : Format(t.memoryNoEep, {c.mainSize});
  if (c.usesDriver) LoadFlashDriver(s);
  AddPlainLine(s, "");
  AddInfoLine(s, Format(t.mainFlashSize, {c.mainSize, c.mainSize / 1024}));
  AddInfoLine(s, Format(t.mainFlashStart, {c.mainBase}));
  AddInfoLine(s, Format(t.mainFlashEnd, {c.mainEnd}));
  if (eep) {
    AddPlainLine(s, "");
    AddInfoLine(s, Format(t.eepDataStart, {c.eepBase}));
    AddInfoLine(s, Format(t.eepDataEnd, {c.eepEnd}));
  }
}

}  // namespace dravon
