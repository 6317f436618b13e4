#include "core/info_list.h"

#include "core/station.h"

namespace dravon {

void AddInfoLine(Station& station, std::string_view text) {
  std::string line = "> ";
  line += station.clock.LongTime();
  line += ' ';
  line += text;
  station.info.Append(std::move(line));
}

void AddPlainLine(Station& station, std::string_view text) { station.info.Append(std::string(text)); }

void ClearInformation1Click(Station& station) { station.info.Clear(); }

void CopytoCli1Click(Station& station, const std::string& selectedText) {
  if (selectedText.empty()) return;
  station.host.SetClipboardText(selectedText);
}

}  // namespace dravon
