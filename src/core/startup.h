// The program's start-up: the records brought to their defaults and the greeting.
#pragma once

#include <string>

#include "core/station.h"

namespace dravon {

// The start-up sequence run when the main window is first shown. programDir is the folder of
// the program file; a trailing separator is added when missing.
void FormShow(Station& station, const std::string& programDir);

}  // namespace dravon
