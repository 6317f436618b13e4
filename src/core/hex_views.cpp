#include "core/hex_views.h"

#include <algorithm>

#include "core/format.h"
#include "core/station.h"

namespace dravon {
namespace {

constexpr uint32_t kMaxMainRows = kMainImageSize / 16;
constexpr uint32_t kMaxEepRows = kEepImageSize / 16;

void SetRows(HexView& v, uint32_t rows) {
  v.rows = static_cast<int>(rows);
  v.blankRows = false;
  ++v.generation;
}

char Printable(uint8_t b) {
  return (b >= 0x20 && b <= 0x7F) ? static_cast<char>(b) : '.';
}

}  // namespace

void FillMainView(Station& s, uint32_t first, uint32_t last) {
  uint32_t rows = 0;
  if (last >= first) {
    uint64_t count = static_cast<uint64_t>(last) - first + 1;
    rows = static_cast<uint32_t>(std::min<uint64_t>((count + 15) / 16, kMaxMainRows));
  }
  SetRows(s.mainView, rows);
}

void RefreshMainViewRows(Station& s, uint32_t from, uint32_t to) {
  uint32_t first = (from - s.chip.mainBase) / 16;
  uint32_t last = (to - s.chip.mainBase) / 16;
  if (last < first) return;
  HexView& v = s.mainView;
  uint32_t needed = std::min(last + 1, kMaxMainRows);
  uint32_t rows = v.blankRows ? 0 : static_cast<uint32_t>(v.rows);
  SetRows(v, std::max(rows, needed));
}

void FillDataFlashView(Station& s) {
  s.window["TabSheetEEP"].visible = true;
  uint32_t rows = std::min(s.chip.eepSize / 16, kMaxEepRows);
  SetRows(s.eepView, rows);
  size_t shown = static_cast<size_t>(rows) * 16;
  bool data = std::any_of(s.eepImage.begin(), s.eepImage.begin() + static_cast<long>(shown),
                          [](uint8_t b) { return b != 0x00 && b != 0xFF; });
  s.window["ChkBoxPrgEEP"].checked = data;
}

void ClearHexViews(Station& s) {
  SetRows(s.mainView, 0);
  SetRows(s.eepView, 0);
}

std::string HexHeaderText(int column) {
  if (column < 1 || column > 16) return std::string();
  return Format("  %x", {column - 1});
}

std::string HexCellText(const Station& s, HexGrid grid, int row, int column) {
  const HexView& v = grid == HexGrid::MainFlash ? s.mainView : s.eepView;
  if (row < 0 || row >= v.rows || v.blankRows || column < 0 || column >= kHexColumns) return {};
  const bool main = grid == HexGrid::MainFlash;
  const std::vector<uint8_t>& image = main ? s.mainImage.bytes : s.eepImage;
  uint64_t index = (main ? s.chip.imageOffset : 0) + static_cast<uint64_t>(row) * 16;
  if (column == 0) {
    uint32_t base = main ? s.chip.mainBase : s.chip.eepBase;
    return Format("0x%0.8x", {static_cast<uint32_t>(base + static_cast<uint32_t>(row) * 16)});
  }
  if (column <= 16) {
    uint64_t at = index + static_cast<uint64_t>(column - 1);
    return at < image.size() ? Format("%0.2x", {image[at]}) : std::string();
  }
  std::string chars;
  for (uint64_t at = index; at < index + 16 && at < image.size(); ++at)
    chars += Printable(image[at]);
  return chars;
}

}  // namespace dravon
