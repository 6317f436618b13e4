#include "core/startup.h"

#include <cctype>
#include <filesystem>

#include "core/file_io.h"
#include "core/format.h"
#include "core/info_list.h"
#include "core/main_window.h"
#include "link/discovery.h"
#include "link/firmware_file.h"
#include "link/firmware_upgrade.h"
#include "operations/chains.h"
#include "persistence/log_files.h"
#include "persistence/project_file.h"

namespace dravon {
namespace {

// Ends an unattended run that cannot succeed; the reason has gone to the list and to stderr.
void GiveUp(Station& s, const std::string& reason) {
  if (!reason.empty()) s.host.ShowMessage(BoxKind::Error, reason);
  s.app.exitConfirmed = 1;
  s.host.CloseMainWindow();
}

// The command-line project: loaded, then its job sent to every listed programmer. A project that
// did not load is not downloaded: the programmers would get whatever job was there before.
void StartProjectDownload(Station& s) {
  s.app.projectStarted = 1;
  std::error_code e;
  if (!std::filesystem::exists(Utf8Path(s.app.projectPath), e)) {
    const std::string text = Format(s.texts.projectFileNotFound, {s.app.projectPath});
    AddInfoLine(s, text);
    if (s.app.unattended) {
      GiveUp(s, text);
    } else {
      s.host.ShowMessage(BoxKind::Information, text);
    }
    return;
  }
  const int result = LoadProject(s, s.app.projectPath);
  if (result != kProjectOk) {
    // A file that could not be read has had its box already.
    if (s.app.unattended) {
      GiveUp(s, result == kProjectNotVelmor    ? s.texts.projectNotVelmor
                : result == kProjectUnreadable ? ""
                                               : s.texts.projectCorrupted);
    }
    return;
  }
  for (int k = 0; k < s.app.channelCount && k < kChannelCount; ++k) {
    s.channels[k].rxCount = 0;
    StartJobDownload(s, k);
  }
}

}  // namespace

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
  AppState& app = station.app;
  app.unattended = 0;
  app.autoProject = 0;
  if (!app.arguments.empty()) {
    app.downloadsDone = 0;
    app.autoProject = 1;
    app.projectPath = app.arguments[0];
    if (app.arguments.size() > 1) {
      app.modeArg = app.arguments[1];
      for (char& c : app.modeArg)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      app.unattended = app.modeArg == "OFF" ? 1 : 0;
    }
  }
  app.connectPending = 1;
  app.timer2Enabled = 1;
}

void Timer2Timer(Station& s) {
  if (!s.app.timer2Enabled) return;
  if (s.app.connectPending) {
    s.app.connectPending = 0;
    FindDevices(s);
  }
  if (s.app.devicesFound >= s.app.channelCount) {
    s.app.timer2Enabled = 0;
    if (s.app.autoProject && !s.app.projectStarted) StartProjectDownload(s);
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

void Timer1Automation(Station& s) {
  AppState& app = s.app;
  if (!app.unattended || app.downloadReported || app.exitConfirmed) return;
  if (!app.projectStarted) {
    if (++app.waitTicks >= kUnattendedWaitTicks) {
      GiveUp(s, Format(s.texts.unattendedNoProgrammers, {app.devicesFound, app.channelCount}));
    }
    return;
  }
  if (app.downloadsDone != 0 && app.downloadsDone == app.devicesFound) {
    const std::string path = (Utf8Path(app.programDir) / "ResDW.Txt").string();
    SafeFileWriter out(path);
    out.Write(s.texts.downloadSuccess);
    if (!out.Commit()) {
      GiveUp(s, Format(s.texts.fileWriteError, {path, out.error()}));
      return;
    }
    app.downloadReported = 1;
    app.exitConfirmed = 1;
    s.host.CloseMainWindow();
    return;
  }
  // Every channel has finished its download, and not all of them succeeded.
  for (int k = 0; k < kChannelCount; ++k) {
    if (s.channels[k].busy) return;
  }
  const int failed = app.devicesFound - app.downloadsDone;
  GiveUp(s, Format(s.texts.unattendedDownloadFailed, {failed, static_cast<int>(app.devicesFound)}));
}

}  // namespace dravon
