// Serial numbers: the panel's S/N controls.
#pragma once

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

}  // namespace dravon
