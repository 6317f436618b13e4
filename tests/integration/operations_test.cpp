// Programming chains on simulated units: every channel on its own, driven by replies and ticks.
#include <gtest/gtest.h>

#include <algorithm>

#include "chips/families.h"
#include "chips/flash_driver.h"
#include "core/main_window.h"
#include "link/discovery.h"
#include "operations/chains.h"
#include "operations/commands.h"
#include "support/sim_bench.h"

namespace dravon {
namespace {

using sim::Fault;
using sim::UnitOptions;
using test::SimBench;

int CountLines(Station& s, const std::string& end) {
  int n = 0;
  for (const auto& l : s.info.Lines()) {
    n += l.size() >= end.size() && l.compare(l.size() - end.size(), end.size(), end) == 0;
  }
  return n;
}

// A bench with n found units, a chip chosen and an image loaded (a pattern over 20 KiB).
struct Job {
  explicit Job(int units, const std::string& chip = "ML630Q464", UnitOptions options = {})
      : b(std::vector<UnitOptions>(units, options)) {
    FindDevices(b.station());
    b.Step(5);
    Station& s = b.station();
    s.app.programDir = DRAVON_PROGRAM_DIR;
    s.app.chipSelected = 1;
    s.chip.chipName = chip;
    SetupLapis(s, chip, chip == "ML630Q464" ? 0 : 12);
    s.chip.vendor = kVendorLapis;
    if (s.chip.usesDriver) LoadFlashDriver(s);
    for (size_t i = 0; i < 20 * 1024; ++i)
      s.mainImage.bytes[i] = static_cast<uint8_t>(i * 31 + 7);
    s.chip.mainUsedSize = 20 * 1024 + 256;
    s.app.fileLoaded = 1;
    b.host.boxes.clear();
  }
  bool AllIdle() {
    return std::none_of(b->channels.begin(), b->channels.end(),
                        [](const Channel& c) { return c.busy; });
  }
  bool Run(double maxMs = 60000) {
    return b.RunUntil([this] { return AllIdle(); }, maxMs);
  }
  int Count(const std::string& end) { return CountLines(b.station(), end); }
  std::vector<uint8_t> Commands(int unit) { return b.unit(unit).Commands(); }

  SimBench b;
};

TEST(Operations, AutoSequenceOnTenChannels) {
  Job j(10);
  AutoSpdBtnClick(j.b.station());
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.Count("Chip programming Successed!"), 10);
  for (int u = 0; u < 10; ++u) {
    const auto& chip = j.b.unit(u).ChipMain();
    EXPECT_TRUE(
        std::equal(chip.begin(), chip.begin() + 20 * 1024 + 256, j.b->mainImage.bytes.begin()))
        << u;
    EXPECT_EQ(j.b->channels[u].gauge.colour, GaugeColour::Blue);
  }
  const auto c = j.Commands(0);
  for (uint8_t code : {0x5A, 0x99, 0x9D, 0x94}) {
    EXPECT_EQ(std::count(c.begin(), c.end(), code), 0) << int(code);  // no data flash steps
  }
  // 21 KiB: six program blocks, six read-back blocks.
  EXPECT_EQ(std::count(c.begin(), c.end(), 0x95), 6);
  EXPECT_EQ(std::count(c.begin(), c.end(), 0x9B), 6);
}

TEST(Operations, NotBlankOrProtectedChipsAreErasedFirst) {
  Job j(3);
  j.b.unit(0).SetFault(Fault::NotBlank, true);
  j.b.unit(1).SetFault(Fault::ProtectedChip, true);
  AutoSpdBtnClick(j.b.station());
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.Count("C1 : Chip is not blank, do erasing......"), 1);
  EXPECT_EQ(j.Count("C2 : Chip has been protected, do erasing......"), 1);
  EXPECT_EQ(j.Count("Chip programming Successed!"), 3);
}

