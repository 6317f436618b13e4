// Serial numbers: the panel's S/N controls.
#pragma once

#include <string>
#include <string_view>

#include "core/fixed_sn_model.h"
#include "core/platform.h"
#include "core/station.h"

namespace dravon {

// The S/N fields are usable exactly while "Enable S/N" is ticked.
void CheckBoxSNClick(Station& station);
// Shows SNEdit1 in decimal or as "0x%0.8x"; a text that does not parse stays as it was.
void ChkBoxSNDPClick(Station& station);
// Writes the current serial number into the main image (Auto and Prog, before the channels
// start); false when its address lies outside main flash (the box has been shown).
bool PlaceSerialNumber(Station& station);
// After a channel completed the automatic sequence with its option write.
void AdvanceSerialNumber(Station& station);

// The area choice puts that area's start into the address field.
void FixedSnAreaClick(FixedSnModel& model);
// The fixed S/N data command ("Fill SN Data").
void ButtonCfgSNClick(Station& station);
// Writes the dialog's data into the chosen area; refuses anything outside it.
void WriteFixedSnData(Station& station, const FixedSnModel& model, uint32_t address);
// The next hex group of text from position: blanks skipped, the group ended by a blank or the
// text's end. False when no group is left.
bool NextHexByte(std::string_view text, size_t& position, uint8_t& byte);

}  // namespace dravon
