// The operation commands of the tool bar and the Command and Read menus.
#pragma once

#include "core/station.h"

namespace dravon {

// Auto: checks that a chip is selected and data loaded, then runs the automatic sequence on
// every found, idle programmer.
void AutoSpdBtnClick(Station& station);

}  // namespace dravon