TEST(Operations, EraseWaitsLonger) {
  Job j(1);
  StartErase(j.b.station(), 0, "Do Chip Erase......");
  EXPECT_EQ(j.b->channels[0].state, ChannelState::Erase);
  EXPECT_EQ(j.b->channels[0].timeoutTicks, 2000);
  EXPECT_EQ(j.b->channels[0].tickProgress, 1);
}

TEST(Operations, BlankCheckAloneOnADirtyChipFails) {
  Job j(1);
  j.b.unit(0).SetFault(Fault::NotBlank, true);
  SpdBtnBlankChkClick(j.b.station());
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.Count("C1 : Chip is not blank!"), 1);
  EXPECT_EQ(j.b->channels[0].gauge.colour, GaugeColour::Red);
}

TEST(Operations, AccessProtectedChipEndsTheChain) {
  UnitOptions o;
  o.protectCode = 227;  // not one of the codes that lead to an erase
  Job j(1, "ML630Q464", o);
  j.b.unit(0).SetFault(Fault::ProtectedChip, true);
  AutoSpdBtnClick(j.b.station());
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.Count("C1 : ISP Mode Chip Erase/Access Protect is set!"), 1);
  EXPECT_EQ(j.Count("do erasing......"), 0);
}

TEST(Operations, VerifyMismatchInTheLastBlock) {
  UnitOptions o;
  o.differenceAt = 20 * 1024 + 5;  // in the last block
  Job j(2, "ML630Q464", o);
  j.b.unit(0).SetFault(Fault::VerifyDifference, true);
  j.b.host.answers = {false};  // Abort at the first mismatch box
  AutoSpdBtnClick(j.b.station());
  ASSERT_TRUE(j.Run());
  ASSERT_FALSE(j.b.host.boxes.empty());
  EXPECT_EQ(j.b.host.boxes[0].text, "Chip 1: Address=0x00005005,Buffer=0xFF,Chip=0xA5");
  EXPECT_EQ(j.Count("C1 : Chip Data Verify error!"), 1);
  EXPECT_EQ(j.Count("C2 : Chip programming Successed!"), 1);  // the other channel went on
}

TEST(Operations, VerifyInTheProgrammerForMl62q) {
  Job j(2, "ML62Q15x4");
  j.b->window["CheckBoxOpt"].checked = true;  // never written by this path
  AutoSpdBtnClick(j.b.station());
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.Count("Chip programming Successed!"), 2);
  const auto c = j.Commands(0);
  EXPECT_GT(std::count(c.begin(), c.end(), 0x92), 0);
  EXPECT_EQ(std::count(c.begin(), c.end(), 0x9B), 0);
  EXPECT_EQ(j.b.unit(0).CrcErrors(), 0);
}

TEST(Operations, DownloadWithDriverAndTheOfflineStart) {
  Job j(2);
  j.b->job.snInitial = 0;
  j.b->window["SNEdit1"].text = "100";
  j.b->window["GainEdit"].text = "2";
  SpdBtnDownLoadClick(j.b.station());
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.Count("Data Donwload Success!"), 2);
  EXPECT_EQ(j.b->app.downloadsDone, 2);
  for (int u = 0; u < 2; ++u) {
    EXPECT_TRUE(j.b.unit(u).Job().blockGood);
    EXPECT_EQ(j.b.unit(u).Job().snInitial, 100u + 2u * u);
    EXPECT_EQ(j.b.unit(u).DownloadedDriver().size(), 2048u);
    EXPECT_TRUE(j.b.unit(u).OfflineStarted());
    const auto& got = j.b.unit(u).DownloadedMain();
    ASSERT_GE(got.size(), 20u * 1024);
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + 20 * 1024, j.b->mainImage.bytes.begin()));
  }
}

TEST(Operations, UnattendedDownloadSendsNoOfflineStart) {
  Job j(1, "ML62Q15x4");
  j.b->app.unattended = 1;
  SpdBtnDownLoadClick(j.b.station());
  ASSERT_TRUE(j.Run());
  EXPECT_FALSE(j.b.unit(0).OfflineStarted());
  EXPECT_TRUE(j.b.unit(0).DownloadedDriver().empty());
}

