#include "core/hex_views.h"

#include <gtest/gtest.h>

#include "core/station.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::TestStation;

TEST(HexViews, StartWithOneEmptyRow) {
  TestStation s;
  EXPECT_EQ(s->mainView.rows, 1);
  EXPECT_EQ(HexCellText(*s, HexGrid::MainFlash, 0, 0), "");
  EXPECT_EQ(HexHeaderText(0), "");
  EXPECT_EQ(HexHeaderText(1), "  0");
  EXPECT_EQ(HexHeaderText(16), "  F");
  EXPECT_EQ(HexHeaderText(17), "");
}

TEST(HexViews, RowCounts) {
  TestStation s;
  struct Case {
    uint32_t bytes;
    int rows;
  };
  for (Case c : {Case{20, 2}, Case{16, 1}, Case{4096, 256}, Case{1, 1}, Case{0x80000, 32768}}) {
    FillMainView(*s, 0, c.bytes - 1);
    EXPECT_EQ(s->mainView.rows, c.rows) << c.bytes;
  }
  FillMainView(*s, 0, 0xFFFFFFFF);  // never more rows than the image holds
  EXPECT_EQ(s->mainView.rows, static_cast<int>(kMainImageSize / 16));
}

TEST(HexViews, CellTexts) {
  TestStation s;
  s->chip.mainBase = 0x08000000;
  s->chip.imageOffset = 0;
  uint8_t row[16] = {0x7F, 0x80, 0x1F, 0x20, 'A', 0, 0xFF, 'z', 1, 2, 3, 4, 5, 6, 7, 8};
  std::copy(std::begin(row), std::end(row), s->mainImage.bytes.begin() + 16);
  FillMainView(*s, 0, 63);
  EXPECT_EQ(HexCellText(*s, HexGrid::MainFlash, 1, 0), "0x08000010");
  EXPECT_EQ(HexCellText(*s, HexGrid::MainFlash, 1, 1), "7F");
  EXPECT_EQ(HexCellText(*s, HexGrid::MainFlash, 1, 7), "FF");
  std::string chars = HexCellText(*s, HexGrid::MainFlash, 1, 17);
  ASSERT_EQ(chars.size(), 16u);
  EXPECT_EQ(chars[0], '\x7f');  // 0x7F shows as itself
  EXPECT_EQ(chars[1], '.');     // 0x80
  EXPECT_EQ(chars[2], '.');     // 0x1F
  EXPECT_EQ(chars[3], ' ');
  EXPECT_EQ(chars[4], 'A');
  EXPECT_EQ(chars[6], '.');                                  // 0xFF
  EXPECT_EQ(HexCellText(*s, HexGrid::MainFlash, 4, 1), "");  // past the rows
}

TEST(HexViews, RefreshExtendsTheGridToTheWrittenRows) {
  TestStation s;
  s->chip.mainBase = 0x00010000;
  FillMainView(*s, 0, 1023);
  EXPECT_EQ(s->mainView.rows, 64);
  uint64_t before = s->mainView.generation;
  RefreshMainViewRows(*s, 0x00010400, 0x00010400 + (4 | 15) + 1);
  EXPECT_EQ(s->mainView.rows, 66);
  EXPECT_GT(s->mainView.generation, before);
  RefreshMainViewRows(*s, 0x00010010, 0x00010000);  // backwards: nothing
  EXPECT_EQ(s->mainView.rows, 66);
}

TEST(HexViews, DataFlashViewTicksProgDataFlashForRealData) {
  TestStation s;
  s->chip.eepSize = 0x800;
  s->chip.eepBase = 0x00E00000;
  std::fill(s->eepImage.begin(), s->eepImage.begin() + 0x400, 0x00);
  FillDataFlashView(*s);
  EXPECT_EQ(s->eepView.rows, 128);
  EXPECT_TRUE(s->window["TabSheetEEP"].visible);
  EXPECT_FALSE(s->window["ChkBoxPrgEEP"].checked);
  EXPECT_EQ(HexCellText(*s, HexGrid::DataFlash, 127, 0), "0x00E007F0");
  s->eepImage[0x7FF] = 0x5A;
  FillDataFlashView(*s);
  EXPECT_TRUE(s->window["ChkBoxPrgEEP"].checked);
  s->eepImage[0x7FF] = 0xFF;
  s->eepImage[0x800] = 0x5A;  // outside the shown bytes
  FillDataFlashView(*s);
  EXPECT_FALSE(s->window["ChkBoxPrgEEP"].checked);
  s->chip.eepSize = 8;
  FillDataFlashView(*s);
  EXPECT_EQ(s->eepView.rows, 0);
}

}  // namespace
}  // namespace dravon
