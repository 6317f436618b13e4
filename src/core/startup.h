// The program's start-up: the records brought to their defaults and the greeting.
#pragma once

#include <string>

#include "core/station.h"

namespace dravon {

// The start-up sequence run when the main window is first shown. programDir is the folder of
// the program file; a trailing separator is added when missing.
void FormShow(Station& station, const std::string& programDir);

// Every 50 ms while Timer2 runs: the first device search, and a new search once firmware
// upgrades have finished.
void Timer2Timer(Station& station);

}  // namespace dravon
