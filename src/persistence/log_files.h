// The production log: the information list written to a file when the program ends.
#pragma once

#include <string>

#include "core/station.h"

namespace dravon {

// Writes the log the configuration asks for; called after the ports are closed.
void WriteLogAtExit(Station& station);
// The automatically named log in the system log folder; nothing with 6 lines or fewer.
void WriteSystemLog(Station& station);
// The operator's own log file, created, overwritten or appended to.
void WriteCustomerLog(Station& station);

// "QuelarxLogS" at the drive root on Windows, in the home folder elsewhere.
std::string SystemLogFolder(const Station& station);
// "Quelox_<short date>_<long time>.log" with the date and time separators made '_'.
std::string SystemLogFileName(Station& station);

}  // namespace dravon
