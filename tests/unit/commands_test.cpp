#include "link/commands.h"

#include <gtest/gtest.h>

#include <cstring>

#include "link/discovery.h"
#include "link/packet_codec.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::TestStation;

// Keeps what the builders write.
class RecordingPort final : public SerialPort {
 public:
  void SetName(const std::string& name) override { name_ = name; }
  const std::string& Name() const override { return name_; }
  bool Open(std::string&) override { return open = true; }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  bool Write(const uint8_t* bytes, size_t length) override {
    last.assign(bytes, bytes + length);
    return true;
  }
  bool open = true;
  std::vector<uint8_t> last;

 private:
  std::string name_;
};

class Builders : public ::testing::Test {
 protected:
  Builders() : station(MakeStation(Platform{host, clock, random, ports, {&port}}, kEnglishTexts)) {
    ResetChannelTable(*station);
    Station& s = *station;
    s.chip.familyCode = 'U';
    s.chip.chipCode1 = 0x10;
    s.chip.chipCode2 = 0x20;
    s.chip.mainUsedSize = 0x8000;
    s.chip.mainBase = 0x10000000;
    s.chip.eepBase = 0x18000000;
    s.chip.eepSize = 0x800;
    s.chip.sectorSize = 0x400;
  }
  // The packet inside the last frame written, its CRC checked.
  std::vector<uint8_t> Sent(size_t crcShort = 0) {
    std::vector<uint8_t> packet(6144);
    size_t n = 0;
    EXPECT_EQ(UnstuffFrame(port.last.data(), port.last.size(), packet.data(), packet.size(), n), 0);
    packet.resize(n);
    EXPECT_EQ(PacketCrc16N(packet.data(), static_cast<uint32_t>(n - 2 - crcShort)),
              GetU16(packet.data() + n - 2));
    return packet;
  }

  test::ScriptedHost host;
  test::FixedClock clock;
  test::CountingRandom random;
  test::FakePortEnumerator ports;
  RecordingPort port;
  std::unique_ptr<Station> station;
};

TEST_F(Builders, IdentifyIsRawBytes) {
  ASSERT_TRUE(SendIdentify(*station, 0));
  EXPECT_EQ(port.last, (std::vector<uint8_t>{0xC0, 0xA3, 0xA5, 0x35, 0xC0, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF}));
  port.open = false;
  EXPECT_FALSE(SendIdentify(*station, 0));
}

TEST_F(Builders, StartOfflineAndFirmwareEndAreFixed) {
  ASSERT_TRUE(SendStartOffline(*station, 0));
  std::vector<uint8_t> p = Sent();
  EXPECT_EQ(std::vector<uint8_t>(p.begin(), p.begin() + 10),
            (std::vector<uint8_t>{0x8A, 'R', 'E', 'S', 'T', 0xA8, 0x02, 0x00, 0x00, 0x00}));
}

TEST_F(Builders, ChipActionCarriesTheConfigurationBlock) {
  Station& s = *station;
  s.job.flags32 = 0x80;
  s.job.flags35 = 0x17;
  s.sums.mainCrc = 0xBEEF;
  s.job.runTime = 50;
  ASSERT_TRUE(SendChipAction(s, kCmdChipAction, kActionBlankCheck, 0));
  std::vector<uint8_t> p = Sent();
  ASSERT_EQ(p.size(), 8u + 80 + 2);
  EXPECT_EQ(p[0], 0x93);
  EXPECT_EQ(GetU16(p.data() + 1), 5);
  EXPECT_EQ(p[3], 'U');
  EXPECT_EQ(p[4], 0x10);
  EXPECT_EQ(p[5], 0x20);
  EXPECT_EQ(GetU16(p.data() + 6), 80);
  const uint8_t* cfg = p.data() + 8;
  EXPECT_EQ(cfg[3], 'U');
  EXPECT_EQ(GetU16(cfg + 10), 0);
  EXPECT_EQ(GetU32(cfg + 16), 0x8000u);
  EXPECT_EQ(GetU32(cfg + 24), 0x10000000u);
  EXPECT_EQ(GetU32(cfg + 28), 0x18000000u);
  EXPECT_EQ(cfg[32], 0x80);
  EXPECT_EQ(cfg[35], 0x17);
  EXPECT_EQ(GetU16(cfg + 44), 0x400);
  EXPECT_EQ(GetU16(cfg + 48), 0xBEEF);
  EXPECT_EQ(GetU16(cfg + 68), 50);
  EXPECT_EQ(std::vector<uint8_t>(cfg + 70, cfg + 80), std::vector<uint8_t>(10, 0xFF));
}

