#include "core/main_window.h"

#include <gtest/gtest.h>

#include "core/numbers.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::ShownBox;
using test::TestStation;

TEST(ParseInteger, Table) {
  struct Case {
    const char* text;
    IntegerWidth width;
    std::optional<int64_t> value;
  };
  const auto b32 = IntegerWidth::Bits32;
  const auto b64 = IntegerWidth::Bits64;
  const Case cases[] = {
      {"0", b32, 0},
      {"  42", b32, 42},
      {"-17", b32, -17},
      {"+5", b32, 5},
      {"0x1F", b32, 0x1F},
      {"0X1f", b32, 0x1F},
      {"x10", b32, 16},
      {"X10", b32, 16},
      {"$FF", b32, 255},
      {"-$10", b32, -16},
      {"2147483647", b32, 2147483647},
      {"2147483648", b32, std::nullopt},
      {"-2147483648", b32, -2147483648LL},
      {"0xFFFFFFFF", b32, -1},
      {"0x000000001", b32, 1},  // leading zeros are not significant
      {"0x100000000", b32, std::nullopt},
      {"4294967295", b64, 4294967295LL},
      {"0xFFFFFFFF", b64, 0xFFFFFFFFLL},
      {"0xFFFFFFFFFFFFFFFF", b64, -1},
      {"0x1FFFFFFFFFFFFFFFF", b64, std::nullopt},
      {"9223372036854775807", b64, 9223372036854775807LL},
      {"9223372036854775808", b64, std::nullopt},
      {"", b32, std::nullopt},
      {"   ", b32, std::nullopt},
      {"0x", b32, std::nullopt},
      {"$", b32, std::nullopt},
      {"-", b32, std::nullopt},
      {"0x1G", b32, std::nullopt},
      {"12 ", b32, std::nullopt},
      {"1.5", b32, std::nullopt},
      {"--1", b32, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseInteger(c.text, c.width), c.value) << c.text;
}

TEST(SpinBoxValue, NonNumbersReadAsTheMinimumAndValuesStayInRange) {
  EXPECT_EQ(SpinBoxValue("510", 300, 1500), 510);
  EXPECT_EQ(SpinBoxValue("2000", 300, 1500), 1500);
  EXPECT_EQ(SpinBoxValue("10", 300, 1500), 300);
  EXPECT_EQ(SpinBoxValue("", 300, 1500), 300);
  EXPECT_EQ(SpinBoxValue("abc", 300, 1500), 300);
  EXPECT_EQ(SpinBoxValue("0x20", 16, 1024), 16);
  EXPECT_EQ(SpinBoxValue("99999999999999999999", 16, 1024), 1024);
}

TEST(ArrangeGauges, LayoutPerChannelCount) {
  struct Case {
    int channels;
    int visible;
    int memoHeight;
    int firstTop;
  };
  const Case cases[] = {{0, 1, 436, 466}, {1, 1, 436, 466}, {2, 4, 376, 408},  {4, 4, 376, 408},
                        {5, 8, 300, 331}, {8, 8, 300, 331}, {9, 10, 262, 292}, {10, 10, 262, 292}};
  TestStation s;
  for (const Case& c : cases) {
    s->app.channelCount = static_cast<uint8_t>(c.channels);
    ArrangeGauges(*s);
    EXPECT_EQ(s->window["InfoMemo"].height, c.memoHeight) << c.channels;
    EXPECT_EQ(s->window["Gauge1"].top, c.firstTop) << c.channels;
    for (int k = 1; k <= kChannelCount; ++k) {
      const Control& g = s->window["Gauge" + std::to_string(k)];
      EXPECT_EQ(g.visible, k <= c.visible) << c.channels << " Gauge" << k;
    }
    EXPECT_EQ(s->window["Gauge" + std::to_string(c.visible)].top, 466);
  }
}

TEST(GatherJobOptions, DefaultPanel) {
  TestStation s;
  ASSERT_TRUE(GatherJobOptions(*s));
  const JobOptions& j = s->job;
  EXPECT_EQ(j.flags33 & 0x03, 1);
  EXPECT_EQ(j.flags34 & 0x03, 0);
  EXPECT_EQ(j.flags34 & 0x80, 0);
  EXPECT_EQ(j.flags35, 0x17);
  EXPECT_EQ(j.autoDetect, 0);
  EXPECT_EQ(j.chipInTime, 17);
  EXPECT_EQ(j.chipOutTime, 17);
  EXPECT_EQ(j.powerOnTime, 10);
  EXPECT_EQ(j.powerDownTime, 10);
  EXPECT_EQ(j.runTime, 50);
  // "S/N Big Endian" starts ticked, and its bit goes into the flags whether S/N is on or not.
  EXPECT_EQ(j.snFlags, 0x04);
  EXPECT_EQ(j.snGain, 1);
  EXPECT_EQ(j.snInitial, 0u);
  EXPECT_EQ(j.snAddress, 0x0000FFF0u);
  EXPECT_EQ(j.deviceAddress, 0);
  EXPECT_EQ(j.snLength, 4);
  EXPECT_EQ(j.programEep, 0);
  EXPECT_EQ(j.programOption, 0);
  EXPECT_TRUE(s.host.boxes.empty());
}

TEST(GatherJobOptions, PanelChoices) {
  TestStation s;
  WindowModel& w = s->window;
  s->job.flags32 = 0x81;  // family bits survive the gather
  s->job.flags36 = 0x80;
  s->chip.blankIsZero = 1;
  w["SpinEditOut"].number = 2000;
  w["SpinEditIn"].number = 300;
  w["ChkBoxPrgEEP"].checked = true;
  w["CheckBoxOpt"].checked = true;
  w["ChkBoxVDD"].checked = false;
  w["CheckBoxRun"].checked = true;
  w["RadioGrpRST"].index = 2;
  w["RadioGpVolt"].index = 0;
  w["RadioGrpSpdF"].index = 1;
  w["ChkBoxRunSHT"].checked = true;
  w["ChkBoxErsEEP"].checked = true;
  w["ChkBoxBlkEr"].checked = true;
  w["ChkBoxAuto"].checked = true;
  w["CheckBoxCtrl"].checked = true;
  w["CheckBoxSN"].checked = true;
  w["SpinEditNum"].number = 123456;
  w["SNEdit1"].text = "4294967295";
  w["GainEdit"].text = "$10";
  w["AddrEdit"].text = "0x08000100";
  w["EditDevAdr"].text = "0x1A5";
  ASSERT_TRUE(GatherJobOptions(*s));
  const JobOptions& j = s->job;
  EXPECT_EQ(j.chipOutTime, 66);
  EXPECT_EQ(j.chipInTime, 10);
  EXPECT_EQ(j.flags35, 0x7F);
  EXPECT_EQ(j.programEep, 1);
  EXPECT_EQ(j.programOption, 1);
  EXPECT_EQ(j.flags34, 0x80 | 0x04 | 0x02);
  EXPECT_EQ(j.flags33, 0x10 | 0x08 | 0x00);
  EXPECT_EQ(j.flags32, 0x81 | 0x10 | 0x20);
  EXPECT_EQ(j.flags36, 0x80 | 0x02);
  EXPECT_EQ(j.autoDetect, 15);
  EXPECT_EQ(j.snFlags, 0x45);
  EXPECT_EQ(j.maxCount, 123456u);
  EXPECT_EQ(j.snInitial, 0xFFFFFFFFu);
  EXPECT_EQ(j.snGain, 16);
  EXPECT_EQ(j.snAddress, 0x08000100u);
  EXPECT_EQ(j.deviceAddress, 0xA5);
}

TEST(GatherJobOptions, ConversionErrorStopsAndKeepsLaterFields) {
  TestStation s;
  ASSERT_TRUE(GatherJobOptions(*s));
  s->job.snGain = 7;
  s->job.snInitial = 99;
  s->sums.optionCrc = 0xBEEF;
  s->window["GainEdit"].text = "0x1G";
  s->window["SNEdit1"].text = "0x00000005";
  s->window["SpinEditIn"].number = 300;
  EXPECT_FALSE(GatherJobOptions(*s));
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0].kind, BoxKind::Error);
  EXPECT_EQ(s.host.boxes[0].text, "'0x1G' is not a valid integer value");
  EXPECT_EQ(s->job.snGain, 7);       // the failing field keeps its value
  EXPECT_EQ(s->job.snInitial, 99u);  // and so do the fields after it
  EXPECT_EQ(s->sums.optionCrc, 0xBEEF);
  EXPECT_EQ(s->job.chipInTime, 10);  // fields before it are taken
}