TEST(Operations, ReadsOnChannelZero) {
  Job j(1);
  std::fill(j.b->mainImage.bytes.begin(), j.b->mainImage.bytes.end(), 0xFF);
  for (size_t i = 0; i < 0x8000; ++i)
    j.b.unit(0).ChipMain()[i] = static_cast<uint8_t>(i ^ 0x55);
  ReadChipMemory1Click(j.b.station());
  ASSERT_TRUE(j.Run());
  const auto c = j.Commands(0);
  EXPECT_EQ(std::count(c.begin(), c.end(), 0x9B), 8);
  EXPECT_TRUE(std::equal(j.b->mainImage.bytes.begin(), j.b->mainImage.bytes.begin() + 0x8000,
                         j.b.unit(0).ChipMain().begin()));
  EXPECT_EQ(j.Count("C1 : Main Flash Has been read out!"), 1);

  ReadEEPMemory1Click(j.b.station());
  ASSERT_TRUE(j.Run());
  const auto c2 = j.Commands(0);
  EXPECT_EQ(std::count(c2.begin(), c2.end(), 0x9D), 1);

  size_t before = j.b->info.Lines().size();
  ReadMG32xxChipID1Click(j.b.station());
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.b->info.Lines().size() - before, 1u + 34u);  // the announcement, then 34 lines

  j.b.host.dialogScripts.push_back([](DialogModel&) { return false; });
  before = j.b->info.Lines().size();
  ReadSpcAddressClick(j.b.station());
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.b->info.Lines().size() - before, 1u + 4u);  // heading and 64 / 16 rows
}

TEST(Operations, BusyChannelIsSkippedAndOthersRunOn) {
  Job j(2);
  j.b->channels[1].busy = 1;
  SpdBtnBlankChkClick(j.b.station());
  EXPECT_TRUE(j.b.port(1).writes.size() == 1);  // only the probe of the search
  j.b->channels[1].busy = 0;
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.Count("C1 : Chip is Blank!"), 1);
  EXPECT_EQ(j.Count("C2 : Chip is Blank!"), 0);
}

TEST(Operations, SilentChannelTimesOutWhileTheOthersFinish) {
  Job j(3);
  j.b.unit(2).SetFault(Fault::NoReply, true);
  AutoSpdBtnClick(j.b.station());
  ASSERT_TRUE(j.Run(20000));
  EXPECT_EQ(j.Count("C3 : Command Executed Time Out!"), 1);
  EXPECT_EQ(j.Count("Chip programming Successed!"), 2);
}

TEST(Operations, OnlineSerialNumberOncePerClickAndAdvancedPerChannel) {
  Job j(4, "ML62Q15x4");
  Station& s = j.b.station();
  s.chip.verifyInProgrammer = 0;  // the PC-side verify path ends with the option write
  s.window["CheckBoxSN"].checked = true;
  s.window["ChkBoxPCSN"].checked = true;
  s.window["CheckBoxOpt"].checked = true;
  s.window["SNEdit1"].text = "0x12345678";
  s.window["GainEdit"].text = "3";
  s.window["AddrEdit"].text = "0x100";
  AutoSpdBtnClick(s);
  EXPECT_EQ(s.mainImage.bytes[0x100], 0x12);  // big-endian, placed once before the start
  EXPECT_EQ(s.mainImage.bytes[0x103], 0x78);
  ASSERT_TRUE(j.Run());
  EXPECT_EQ(j.Count("Write Option Byte Successed!"), 4);
  EXPECT_EQ(s.job.snInitial, 0x12345678u + 4 * 3);
  EXPECT_EQ(s.window["SNEdit1"].text, "0x12345684");
  for (int u = 0; u < 4; ++u)
    EXPECT_EQ(j.b.unit(u).ChipMain()[0x100], 0x12);
}

}  // namespace
}  // namespace dravon
