// The hex grids of the Main Flash and Data Flash pages. The engine owns how many rows each grid
// has and the text of every cell; the shell shows the visible rows only.
#pragma once

#include <cstdint>
#include <string>

namespace dravon {

struct Station;

inline constexpr int kHexColumns = 18;

enum class HexGrid : uint8_t { MainFlash, DataFlash };

struct HexView {
  int rows = 1;             // data rows, the header row not counted
  bool blankRows = true;    // at start the one row is empty
  uint64_t generation = 0;  // grows whenever the grid's content is rebuilt or rewritten
};

// Rebuilds the Main Flash grid with one row per 16 bytes of first..last, from mainBase on.
void FillMainView(Station& station, uint32_t first, uint32_t last);
// Rewrites the rows holding the chip addresses from..to, extending the grid to reach them.
void RefreshMainViewRows(Station& station, uint32_t from, uint32_t to);
// Rebuilds the Data Flash grid, shows its tab and sets ChkBoxPrgEEP from the shown bytes.
void FillDataFlashView(Station& station);
// Cuts both grids back to their header rows (a new chip).
void ClearHexViews(Station& station);

// Header row texts ("  0" .. "  F"; empty for columns 0 and 17).
std::string HexHeaderText(int column);
// A data cell: column 0 the address, 1..16 the bytes, 17 the bytes as characters.
std::string HexCellText(const Station& station, HexGrid grid, int row, int column);

}  // namespace dravon
