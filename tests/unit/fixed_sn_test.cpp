#include <gtest/gtest.h>

#include "core/format.h"
#include "persistence/serial_numbers.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::TestStation;

std::vector<uint8_t> HexBytes(const std::string& text) {
  std::vector<uint8_t> out;
  size_t at = 0;
  uint8_t b = 0;
  while (NextHexByte(text, at, b))
    out.push_back(b);
  return out;
}

TEST(FixedSn, HexGroups) {
  EXPECT_EQ(HexBytes("12 34 "), (std::vector<uint8_t>{0x12, 0x34}));
  EXPECT_EQ(HexBytes("12 34"), (std::vector<uint8_t>{0x12, 0x34}));  // the last group too
  EXPECT_EQ(HexBytes("1234 "), (std::vector<uint8_t>{0x34}));
  EXPECT_EQ(HexBytes("1Z "), (std::vector<uint8_t>{0x10}));
  EXPECT_TRUE(HexBytes("   ").empty());
}

class FixedSnWrite : public ::testing::Test {
 protected:
  FixedSnWrite() {
    ChipProfile& c = s->chip;
    c.mainBase = 0x10000000;
    c.mainEnd = 0x10007FFF;
    c.mainSize = 0x8000;
    c.eepBase = 0x18000000;
    c.eepEnd = 0x180007FF;
    c.eepSize = 0x800;
    m.mainBase = c.mainBase;
    m.eepBase = c.eepBase;
  }
  TestStation s;
  FixedSnModel m;
};

TEST_F(FixedSnWrite, TextAndHexIntoEitherArea) {
  m.data = "AB";
  WriteFixedSnData(*s, m, 0x10000000);
  EXPECT_EQ(s->mainImage.bytes[0], 0x41);
  EXPECT_EQ(s->mainImage.bytes[1], 0x42);
  m.format = 1;
  m.area = 1;
  m.data = "12 34";
  WriteFixedSnData(*s, m, 0x18000010);
  EXPECT_EQ(s->eepImage[0x10], 0x12);
  EXPECT_EQ(s->eepImage[0x11], 0x34);
  m.area = 0;
  m.data = "5A";
  WriteFixedSnData(*s, m, 0x10007FFF);  // the last address is accepted
  EXPECT_EQ(s->mainImage.bytes[0x7FFF], 0x5A);
  EXPECT_TRUE(s.host.boxes.empty());
}

TEST_F(FixedSnWrite, AnythingOutsideTheAreaIsRefusedWhole) {
  struct Case {
    int area;
    uint32_t address;
    std::string data;
    uint32_t eepSize;
  };
  const Case cases[] = {
      {0, 0x10008000, "11", 0x800},     // past the end
      {0, 0x0FFFFFFF, "11", 0x800},     // below the start
      {0, 0x10007FFF, "11 22", 0x800},  // running past the end
      {1, 0x18000000, "11", 0},         // no data flash
  };
  for (const Case& c : cases) {
    s.host.boxes.clear();
    s->chip.eepSize = c.eepSize;
    m.area = c.area;
    m.format = 1;
    m.data = c.data;
    auto before = s->mainImage.bytes;
    WriteFixedSnData(*s, m, c.address);
    ASSERT_EQ(s.host.boxes.size(), 1u) << c.address;
    EXPECT_EQ(s.host.boxes[0].text, "Address is out of Chip Memory!");
    EXPECT_TRUE(before == s->mainImage.bytes);
  }
}

TEST(OnlineSerialNumber, ByteOrderAndAdvance) {
  TestStation s;
  s->chip.mainBase = 0x10000000;
  s->chip.mainEnd = 0x10007FFF;
  s->chip.mainUsedSize = 0x8000;
  s->job.snInitial = 0x12345678;
  s->job.snLength = 4;
  s->job.snAddress = 0x10000100;
  s->window["SNOrderChk"].checked = true;
  ASSERT_TRUE(PlaceSerialNumber(*s));
  EXPECT_EQ(s->mainImage.bytes[0x100], 0x12);
  EXPECT_EQ(s->mainImage.bytes[0x103], 0x78);
  s->window["SNOrderChk"].checked = false;
  ASSERT_TRUE(PlaceSerialNumber(*s));
  EXPECT_EQ(s->mainImage.bytes[0x100], 0x78);
  EXPECT_EQ(s->mainImage.bytes[0x103], 0x12);
  s->job.snAddress = 0x10007FFE;  // would run past main flash
  EXPECT_FALSE(PlaceSerialNumber(*s));

  s->window["CheckBoxSN"].checked = true;
  s->window["ChkBoxPCSN"].checked = true;
  s->job.snInitial = 0xFFFFFFFF;
  s->job.snGain = 1;
  AdvanceSerialNumber(*s);
  EXPECT_EQ(s->job.snInitial, 0u);
  EXPECT_EQ(s->window["SNEdit1"].text, "0x00000000");
  s->window["ChkBoxSNDP"].checked = true;
  AdvanceSerialNumber(*s);
  EXPECT_EQ(s->window["SNEdit1"].text, "1");
}