TEST(GatherJobOptions, OptionChecksumsCover128Or256Bytes) {
  TestStation s;
  s->optionImage[127] = 0x01;
  s->optionImage[200] = 0x10;
  ASSERT_TRUE(GatherJobOptions(*s));
  EXPECT_EQ(s->sums.optionSum, 0x01);
  s->chip.chipCode1 = 0xC0;
  ASSERT_TRUE(GatherJobOptions(*s));
  EXPECT_EQ(s->sums.optionSum, 0x11);
  uint16_t crc256 = s->sums.optionCrc;
  s->chip.chipCode1 = 0;
  ASSERT_TRUE(GatherJobOptions(*s));
  EXPECT_NE(s->sums.optionCrc, crc256);
}

TEST(PanelRules, EnablingFollowsTheCheckBoxes) {
  TestStation s;
  WindowModel& w = s->window;
  EXPECT_FALSE(w["SpinEditNum"].enabled);
  w["CheckBoxCtrl"].checked = true;
  CheckBoxCtrlClick(*s);
  EXPECT_TRUE(w["SpinEditNum"].enabled);
  w["CheckBoxCtrl"].checked = false;
  CheckBoxCtrlClick(*s);
  EXPECT_FALSE(w["SpinEditNum"].enabled);

  EXPECT_TRUE(w["SpinEditIn"].enabled);  // enabled at start although unticked
  ChkBoxAutoClick(*s);
  EXPECT_FALSE(w["SpinEditIn"].enabled);
  EXPECT_FALSE(w["SpinEditOut"].enabled);
  w["ChkBoxAuto"].checked = true;
  ChkBoxAutoClick(*s);
  EXPECT_TRUE(w["SpinEditIn"].enabled);
}

