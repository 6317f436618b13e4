// The program's start-up: the records brought to their defaults and the greeting.
#pragma once

#include <string>

#include "core/station.h"

namespace dravon {

// The start-up sequence run when the main window is first shown. programDir is the folder of
// the program file; a trailing separator is added when missing.
void FormShow(Station& station, const std::string& programDir);

// Every 50 ms while Timer2 runs: the first device search, the command-line project's download
// once every listed port has answered, and a new search once firmware upgrades have finished.
void Timer2Timer(Station& station);

// After each Timer1 tick: in unattended mode, "Download Success" into ResDW.Txt and the window
// closed once every found programmer has its job; a run that cannot get there is closed too.
void Timer1Automation(Station& station);

// Unattended runs give up waiting for the programmers after this many Timer1 ticks (30 s).
inline constexpr uint32_t kUnattendedWaitTicks = 3000;

}  // namespace dravon
