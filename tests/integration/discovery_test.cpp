// Finding programmers on simulated units: identities, boot loaders, upgrades, silence, garbage.
#include <gtest/gtest.h>

#include "core/startup.h"
#include "link/discovery.h"
#include "link/firmware_file.h"
#include "link/packet_codec.h"
#include "link/receive.h"
#include "support/sim_bench.h"

namespace dravon {
namespace {

using sim::Fault;
using sim::UnitOptions;
using test::SimBench;

bool HasLine(Station& s, const std::string& end) {
  for (const auto& l : s.info.Lines()) {
    if (l.size() >= end.size() && l.compare(l.size() - end.size(), end.size(), end) == 0) return true;
  }
  return false;
}

UnitOptions Version(const char* v) {
  UnitOptions o;
  o.version = v;
  return o;
}

TEST(Discovery, TenUnitsWithUpgradesAndANewSearchAfterThem) {
  std::vector<UnitOptions> units(10, Version("V1.06"));
  units[1].bootLoader = true;
  units[2].version = "V1.05";
  units[4].identity = "SomeOtherBox V2.00";
  SimBench b(units);
  b.unit(3).SetFault(Fault::NoReply, true);
  b.LoadFirmware();
  ASSERT_EQ(b->app.firmwareValid, 1);

  Timer2Timer(b.station());  // the first search
  EXPECT_EQ(b->app.channelCount, 10);
  b.Step(5);
  EXPECT_EQ(b->app.devicesFound, 7) << "all but the boot loader, the silent and the foreign one";
  EXPECT_FALSE(b->channels[3].found);
  EXPECT_FALSE(b->channels[4].found);
  EXPECT_TRUE(HasLine(b.station(), "C5 : No Dvice Found!"));
  EXPECT_TRUE(HasLine(b.station(), "C1 : Find Device: DravonQ40LAP V1.06!"));
  EXPECT_TRUE(HasLine(b.station(), "C2 : Start to Upgrade Programmer 2s Firmware......"));

  ASSERT_TRUE(b.RunUntil([&] { return !b->channels[1].upgrading && !b->channels[2].upgrading; },
                         10000));
  EXPECT_EQ(b.unit(1).FirmwareBlocks(), 28);
  EXPECT_TRUE(b.unit(1).FirmwareEnded());
  // What the boot loader unmasked is the file's image, three bytes of every four.
  const auto& image = b->firmware.buffer;
  const auto& got = b.unit(1).Firmware();
  ASSERT_GE(got.size(), 28u * 2048);
  bool same = true;
  for (size_t i = 0; i < 28u * 2048; ++i) {
    if (i % 4 != 3 && got[i] != image[i]) same = false;
  }
  EXPECT_TRUE(same);
  EXPECT_TRUE(HasLine(b.station(), "C2 : Programmer 2s Firmware Fpgrade Completed!"));

  const long waited = b.host.waitedMs;
  Timer2Timer(b.station());  // a new search once no channel is upgrading, 500 ms later
  EXPECT_EQ(b.host.waitedMs - waited, 500 + 50 + 10 * 50);
  b.Step(5);
  EXPECT_TRUE(b->channels[1].found);
  EXPECT_TRUE(HasLine(b.station(), "C2 : Find Device: DravonQ40LAP V1.06!"));
  EXPECT_EQ(b->app.devicesFound, 8);  // the silent and the foreign unit are still not found
  EXPECT_EQ(b.unit(2).FirmwareBlocks(), 28);
  EXPECT_TRUE(b->app.timer2Enabled);
}

TEST(Discovery, AllFoundStopsTimer2) {
  SimBench b(std::vector<UnitOptions>(3, Version("V1.06")));
  b.LoadFirmware();
  Timer2Timer(b.station());
  b.Step(3);
  Timer2Timer(b.station());
  EXPECT_EQ(b->app.devicesFound, 3);
  EXPECT_FALSE(b->app.timer2Enabled);
}

TEST(Discovery, RepliesInAnyPiecesWithNoiseStillIdentify) {
  SimBench b(std::vector<UnitOptions>(3, Version("V1.06")));
  b.unit(0).SetFault(Fault::OneByteChunks, true);
  b.unit(1).SetFault(Fault::Noise, true);
  b.unit(2).SetFault(Fault::Garbage, true);  // 9 KiB after the reply: no harm
  FindDevices(b.station());
  b.Step(50);
  EXPECT_EQ(b->app.devicesFound, 3);
}

TEST(Discovery, BrokenRepliesAreDroppedQuietly) {
  SimBench b(std::vector<UnitOptions>(2, Version("V1.06")));
  b.unit(0).SetFault(Fault::BadEscape, true);
  b.unit(1).SetFault(Fault::WrongCrc, true);  // discovery does not check the CRC
  FindDevices(b.station());
  b.Step(5);
  EXPECT_FALSE(b->channels[0].found);
  EXPECT_TRUE(b->channels[1].found);
  EXPECT_FALSE(HasLine(b.station(), "C1 : No Dvice Found!"));
}

TEST(Discovery, PortThatWillNotOpenEndsTheSearch) {
  SimBench b(std::vector<UnitOptions>(3, Version("V1.06")));
  test::WriteFile(b.dir.File("ConfigDqg.ini"), "[Connection]\nDEV1=sim0\nDEV2=nothere\nDEV3=sim2\n");
  FindDevices(b.station());
  ASSERT_FALSE(b.host.boxes.empty());
  EXPECT_EQ(b.host.boxes[0].text.rfind("Error opening serial port:nothere", 0), 0u);
  EXPECT_TRUE(b.port(0).writes.empty()) << "no probe is sent";
}

TEST(Link, SilentBusyChannelTimesOutOnce) {
  SimBench b(std::vector<UnitOptions>(1, Version("V1.06")));
  FindDevices(b.station());
  b.Step(3);
  ASSERT_TRUE(b->channels[0].found);
  b.unit(0).SetFault(Fault::NoReply, true);
  Channel& c = b->channels[0];
  c.busy = 1;
  c.state = ChannelState::BlankCheck;
  c.timeoutTicks = 500;
  b.Step(4990);
  EXPECT_TRUE(c.busy);
  b.Step(20);
  EXPECT_FALSE(c.busy);
  EXPECT_EQ(c.state, ChannelState::Idle);
  int lines = 0;
  for (const auto& l : b->info.Lines()) lines += l.find("Command Executed Time Out!") != std::string::npos;
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(c.gauge.colour, GaugeColour::Red);
}

TEST(Link, LostPortLeavesTheList) {
  SimBench b(std::vector<UnitOptions>(3, Version("V1.06")));
  FindDevices(b.station());
  b.Step(3);
  PortLost(b.station(), 2);
  EXPECT_FALSE(b->channels[2].found);
  EXPECT_FALSE(b.port(2).IsOpen());
  EXPECT_EQ(b->window["ComboBoxCOM"].items, (std::vector<std::string>{"sim0", "sim1"}));
  PortLost(b.station(), 0);
  PortLost(b.station(), 0);
  EXPECT_TRUE(b->window["ComboBoxCOM"].items.empty());
  EXPECT_EQ(b->window["ComboBoxCOM"].text, "Please Connect device......");
}

TEST(Link, StatusReportWhileIdleIsStillHandled) {
  SimBench b(std::vector<UnitOptions>(1, Version("V1.06")));
  FindDevices(b.station());
  b.Step(3);
  uint8_t report[8] = {0xFD, 0xF0, 6, 0, 0, 0, 0, 0x0D};
  uint8_t p[32];
  size_t n = StuffFrame(report, 8, p, sizeof p);
  ReceiveData(b.station(), 0, p, n);
  EXPECT_EQ(b->channels[0].okCount, 1);
}

}  // namespace
}  // namespace dravon
