// The production log: the information list written to a file when the program ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/platform.h"

#include "core/station.h"

namespace dravon {

inline constexpr char kLogConfigFileName[] = "GenLogX.cfg";

// Reads GenLogX.cfg from the program's folder; a missing or foreign file changes nothing.
void ReadLogConfig(Station& station);
// Parses the configuration's text into config (what ReadLogConfig does with the file's text).
void ParseLogConfig(const std::string& text, LogConfig& config);
// The file's text for a configuration, lines ended by CR LF.
std::string LogConfigText(const LogConfig& config);
void SaveLogConfig(Station& station);

// TLogCfgForm, as the operator sees it.
struct LogConfigModel final : DialogModel {
  std::string_view DialogName() const override { return "TLogCfgForm"; }
  std::string caption, enableCaption, creationCaption, modeCaption, fileLabel, openCaption;
  std::vector<std::string> creationItems, modeItems;
  bool enabled = true;
  int creationMode = 0;
  int customerMode = 0;
  std::string fileName;
  // Enabled state of the controls that depend on the choices.
  bool creationEnabled = true;
  bool modeEnabled = false;
  bool fileEnabled = false;
};
// The enabling rules of the dialog.
void CheckBoxLogClick(LogConfigModel& model);
void RadioGrpCreatClick(LogConfigModel& model);
// "Config Log File": the dialog, then the configuration saved whichever way it was closed.
void ConfigLogFile1Click(Station& station);

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
