// Serial numbers: the panel's S/N controls.
#pragma once

#include "core/station.h"

namespace dravon {

// The S/N fields are usable exactly while "Enable S/N" is ticked.
void CheckBoxSNClick(Station& station);
// Shows SNEdit1 in decimal or as "0x%0.8x"; a text that does not parse stays as it was.
void ChkBoxSNDPClick(Station& station);

}  // namespace dravon
