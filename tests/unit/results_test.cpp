#include "operations/results.h"

#include <gtest/gtest.h>

#include "link/packet_codec.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::TestStation;

TEST(ArmChannel, BlockCountsAndBars) {
  struct Case {
    uint16_t ticks;
    uint32_t size;
    ProgressMode mode;
    uint16_t totalBlocks;
    int32_t value;
    int32_t maximum;
  };
  const Case cases[] = {
      {500, 4096, ProgressMode::Block, 4, 4, 4},
      {500, 4097, ProgressMode::Block, 5, 4, 5},
      {500, 0, ProgressMode::Block, 0, 2, 4},
      {500, 1, ProgressMode::Block, 1, 4, 1},
      {500, 0x80000, ProgressMode::Block, 512, 4, 512},
      {500, 0, ProgressMode::Tick, 0, 15, 500},
      {2000, 2048, ProgressMode::Tick, 2, 30, 2000},
      {500, 0xFFFFFFFF, ProgressMode::Block, 0xFFFF, 4, 0xFFFF},
  };
  TestStation s;
  for (const Case& c : cases) {
    Channel& ch = s->channels[3];
    ch.blockIndex = 9;
    ch.gauge.colour = GaugeColour::Red;
    ArmChannel(*s, 3, c.ticks, c.size, c.mode);
    EXPECT_EQ(ch.totalBlocks, c.totalBlocks) << c.size;
    EXPECT_EQ(ch.gauge.value, c.value) << c.size;
    EXPECT_EQ(ch.gauge.maximum, c.maximum) << c.size;
    EXPECT_EQ(ch.gauge.colour, GaugeColour::Blue);
    EXPECT_EQ(ch.blockIndex, 0);
    EXPECT_EQ(ch.timeoutTicks, c.ticks);
    EXPECT_EQ(ch.busy, 1);
  }
}

TEST(FinishChannel, LeavesTheChannelIdleWithAFullBar) {
  TestStation s;
  for (bool failed : {false, true}) {
    ArmChannel(*s, 0, 500, 8192, ProgressMode::Block);
    s->channels[0].state = ChannelState::ProgramMain;
    FinishChannel(*s, 0, failed);
    const Channel& c = s->channels[0];
    EXPECT_EQ(c.busy, 0);
    EXPECT_EQ(c.state, ChannelState::Idle);
    EXPECT_EQ(c.gauge.value, c.gauge.maximum);
    EXPECT_EQ(c.gauge.colour, failed ? GaugeColour::Red : GaugeColour::Blue);
  }
}

TEST(ErrorMessage, LookupInBothEditions) {
  struct Case {
    uint8_t code;
    const char* english;
    const char* chinese;
  };
  const Case cases[] = {
      {0x04, "Chip error: Arm Fault Response!", "芯片错误：Arm Fault响应!"},
      {0x84, "Chip error: Arm Fault Response!", "芯片错误：Arm Fault响应!"},
      {0x90, "Chip Has been Written Protected!", "芯片已被写保护！"},
      {0x20, "Packet Error!", "数据包错误！"},
      {0x31, "Chip Data Verify error!", "芯片数据校验错误!"},
      {0xE1, "ISP Mode Protection with Access Code!", "ISP Mode Protection with Access Code!"},
      {0xE3, "ISP Mode Chip Erase/Access Protect is set!",
       "ISP Mode Chip Erase/Access Protect is set!"},
      {0xE4, "ISP Mode OID Check is not passed!", "ISP Mode OID Check is not passed!"},
      // Whole-byte codes of their own, not the text of their low seven bits.
      {0xE0, "USB Communication Error!", "USB设备通讯错误！"},
      {0xA6, "USB RX Time Out!", "USB设备接收超时！"},
      {0xB2, "ID is not unmatched!", "ID 检查错误或不匹配!"},
      {0xFA, "Socket Detect Error or Not Connected!", "Socket Detect Error or Not Connected!"},
      {0xFB, "Socket Life Time is Out of Cycles!", "Socket Life Time is Out of Cycles!"},
      {0xFD, "Socket Is Not Identificated!", "Socket Is Not Identificated!"},
      {0x60, "Programming Interface error: No Response!", "编程接口错误：无响应!"},
      // The catch-all shows the whole byte.
      {0x23, "Opertaion Failed! Error Code : 035/0x23.", "操作失败！错误代码: 035/0x23"},
      {0xA3, "Opertaion Failed! Error Code : 0163/0xA3.", "操作失败！错误代码: 0163/0xA3"},
      {0x01, "Opertaion Failed! Error Code : 01/0x01.", "操作失败！错误代码: 01/0x01"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorMessage(kEnglishTexts, c.code), c.english) << int(c.code);
    EXPECT_EQ(ErrorMessage(kChineseTexts, c.code), c.chinese) << int(c.code);
  }
}

