#include "persistence/log_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/file_io.h"

#include "core/format.h"

namespace dravon {
namespace {

namespace fs = std::filesystem;

bool WriteLines(const fs::path& path, const std::vector<std::string>& lines, bool append,
                const char* header) {
  std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  if (!out) return false;
  if (header) out << header << "\r\n";
  for (const std::string& line : lines)
    out << line << "\r\n";
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace

void ParseLogConfig(const std::string& text, LogConfig& c) {
  std::istringstream in(text);
  std::string line;
  auto next = [&in, &line] {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  };
  if (!next() || line != "[ConfigLog]") return;
  while (next() && line != "[EndCfg]") {
    if (line == "EnLog") {
      c.enabled = true;
    } else if (line == "DnLog") {
      c.enabled = false;
    } else if (line == "System") {
      c.creationMode = 0;
    } else if (line == "Customer") {
      c.creationMode = 1;
    } else if (line == "CusDef0" || line == "CusDef1" || line == "CusDef2") {
      c.customerMode = line.back() - '0';
    } else if (line.rfind("SpcFile=", 0) == 0) {
      c.customerFile = line.substr(8);
    }
  }
}

std::string LogConfigText(const LogConfig& c) {
  std::string text = "[ConfigLog]\r\n";
  text += c.enabled ? "EnLog\r\n" : "DnLog\r\n";
  if (c.creationMode == 0) {
    text += "System\r\n";
  } else {
    text += "Customer\r\nCusDef" + std::to_string(c.customerMode) +
            "\r\nSpcFile=" + c.customerFile + "\r\n";
  }
  return text + "[EndCfg]\r\n";
}

void ReadLogConfig(Station& s) {
  const fs::path path = Utf8Path(s.app.programDir) / kLogConfigFileName;
  std::error_code e;
  if (!fs::exists(path, e)) return;
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(path.string(), bytes, error)) {
    s.host.ShowMessage(BoxKind::Error, path.string() + ": " + error);
    return;
  }
  ParseLogConfig(std::string(bytes.begin(), bytes.end()), s.logConfig);
}

void SaveLogConfig(Station& s) {
  const std::string path = (Utf8Path(s.app.programDir) / kLogConfigFileName).string();
  SafeFileWriter file(path);
  file.Write(LogConfigText(s.logConfig));
  if (!file.Commit()) s.host.ShowMessage(BoxKind::Error, path + ": " + file.error());
}

void CheckBoxLogClick(LogConfigModel& m) {
  m.creationEnabled = m.enabled;
  m.modeEnabled = m.enabled && m.creationMode == 1;
  m.fileEnabled = m.enabled && m.creationMode == 1;
}

void RadioGrpCreatClick(LogConfigModel& m) {
  m.customerMode = 0;
  CheckBoxLogClick(m);
}

void ConfigLogFile1Click(Station& s) {
  const Texts& t = s.texts;
  LogConfigModel m;
  m.caption = t.logDialogCaption;
  m.enableCaption = t.logEnable;
  m.creationCaption = t.logCreationCaption;
  m.modeCaption = t.logModeCaption;
  m.fileLabel = t.logFileLabel;
  m.openCaption = t.logOpenButton;
  m.creationItems = SplitItems(t.logCreationItems);
  m.modeItems = SplitItems(t.logModeItems);
  m.enabled = s.logConfig.enabled;
  m.fileName = s.logConfig.customerFile;
  // Each showing starts from the system file and a new customer file.
  m.creationMode = 0;
  m.customerMode = 0;
  CheckBoxLogClick(m);
  while (s.host.RunDialog(m)) {
    if (m.creationMode == 1 && m.fileName.empty()) {
      s.host.ShowMessage(BoxKind::Information, t.logNameMissing);
      continue;
    }
    break;
  }
  s.logConfig.enabled = m.enabled;
  s.logConfig.creationMode = m.creationMode;
  s.logConfig.customerMode = m.customerMode;
  s.logConfig.customerFile = m.fileName;
  SaveLogConfig(s);
}

std::string SystemLogFolder(const Station& s) {
#ifdef _WIN32
  std::string root = s.app.programDir.substr(0, 3);
  return root + "QuelarxLogS";
#else
  (void)s;
  const char* home = std::getenv("HOME");
  fs::path folder = fs::path(home && *home ? home : ".") / "QuelarxLogS";
  return folder.string();
#endif
}

std::string SystemLogFileName(Station& s) {
  std::string name = "Quelox_" + s.clock.ShortDate() + "_" + s.clock.LongTime();
  // The separators of the date and time cannot stand in a file name.
  for (size_t i = 5; i < name.size(); ++i) {
    if (name[i] == '-' || name[i] == '/' || name[i] == ':' || name[i] == '\\') name[i] = '_';
  }
  return name + ".log";
}

void WriteLogAtExit(Station& s) {
  if (!s.logConfig.enabled) return;
  if (s.logConfig.creationMode == 0) {
    WriteSystemLog(s);
  } else {
    WriteCustomerLog(s);
  }
}

void WriteSystemLog(Station& s) {
  const auto& lines = s.info.Lines();
  fs::path folder = SystemLogFolder(s);
  std::error_code ignored;
  fs::create_directory(folder, ignored);
  if (lines.size() <= 6) return;
  if (!WriteLines(folder / SystemLogFileName(s), lines, false, nullptr)) {
    s.host.ShowMessage(BoxKind::Error, s.texts.writeLogError);
  }
}

void WriteCustomerLog(Station& s) {
  const std::string& name = s.logConfig.customerFile;
  if (name.empty()) return;
  fs::path path = name;
  if (path.is_relative()) path = fs::path(s.app.programDir) / path;
  const auto& lines = s.info.Lines();
  if (s.logConfig.customerMode == 2) {
    std::error_code error;
    bool exists = fs::exists(path, error);
    WriteLines(path, lines, true, exists ? nullptr : s.texts.logFileHeader);
    return;
  }
  errno = 0;
  if (!WriteLines(path, lines, false, nullptr)) {
    std::string reason = errno != 0 ? std::strerror(errno) : "Input/output error";
    s.host.ShowMessage(BoxKind::Error, path.string() + ": " + reason);
  }
}

}  // namespace dravon