TEST_F(Builders, DataCommandsCarryFourKilobytes) {
  Station& s = *station;
  s.mainImage.bytes[4 * 1024] = 0x5A;
  s.channels[0].state = ChannelState::ProgramMain;
  ASSERT_TRUE(SendDataCommand(s, kCmdProgramMainBlock, 4, 0));
  std::vector<uint8_t> p = Sent();
  EXPECT_EQ(p.size(), 8u + 4176 + 2);
  EXPECT_EQ(GetU16(p.data() + 6), 0x1050);
  EXPECT_EQ(p[88], 0x5A);
  s.eepImage[1024] = 0x33;
  ASSERT_TRUE(SendEepDataCommand(s, kCmdVerifyEepBlock, 1, 0));
  EXPECT_EQ(Sent()[88], 0x33);
}

TEST_F(Builders, OptionDataHasItsOneByteShortCrc) {
  Station& s = *station;
  s.optionImage[0] = 0xA5;
  ASSERT_TRUE(SendOptionData(s, 0));
  std::vector<uint8_t> p = Sent(1);
  EXPECT_EQ(p.size(), 1114u);
  EXPECT_EQ(p[88], 0xA5);
  s.chip.chipCode1 = 0xC0;
  ASSERT_TRUE(SendOptionData(s, 0));
  EXPECT_EQ(Sent(1).size(), 4186u);
}

TEST_F(Builders, ReadAddressSendsTheRequest) {
  station->readRequest.address = 0x10001230;
  station->readRequest.length = 128;
  ASSERT_TRUE(SendReadAddress(*station, 0));
  std::vector<uint8_t> p = Sent();
  EXPECT_EQ(p.size(), 74u);
  EXPECT_EQ(GetU16(p.data() + 1), 0x79);
  EXPECT_EQ(GetU32(p.data() + 56), 0x10001230u);
  EXPECT_EQ(GetU16(p.data() + 60), 128);
}

TEST_F(Builders, JobBlockPerChannelAndScrambled) {
  Station& s = *station;
  s.app.channelCount = 2;
  s.job.snInitial = 0x100;
  s.job.snGain = 2;
  s.chip.chipName = "ML62Q15x4ABCDEFG";  // exactly 16 characters
  s.mainImage.fileName = "";
  BuildJobBlock(s, 1);
  const uint8_t* b = s.channels[1].packet.data() + 8;
  EXPECT_EQ(std::memcmp(b, "ZWLP", 4), 0);
  EXPECT_EQ(GetU16(b + 90), 4);
  EXPECT_EQ(GetU32(b + 96), 0x102u);
  EXPECT_EQ(std::memcmp(b + 240, "ML62Q15x4ABCDEFG", 16), 0);
  EXPECT_EQ(b[256], '?');
  EXPECT_EQ(b[257], 0);
  EXPECT_EQ(PacketCrc16N(b, 508), GetU16(b + 508));

  const uint16_t key = 0x1234;
  ASSERT_TRUE(SendJobBlock(s, key, 0));
  std::vector<uint8_t> p = Sent();
  ASSERT_EQ(p.size(), 1034u);
  const uint8_t kL = static_cast<uint8_t>((key & 0xFF) ^ kJobKeyLow) | 0x80;
  const uint8_t kH = static_cast<uint8_t>((key >> 8) ^ kJobKeyHigh) | 0x80;
  for (size_t i = 0; i < 1024; ++i) p[8 + i] ^= (i % 2 == 0) ? kL : kH;
  EXPECT_TRUE(std::equal(p.begin() + 8, p.begin() + 520, p.begin() + 520));
  EXPECT_EQ(GetU32(p.data() + 8 + 96), 0x100u);

  // Built twice: a fresh random byte and key each time.
  BuildJobBlock(s, 0);
  std::vector<uint8_t> first(s.channels[0].packet.begin() + 8, s.channels[0].packet.begin() + 520);
  BuildJobBlock(s, 0);
  std::vector<uint8_t> second(s.channels[0].packet.begin() + 8, s.channels[0].packet.begin() + 520);
  EXPECT_NE(first[4 + 6], second[4 + 6]);
  EXPECT_NE(GetU16(first.data() + 4 + 10), GetU16(second.data() + 4 + 10));
}

