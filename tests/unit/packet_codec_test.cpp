#include "link/packet_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace dravon {
namespace {

using Bytes = std::vector<uint8_t>;

// A packet with header, payload and a correct CRC, as a programmer would send it.
Bytes MakePacket(uint8_t command, const Bytes& payload) {
  Bytes p(8 + payload.size());
  p[0] = command;
  p[3] = 'U';
  PutU16(p.data() + 6, static_cast<uint16_t>(payload.size()));
  std::copy(payload.begin(), payload.end(), p.begin() + 8);
  uint16_t crc = PacketCrc16N(p.data(), static_cast<uint32_t>(p.size()));
  p.push_back(static_cast<uint8_t>(crc));
  p.push_back(static_cast<uint8_t>(crc >> 8));
  return p;
}

Bytes Stuff(const Bytes& packet) {
  Bytes out(2 * packet.size() + 7);
  out.resize(StuffFrame(packet.data(), packet.size(), out.data(), out.size()));
  return out;
}

struct Extracted {
  std::vector<Bytes> frames;
  size_t position = 0;
};

Extracted ExtractAll(const Bytes& stream, size_t frameCapacity = 12295) {
  Extracted r;
  Bytes frame(frameCapacity);
  size_t length = 0;
  while (ExtractFrame(stream.data(), stream.size(), r.position, frame.data(), frame.size(),
                      length)) {
    r.frames.emplace_back(frame.begin(), frame.begin() + static_cast<long>(length));
  }
  return r;
}

struct Unstuffed {
  uint8_t status;
  Bytes packet;
};

Unstuffed Unstuff(const Bytes& frame, size_t capacity = 6144) {
  Bytes packet(capacity);
  size_t length = 99;
  uint8_t status = UnstuffFrame(frame.data(), frame.size(), packet.data(), packet.size(), length);
  packet.resize(length);
  return {status, packet};
}

TEST(PacketCrc16, KnownValues) {
  struct Case {
    Bytes bytes;
    uint16_t crc;
  };
  const Case cases[] = {
      {{'a', 'b', 'c'}, 0x2543},
      {{0x01}, 0x0001},
      {{0x01, 0x00}, 0x4A12},
      {{0xBD, 0x00, 0x52, 0x53, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00}, 0x53CF},
  };
  for (const Case& c : cases) {
    uint32_t end = static_cast<uint32_t>(c.bytes.size() - 1);
    EXPECT_EQ(PacketCrc16(c.bytes.data(), 0, end), c.crc);
    EXPECT_EQ(PacketCrc16N(c.bytes.data(), end + 1), c.crc);
  }
}

TEST(PacketCrc16, EmptyOrOutOfRangeIsZero) {
  const Bytes bytes = {1, 2, 3, 4};
  EXPECT_EQ(PacketCrc16(bytes.data(), 2, 1), 0);
  EXPECT_EQ(PacketCrc16(bytes.data(), 0x1000000, 0x1000001), 0);
  EXPECT_EQ(PacketCrc16(bytes.data(), 0, 0x1000000), 0);
  EXPECT_EQ(PacketCrc16N(bytes.data(), 0), 0);
  // A range inside the buffer but not at its start.
  EXPECT_EQ(PacketCrc16(bytes.data(), 1, 1), PacketCrc16N(bytes.data() + 1, 1));
}

TEST(StuffFrame, FirmwareEndExample) {
  const Bytes packet = {0xBD, 0x00, 0x52, 0x53, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0xCF, 0x53};
  const Bytes expected = {0xC0, 0xBD, 0x00, 0x52, 0x53, 0x00, 0x00, 0x02, 0x00, 0x00,
                          0x00, 0xCF, 0x53, 0xC0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(Stuff(packet), expected);
}

TEST(StuffFrame, EscapesDelimiterAndEscapeBytes) {
  EXPECT_EQ(Stuff({0xC0, 0x41, 0xDB}),
            (Bytes{0xC0, 0xDB, 0xDC, 0x41, 0xDB, 0xDD, 0xC0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  // Every byte escaped: the frame is exactly 2n + 7 long and still fits its worst-case buffer.
  Bytes all(6144, 0xC0);
  EXPECT_EQ(Stuff(all).size(), 2 * all.size() + 7);
  Bytes small(10);
  EXPECT_EQ(StuffFrame(all.data(), all.size(), small.data(), small.size()), 0u);
}

TEST(ExtractFrame, DoubledDelimiterStartsAtTheSecond) {
  const Bytes stream = {0xC0, 0xC0, 0x41, 0x42, 0xC0};
  Extracted r = ExtractAll(stream);
  ASSERT_EQ(r.frames.size(), 1u);
  EXPECT_EQ(r.frames[0], (Bytes{0xC0, 0x41, 0x42, 0xC0}));
}

TEST(ExtractFrame, TwoFramesWithTailsAndNoise) {
  Bytes a = Stuff(MakePacket(0x55, {1, 2, 3}));
  Bytes b = Stuff(MakePacket(0x95, {0xC0, 0xDB}));
  Bytes stream = {0x00, 0x17};  // noise before the first frame
  stream.insert(stream.end(), a.begin(), a.end());
  stream.insert(stream.end(), b.begin(), b.end());
  Extracted r = ExtractAll(stream);
  ASSERT_EQ(r.frames.size(), 2u);
  EXPECT_EQ(r.frames[0], Bytes(a.begin(), a.end() - 5));
  EXPECT_EQ(r.frames[1], Bytes(b.begin(), b.end() - 5));
}

TEST(ExtractFrame, IncompleteFrameIsNotFound) {
  const Bytes cases[] = {{}, {0xFF, 0xFF}, {0xC0}, {0xC0, 0x41, 0x42}, {0xC0, 0xC0}};
  for (const Bytes& stream : cases) {
    Extracted r = ExtractAll(stream);
    EXPECT_TRUE(r.frames.empty());
  }
}

TEST(ExtractFrame, FrameLongerThanItsBufferIsCutAndFailsToUnstuff) {
  Bytes stream = {0xC0};
  stream.insert(stream.end(), 100, 0x41);
  stream.push_back(0xC0);
  Extracted r = ExtractAll(stream, 16);
  ASSERT_FALSE(r.frames.empty());
  for (const Bytes& f : r.frames) EXPECT_LE(f.size(), 16u);
  EXPECT_EQ(Unstuff(r.frames[0]).status, kResultPacketError);
}

TEST(UnstuffFrame, Cases) {
  struct Case {
    const char* name;
    Bytes frame;
    uint8_t status;
    Bytes packet;
  };
  const Bytes eight = {1, 2, 3, 4, 5, 6, 7, 8};
  auto framed = [](Bytes inner) {
    inner.insert(inner.begin(), 0xC0);
    inner.push_back(0xC0);
    return inner;
  };
  const Case cases[] = {
      {"plain", framed(eight), 0, eight},
      {"escaped C0", framed({0xDB, 0xDC, 2, 3, 4, 5, 6, 7, 8}), 0, {0xC0, 2, 3, 4, 5, 6, 7, 8}},
      {"escaped DB", framed({0xDB, 0xDD, 2, 3, 4, 5, 6, 7, 8}), 0, {0xDB, 2, 3, 4, 5, 6, 7, 8}},
      {"doubled start", {0xC0, 0xC0, 1, 2, 3, 4, 5, 6, 7, 8, 0xC0}, 0, eight},
      {"bad escape", framed({1, 2, 0xDB, 0x41, 5, 6, 7, 8, 9}), kResultPacketError, {}},
      {"escape cut by the end", framed({1, 2, 3, 4, 5, 6, 7, 8, 0xDB}), kResultPacketError, {}},
      {"seven bytes", framed({1, 2, 3, 4, 5, 6, 7}), kResultPacketError, {}},
      {"no end delimiter", {0xC0, 1, 2, 3, 4, 5, 6, 7, 8}, kResultPacketError, {}},
      {"no delimiter at all", eight, kResultPacketError, {}},
  };
  for (const Case& c : cases) {
    Unstuffed u = Unstuff(c.frame);
    EXPECT_EQ(u.status, c.status) << c.name;
    EXPECT_EQ(u.packet, c.packet) << c.name;
  }
}

TEST(UnstuffFrame, PacketLongerThanItsBufferIsAFramingError) {
  Bytes frame(2 + 20, 0x41);
  frame.front() = frame.back() = 0xC0;
  EXPECT_EQ(Unstuff(frame, 20).status, 0);
  EXPECT_EQ(Unstuff(frame, 19).status, kResultPacketError);
}

TEST(CheckReply, StatusDataAndCrc) {
  Bytes status6 = MakePacket(0x93, {6});
  EXPECT_EQ(CheckReply(status6.data(), status6.size()), 6);
  Bytes status21 = MakePacket(0x93, {21, 0});
  EXPECT_EQ(CheckReply(status21.data(), status21.size()), 21);
  Bytes data = MakePacket(0x9B, Bytes(4096, 0xA5));
  EXPECT_EQ(CheckReply(data.data(), data.size()), 0);
  for (Bytes* p : {&status6, &data}) {
    Bytes bad = *p;
    bad[bad.size() - 1] ^= 0x01;
    EXPECT_EQ(CheckReply(bad.data(), bad.size()), kResultCrcError);
  }
}

TEST(CheckReply, StatusByteOutsideTheReplyIsAPacketError) {
  // Eight zero bytes: the CRC of the first six is 0, which also reads as payload length 0, so
  // this is a status reply whose status byte would lie past its end.
  const Bytes p(8, 0);
  ASSERT_EQ(PacketCrc16N(p.data(), 6), 0);
  EXPECT_EQ(CheckReply(p.data(), p.size()), kResultPacketError);
  EXPECT_EQ(CheckReply(p.data(), 5), kResultPacketError);
}

TEST(StatusReport, PassesUnstuffingAndIsRecognisedByItsFirstByte) {
  Bytes report = {0xFD, 0xF0, 6, 1, 0, 1, 0, 0};
  uint8_t sum = 0;
  for (uint8_t b : report) sum = static_cast<uint8_t>(sum + b);
  report[7] = static_cast<uint8_t>(0 - sum);
  Extracted r = ExtractAll(Stuff(report));
  ASSERT_EQ(r.frames.size(), 1u);
  Unstuffed u = Unstuff(r.frames[0]);
  EXPECT_EQ(u.status, 0);
  EXPECT_EQ(u.packet, report);
  EXPECT_EQ(u.packet[0], 0xFD);
}

TEST(Codec, RandomPacketsSurviveTheWireInAnyChunking) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 50; ++round) {
    Bytes payload(3 + static_cast<size_t>(gen() % 4200));
    // Plenty of delimiter and escape bytes.
    for (uint8_t& b : payload) b = (gen() % 4 == 0) ? (gen() % 2 ? 0xC0 : 0xDB) : byte(gen);
    Bytes packet = MakePacket(0x9B, payload);
    Bytes stream = Stuff(packet);
    Extracted r = ExtractAll(stream);
    ASSERT_EQ(r.frames.size(), 1u);
    Unstuffed u = Unstuff(r.frames[0]);
    ASSERT_EQ(u.status, 0);
    EXPECT_EQ(u.packet, packet);
    EXPECT_EQ(CheckReply(u.packet.data(), u.packet.size()), 0);
  }
}

}  // namespace
}  // namespace dravon
