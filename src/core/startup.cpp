#include "core/startup.h"

#include <filesystem>

#include "core/main_window.h"

namespace dravon {

void FormShow(Station& station, const std::string& programDir) {
  std::string dir = programDir;
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  if (!dir.empty() && dir.back() != '/' && dir.back() != separator) dir += separator;
  station.app.programDir = dir;
  station.window["PageControlSet"].index = 0;
  station.app.channelCount = 1;
  ApplyEditionTexts(station);

  ResetChipDefaults(station);
  station.chip.familyCode = 'U';
  ResetChannelTable(station);
  station.chip.vendor = 0;
  ArrangeGauges(station);

  AddInfoLine(station, station.texts.greeting);
}

}  // namespace dravon
