// The chip catalogue, the chip selection dialog and what a chip choice does to the window.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform.h"
#include "core/station.h"

namespace dravon {

struct VendorChips {
  const char* vendor;  // the radio item text
  std::span<const char* const> names;
};

// The five vendors' lists in their display order, by vendor index.
std::span<const VendorChips> ChipCatalogue();

// TChipSelForm.
struct ChipSelectModel final : DialogModel {
  std::string_view DialogName() const override { return "TChipSelForm"; }
  std::string caption;
  std::string vendorCaption;
  std::vector<std::string> vendorItems;
  bool vendorVisible = false;
  int vendor = 0;
  std::vector<std::string> names;  // ListBoxCP
  int selected = -1;
  std::string okCaption;
  std::string noCaption;
};

void ChipSelFormShow(Station& station, ChipSelectModel& model);
// Refills the list for the vendor the radio group shows.
void RadioGrpSelMFClick(ChipSelectModel& model);
// OK: the chosen chip becomes the chip profile through its family setup.
void ChipSelOkClick(Station& station, const ChipSelectModel& model);

// The chip button: the dialog, then the chip name into MCUNameEdit.
void DevButtonClick(Station& station);
// Sets MCUNameEdit's text; a change runs MCUNameEditChange.
void SetMcuNameText(Station& station, const std::string& text);
// The window adapted to the selected chip, its memory map reported and its driver loaded.
void MCUNameEditChange(Station& station);

}  // namespace dravon
