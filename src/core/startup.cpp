#include "core/startup.h"

#include <filesystem>

#include "core/file_io.h"
#include "core/format.h"
#include "core/main_window.h"
#include "link/discovery.h"
#include "link/firmware_file.h"
#include "link/firmware_upgrade.h"
#include "persistence/log_files.h"

namespace dravon {

void FormShow(Station& station, const std::string& programDir) {
  std::string dir = programDir;
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  if (!dir.empty() && dir.back() != '/' && dir.back() != separator) dir += separator;
  station.app.programDir = dir;
  station.window["PageControlSet"].index = 0;
  station.app.channelCount = 1;
  ApplyEditionTexts(station);
  ReadLogConfig(station);

  ResetChipDefaults(station);
  station.chip.familyCode = 'U';
  ResetChannelTable(station);
  BuildPortList(station);
  station.chip.vendor = 0;
  // A result file from an earlier run must not speak for this one.
  std::error_code gone;
  std::filesystem::remove(Utf8Path(dir) / "ResDW.Txt", gone);
  ArrangeGauges(station);

  AddInfoLine(station, station.texts.greeting);
  const std::string firmware = (Utf8Path(dir) / kFirmwareFileName).string();
  std::error_code e;
  if (std::filesystem::exists(Utf8Path(firmware), e)) {
    LoadFirmwareFile(station, firmware);
  } else {
    station.app.firmwareValid = 0;
    const std::string text = Format(station.texts.fileNotFoundConfirm, {firmware});
    AddInfoLine(station, text);
    station.host.ShowMessage(BoxKind::Information, text);
  }
  station.app.connectPending = 1;
  station.app.timer2Enabled = 1;
}

void Timer2Timer(Station& s) {
  if (!s.app.timer2Enabled) return;
  if (s.app.connectPending) {
    s.app.connectPending = 0;
    FindDevices(s);
  }
  if (s.app.devicesFound >= s.app.channelCount) {
    s.app.timer2Enabled = 0;
    return;
  }
  if (s.app.upgradePending) {
    for (int k = 0; k < s.app.channelCount && k < kChannelCount; ++k) {
      if (s.channels[k].upgrading) return;
    }
    s.app.upgradePending = 0;
    s.host.Wait(500);
    FindDevices(s);
  }
}

}  // namespace dravon