TEST(PortConfig, Lines) {
  EXPECT_EQ(ParsePortConfig("; comment\r\n[Connection]\r\nDEV1=COM3\r\nDEV2=COM7\r\n"),
            (std::vector<std::string>{"COM3", "COM7"}));
  EXPECT_EQ(ParsePortConfig("[Connection]\nDEV2=COM9\nDEV1=COM4\n"),
            (std::vector<std::string>{"COM9", "COM4"}));
  EXPECT_EQ(ParsePortConfig("[Connection]\ndev1=/dev/ttyUSB0\nTOTDEV=1\n"),
            (std::vector<std::string>{"/dev/ttyUSB0"}));
  EXPECT_TRUE(ParsePortConfig("DEV1=COM3\n").empty());  // no section
  EXPECT_EQ(ParsePortConfig("[Connection]\nDEV1COM3\nDEVX=COM4\nDEV11=COM5\nDEV0=COM6\nDEV3=COM8\n"),
            (std::vector<std::string>{"COM8"}));
}

TEST(Identity, VersionsAndTexts) {
  TestStation s;
  s->firmware.version = std::string("V1.06\0\0\0", 8);
  auto reply = [](const std::string& text, uint16_t length) {
    std::vector<uint8_t> p(28 + text.size() + 3, 0);
    p[0] = 0xA3;
    p[1] = 0xA5;
    p[2] = 0x35;
    PutU16(p.data() + 6, length);
    std::memcpy(p.data() + 28, text.data(), text.size());
    return p;
  };
  std::string identity;
  auto older = reply("DravonQ40LAP V1.05,", 19);
  EXPECT_EQ(CheckAppIdentity(*s, older.data(), older.size(), identity), 3);
  EXPECT_EQ(identity, "DravonQ40LAP V1.05,");
  auto same = reply("DravonQ40LAP V1.06", 18);
  EXPECT_EQ(CheckAppIdentity(*s, same.data(), same.size(), identity), 0);
  auto newer = reply("DravonQ40LAP V1.10", 18);
  EXPECT_EQ(CheckAppIdentity(*s, newer.data(), newer.size(), identity), 0);
  auto empty = reply("DravonQ40LAP V1.05", 0);
  EXPECT_EQ(CheckAppIdentity(*s, empty.data(), empty.size(), identity), 15);
  EXPECT_EQ(CheckBootIdentity(empty.data(), empty.size()), 15);
  auto boot = reply("DravonQ40XXX-XX", 15);
  EXPECT_NE(CheckAppIdentity(*s, boot.data(), boot.size(), identity), 0);
  EXPECT_EQ(CheckBootIdentity(boot.data(), boot.size()), 0);
  auto other = reply("Something", 9);
  EXPECT_EQ(CheckBootIdentity(other.data(), other.size()), 31);
}

}  // namespace
}  // namespace dravon
