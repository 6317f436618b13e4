#include "core/station.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/startup.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::TestStation;

bool AllBytes(const std::vector<uint8_t>& v, uint8_t value) {
  return std::all_of(v.begin(), v.end(), [value](uint8_t b) { return b == value; });
}

TEST(Station, StartUpDefaults) {
  TestStation s;
  EXPECT_EQ(s->app.programDir, "/opt/dravonprog/");
  EXPECT_EQ(s->chip.mainSize, 0u);
  EXPECT_EQ(s->chip.eepSize, 0u);
  EXPECT_EQ(s->chip.sectorSize, 0u);
  EXPECT_EQ(s->chip.mainUsedSize, 0x20000u);
  EXPECT_EQ(s->chip.familyCode, 'U');
  EXPECT_EQ(s->chip.modelName, "DravonQ40XX");
  EXPECT_EQ(s->chip.optionBase, 0x1FFFF800u);
  EXPECT_EQ(s->chip.vendor, 0);
  EXPECT_EQ(s->app.chipSelected, 0);
  EXPECT_EQ(s->app.fileLoaded, 0);
  EXPECT_EQ(s->job.snAddress, 0xFFFFFFu);
  EXPECT_EQ(s->job.powerOnTime, 10);
  EXPECT_EQ(s->job.chipInTime, 17);
  EXPECT_EQ(s->readRequest.length, 64);

  EXPECT_EQ(s->mainImage.bytes.size(), 4198400u);
  EXPECT_EQ(s->eepImage.size(), 65536u);
  EXPECT_EQ(s->extraImage.size(), 8192u);
  EXPECT_EQ(s->optionImage.size(), 8192u);
  EXPECT_TRUE(AllBytes(s->mainImage.bytes, 0xFF));
  EXPECT_TRUE(AllBytes(s->eepImage, 0xFF));
  EXPECT_TRUE(AllBytes(s->optionImage, 0x00));
  EXPECT_TRUE(AllBytes(s->extraImage, 0x00));

  for (const Channel& c : s->channels) {
    EXPECT_EQ(c.state, ChannelState::Idle);
    EXPECT_EQ(c.timeoutTicks, 200);
    EXPECT_EQ(c.busy, 0);
    EXPECT_EQ(c.found, 0);
    EXPECT_EQ(c.rxCount, 0);
    EXPECT_EQ(c.okCount, 0);
    EXPECT_GE(c.rxFrame.size(), 2 * c.packet.size() + 7);
    EXPECT_GE(c.txFrame.size(), 2 * c.packet.size() + 7);
  }
  EXPECT_EQ(s->info.Lines(),
            (std::vector<std::string>{
                "> 14:03:22 Hello DravonQuev-MAR User! ------ ",
                "> 14:03:22 File \"/opt/dravonprog/DravonLAPS.FWR\" not found, Please confirm!"}));
  EXPECT_EQ(s->app.firmwareValid, 0);
  EXPECT_EQ(s->app.connectPending, 1);
  EXPECT_EQ(s->app.channelCount, 0);  // no port of a programmer's adapter on this machine
}

TEST(Station, StartUpShowsTheMissingFirmwareFile) {
  test::ScriptedHost host;
  test::FixedClock clock;
  test::CountingRandom random;
  test::FakePortEnumerator enumerator;
  auto s = MakeStation(Platform{host, clock, random, enumerator, {}}, kChineseTexts);
  FormShow(*s, "/nowhere");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "文件\"/nowhere/DravonLAPS.FWR\"没有找到，请确认！");
}

// Minimal ports to see the binding of each channel to its own port.
class NamedPort final : public SerialPort {
 public:
  void SetName(const std::string& name) override { name_ = name; }
  const std::string& Name() const override { return name_; }
  bool Open(std::string&) override { return true; }
  void Close() override {}
  bool IsOpen() const override { return false; }
  bool Write(const uint8_t*, size_t) override { return true; }

 private:
  std::string name_;
};

TEST(Station, ResetsRestoreWhatARunChanged) {
  test::ScriptedHost host;
  test::FixedClock clock;
  test::CountingRandom random;
  test::FakePortEnumerator enumerator;
  std::array<NamedPort, kChannelCount> ports;
  Platform platform{host, clock, random, enumerator, {}};
  for (int k = 0; k < kChannelCount; ++k)
    platform.ports[k] = &ports[k];
  auto s = MakeStation(platform, kEnglishTexts);

  s->mainImage.bytes[4198399] = 0x12;
  s->optionImage[5] = 0x34;
  s->chip.familyCode = 'Q';
  s->channels[9].state = ChannelState::ReadMain;
  s->channels[9].busy = 1;
  s->channels[9].okCount = 7;
  s->app.devicesFound = 3;
  FormShow(*s, "/x");

  EXPECT_EQ(s->mainImage.bytes[4198399], 0xFF);
  EXPECT_EQ(s->optionImage[5], 0x00);
  EXPECT_EQ(s->chip.familyCode, 'U');
  EXPECT_EQ(s->channels[9].state, ChannelState::Idle);
  EXPECT_EQ(s->channels[9].busy, 0);
  EXPECT_EQ(s->channels[9].okCount, 0);
  EXPECT_EQ(s->app.devicesFound, 0);
  for (int k = 0; k < kChannelCount; ++k)
    EXPECT_EQ(s->channels[k].port, &ports[k]);
}

TEST(Station, ChipDefaultsAloneLeaveFamilySAndTheChipSize) {
  TestStation s;
  ResetChipDefaults(*s);
  EXPECT_EQ(s->chip.familyCode, 'S');
  EXPECT_EQ(s->chip.mainSize, 0x20000u);
  EXPECT_EQ(s->chip.sectorSize, 1024u);
}

}  // namespace
}  // namespace dravon