TEST(ReportResult, SuccessAndFailureLines) {
  struct Case {
    uint8_t code;
    const char* line;
    GaugeColour colour;
  };
  const Case cases[] = {
      {6, "> 14:03:22 C3 : Operation Success!", GaugeColour::Blue},
      {0, "> 14:03:22 C3 : Operation Success!", GaugeColour::Blue},
      {0x84, "> 14:03:22 C3 : Chip error: Arm Fault Response!", GaugeColour::Red},
      {0xE3, "> 14:03:22 C3 : ISP Mode Chip Erase/Access Protect is set!", GaugeColour::Red},
      {0x23, "> 14:03:22 C3 : Opertaion Failed! Error Code : 035/0x23.", GaugeColour::Red},
  };
  for (const Case& c : cases) {
    TestStation s;
    ArmChannel(*s, 2, 500, 0, ProgressMode::Tick);
    ReportResult(*s, c.code, 2);
    EXPECT_EQ(s->info.Lines().back(), c.line);
    EXPECT_EQ(s->channels[2].gauge.colour, c.colour);
    EXPECT_EQ(s->channels[2].busy, 0);
    EXPECT_EQ(s->channels[2].state, ChannelState::Idle);
  }
}

class StatusReportTest : public ::testing::Test {
 protected:
  // Puts a status report with a correct check byte into channel k's packet area.
  void Report(int k, uint8_t phase, uint8_t result, uint16_t count, uint16_t total) {
    uint8_t* p = s->channels[k].packet.data();
    p[0] = 0xFD;
    p[1] = phase;
    p[2] = result;
    PutU16(p + 3, count);
    PutU16(p + 5, total);
    uint8_t sum = 0;
    for (int i = 0; i < 7; ++i) sum = static_cast<uint8_t>(sum + p[i]);
    p[7] = static_cast<uint8_t>(0 - sum);
    HandleStatusReport(*s, k);
  }
  size_t LineCount() { return s->info.Lines().size(); }
  const std::string& Last() { return s->info.Lines().back(); }

  TestStation s;
};

TEST_F(StatusReportTest, PhasesWriteTheirLinesAndMoveTheBar) {
  struct Case {
    uint8_t phase;
    const char* line;
    int32_t value;
    int32_t maximum;
  };
  const Case cases[] = {
      {0x10, "Initial Programming Interface ....", 5, 100},
      {0x20, "Chip Blank Checking....", 50, 100},
      {0x30, "Do Chip Erasing....", 50, 100},
      {0x70, "Do Main Flash Verification....", 50, 100},
      {0x80, "Do EEP Data Verification....", 50, 100},
      {0xA0, "Do Chip Option Byte Programming....", 50, 100},
  };
  for (const Case& c : cases) {
    Report(1, c.phase, 6, 0, 0);
    EXPECT_EQ(Last(), std::string("> 14:03:22 C2 : ") + c.line);
    EXPECT_EQ(s->channels[1].gauge.value, c.value);
    EXPECT_EQ(s->channels[1].gauge.maximum, c.maximum);
  }
  size_t before = LineCount();
  Report(1, 0x55, 6, 0, 0);  // unknown phase
  EXPECT_EQ(LineCount(), before);
}

TEST_F(StatusReportTest, BlockPhasesAnnounceOnceAndFollowTheCount) {
  size_t before = LineCount();
  for (uint16_t count : {0, 4, 8, 12}) {
    Report(0, 0x40, 6, count, 128);
    EXPECT_EQ(s->channels[0].gauge.value, count + 2);
    EXPECT_EQ(s->channels[0].gauge.maximum, 128);
  }
  EXPECT_EQ(LineCount(), before + 1);
  EXPECT_EQ(Last(), "> 14:03:22 C1 : Do Main Flash Programming....");
  Report(0, 0x50, 6, 0, 16);
  Report(0, 0x50, 6, 8, 16);
  EXPECT_EQ(LineCount(), before + 2);
  EXPECT_EQ(Last(), "> 14:03:22 C1 : Do EEP Data Programming....");
}

TEST_F(StatusReportTest, CompletionCountsOkAndNg) {
  Channel& c = s->channels[4];
  c.okCount = 3;
  c.ngCount = 1;
  Report(4, 0xF0, 6, 0, 0);
  const auto& lines = s->info.Lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "> 14:03:22 C5 : Progrmming Completed : Successed !");
  EXPECT_EQ(lines.back(), "> 14:03:22 C5 : OK=4, NG=1.");
  EXPECT_EQ(c.gauge.colour, GaugeColour::Blue);
  EXPECT_EQ(c.gauge.value, c.gauge.maximum);

  Report(4, 0xF0, 0x31, 0, 0);
  EXPECT_EQ(lines[lines.size() - 2], "> 14:03:22 C5 : Progrmming Completed : Failed : Error=0x31!");
  EXPECT_EQ(lines.back(), "> 14:03:22 C5 : OK=4, NG=2.");
  EXPECT_EQ(c.gauge.colour, GaugeColour::Red);
}

TEST_F(StatusReportTest, ReportsOnlyReportAndBadCheckBytesChangeNothing) {
  Channel& c = s->channels[0];
  ArmChannel(*s, 0, 500, 4096, ProgressMode::Block);
  c.state = ChannelState::ProgramMain;
  c.timeoutTicks = 321;
  Report(0, 0xF0, 6, 0, 0);
  EXPECT_EQ(c.state, ChannelState::ProgramMain);
  EXPECT_EQ(c.busy, 1);
  EXPECT_EQ(c.timeoutTicks, 321);

  Gauge gauge = c.gauge;
  size_t before = LineCount();
  int32_t ok = c.okCount;
  c.packet[7] ^= 1;  // the same report with a wrong check byte
  HandleStatusReport(*s, 0);
  EXPECT_EQ(LineCount(), before);
  EXPECT_EQ(c.okCount, ok);
  EXPECT_EQ(c.gauge.value, gauge.value);
}

}  // namespace
}  // namespace dravon
