#include "persistence/log_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

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