TEST(FormKeyPress, EnterRunsAutoWhichAsksForAChipFirst) {
  for (const Texts* texts : {&kEnglishTexts, &kChineseTexts}) {
    TestStation s(*texts);
    s->window["ViewPageCtrl"].index = 2;
    FormKeyPress(*s, 'a');
    EXPECT_TRUE(s.host.boxes.empty());
    FormKeyPress(*s, 13);
    ASSERT_EQ(s.host.boxes.size(), 1u);
    EXPECT_EQ(s.host.boxes[0].text, texts->selectChipFirst);
    EXPECT_EQ(s.host.boxes[0].kind, BoxKind::Information);
    EXPECT_EQ(s->window["ViewPageCtrl"].index, 0);
  }
}

TEST(Editions, CaptionsAndStatusPanels) {
  TestStation en(kEnglishTexts);
  TestStation zh(kChineseTexts);
  EXPECT_EQ(en->window["ChkBoxBlkEr"].caption, "Anti. Piggyback");
  EXPECT_EQ(zh->window["ChkBoxBlkEr"].caption, "非空报错退出");
  EXPECT_EQ(en->window["ChkBoxBlkEr"].hint, "Check to report error if chip is not blank");
  EXPECT_EQ(zh->window["ChkBoxBlkEr"].hint, "Check to report error if chip is not blank");
  EXPECT_EQ(en->window["RadioGrpRST"].items,
            (std::vector<std::string>{"Output Low", "Shut Reset (HiZ)", "Reset and Shut"}));
  EXPECT_EQ(zh->window["RadioGrpRST"].items,
            (std::vector<std::string>{"输出常低电平", "关闭输出(高阻)", "输出复位后关闭"}));
  EXPECT_EQ(en->window.statusPanels[0], "File CheckSum: ");
  EXPECT_EQ(zh->window.statusPanels[1], "芯片校验和：");
  EXPECT_EQ(en->window["Exit1"].caption, "E&xit");
  EXPECT_EQ(zh->window["Exit1"].caption, "E&xit");
  EXPECT_EQ(zh->window["SpdBtnExit"].caption, "退出");
  EXPECT_EQ(en->window["SpdBtnExit"].caption, "&Eixt");
}

}  // namespace
}  // namespace dravon