// The dialog's flow: what the operator does, which boxes follow, whether the dialog comes back,
// and the reports that close every run that got past the guard.
TEST_F(FixedSnWrite, DialogFlow) {
  using Script = std::function<bool(DialogModel&)>;
  auto enter = [](std::string address, std::string data, int area = 0) -> Script {
    return [=](DialogModel& d) {
      auto& f = static_cast<FixedSnModel&>(d);
      f.area = area;
      FixedSnAreaClick(f);
      if (!address.empty()) f.addressText = address;
      f.format = 1;
      f.data = data;
      return true;
    };
  };
  const Script cancel = [](DialogModel&) { return false; };
  struct Case {
    const char* name;
    bool ready;  // chip selected and file loaded
    std::vector<Script> scripts;
    std::vector<std::string> boxes;
    size_t dialogs;
    std::vector<uint8_t> mainAt0x20;
  };
  const Case cases[] = {
      {"no chip", false, {}, {"请先选择芯片并加载数据文件！"}, 0, {0xFF, 0xFF}},
      {"cancel", true, {cancel}, {}, 1, {0xFF, 0xFF}},
      {"empty, then data",
       true,
       {enter("0x10000020", ""), enter("0x10000020", "12 34")},
       {"Please input valid Serial No. Data!"},
       2,
       {0x12, 0x34}},
      {"address that does not parse, then cancel",
       true,
       {enter("0x1000002G", "12 34"), cancel},
       {"'0x1000002G' is not a valid integer value"},
       2,
       {0xFF, 0xFF}},
      {"beyond the area closes the dialog",
       true,
       {enter("0x10008000", "12 34")},
       {"Address is out of Chip Memory!"},
       1,
       {0xFF, 0xFF}},
      {"lowercase typed is taken as upper case",
       true,
       {enter("0x10000020", "ab cd")},
       {},
       1,
       {0xAB, 0xCD}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    std::fill(s->mainImage.bytes.begin(), s->mainImage.bytes.end(), 0xFF);
    s->app.chipSelected = t.ready;
    s->app.fileLoaded = t.ready;
    s.host.boxes.clear();
    s.host.dialogsRun.clear();
    s->info.Clear();
    for (const Script& script : t.scripts)
      s.host.dialogScripts.push_back(script);
    ButtonCfgSNClick(*s);
    std::vector<std::string> boxes;
    for (const auto& b : s.host.boxes)
      boxes.push_back(b.text);
    EXPECT_EQ(boxes, t.boxes);
    EXPECT_EQ(s.host.dialogsRun.size(), t.dialogs);
    EXPECT_TRUE(s.host.dialogScripts.empty());
    EXPECT_EQ(
        std::vector<uint8_t>(s->mainImage.bytes.begin() + 0x20, s->mainImage.bytes.begin() + 0x22),
        t.mainAt0x20);
    if (!t.ready) {
      EXPECT_TRUE(s->info.Lines().empty());
      continue;
    }
    // The size line first, the sum over both areas last, whatever the dialog did.
    const auto& lines = s->info.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines.front().find(Format("Chip Actual Programmed Data Size is: %dBytes/0x%0.8x.",
                                        {s->chip.mainUsedSize, s->chip.mainUsedSize - 1})),
              std::string::npos);
    EXPECT_NE(lines.back().find(Format("Chip ACC32 CheckSum is : 0x%0.8x", {s->sums.total})),
              std::string::npos);
    EXPECT_EQ(s->window.statusPanels[1], Format("Chip CheckSum: 0x%0.8x", {s->sums.total}));
  }
}

}  // namespace
}  // namespace dravon
