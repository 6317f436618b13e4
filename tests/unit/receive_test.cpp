#include "link/receive.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "link/packet_codec.h"
#include "operations/chains.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Frame(Bytes packet) {
  uint16_t crc = PacketCrc16N(packet.data(), static_cast<uint32_t>(packet.size()));
  packet.push_back(static_cast<uint8_t>(crc));
  packet.push_back(static_cast<uint8_t>(crc >> 8));
  Bytes out(2 * packet.size() + 7);
  out.resize(StuffFrame(packet.data(), packet.size(), out.data(), out.size()));
  return out;
}

Bytes Reply(uint8_t command, size_t payloadLength, uint8_t fill) {
  Bytes p = {command, 0, 0, 'U', 0, 0, 0, 0};
  PutU16(p.data() + 6, static_cast<uint16_t>(payloadLength));
  p.insert(p.end(), payloadLength, fill);
  return Frame(p);
}

// Feeds the stream in pieces and returns the unstuffed packets in arrival order.
std::vector<Bytes> Feed(Channel& c, const Bytes& stream, size_t piece) {
  std::vector<Bytes> packets;
  for (size_t at = 0; at < stream.size(); at += piece) {
    size_t n = std::min(piece, stream.size() - at);
    CollectFrames(c, stream.data() + at, n, [&](size_t frameLength) {
      size_t packetLength = 0;
      EXPECT_EQ(UnstuffFrame(c, frameLength, packetLength), 0);
      packets.emplace_back(c.packet.begin(), c.packet.begin() + static_cast<long>(packetLength));
    });
  }
  return packets;
}

TEST(Receive, FramesSplitAnywhereArriveWhole) {
  Bytes a = Reply(0x9B, 4096, 0xC0);
  Bytes b = Reply(0x93, 1, 6);
  Bytes stream = a;
  stream.insert(stream.end(), b.begin(), b.end());
  for (size_t piece : {1u, 2u, 3u, 7u, 64u, 1000u, 2048u}) {
    auto c = std::make_unique<Channel>();
    std::vector<Bytes> packets = Feed(*c, stream, piece);
    ASSERT_EQ(packets.size(), 2u) << "piece " << piece;
    EXPECT_EQ(packets[0].size(), 4106u);
    EXPECT_EQ(CheckReply(packets[0].data(), packets[0].size()), 0);
    EXPECT_EQ(CheckReply(packets[1].data(), packets[1].size()), 6);
    EXPECT_EQ(c->rxCount, 5u) << "only the last tail stays";
  }
}

TEST(Receive, PartialFrameStaysWithTheBytesBeforeIt) {
  auto c = std::make_unique<Channel>();
  Bytes frame = Reply(0x93, 1, 6);
  Bytes head = {0x11, 0x22};
  head.insert(head.end(), frame.begin(), frame.begin() + 6);
  EXPECT_TRUE(Feed(*c, head, head.size()).empty());
  EXPECT_EQ(c->rxCount, head.size());
  EXPECT_EQ(Bytes(c->rxBuffer.begin(), c->rxBuffer.begin() + c->rxCount), head);
  Bytes rest(frame.begin() + 6, frame.end());
  EXPECT_EQ(Feed(*c, rest, rest.size()).size(), 1u);
}

TEST(Receive, GarbageWithoutAFrameNeverOverrunsTheBuffer) {
  auto c = std::make_unique<Channel>();
  Bytes garbage(9 * 1024, 0x5A);
  for (int round = 0; round < 4; ++round) {
    EXPECT_TRUE(Feed(*c, garbage, 2048).empty());
    EXPECT_LE(c->rxCount, kRxBufferSize);
  }
  // A good frame after the garbage still gets through.
  EXPECT_EQ(Feed(*c, Reply(0x93, 1, 6), 2048).size(), 1u);
}

TEST(AppendReceived, OverflowKeepsThePendingFrameFromItsLastDelimiter) {
  auto c = std::make_unique<Channel>();
  // Fill the buffer to within a chunk of its end: noise, then the start of a frame.
  Bytes noise(kRxBufferSize - 1000, 0x5A);
  AppendReceived(*c, noise.data(), noise.size());
  Bytes start = {0xC0, 1, 2, 3};
  AppendReceived(*c, start.data(), start.size());
  Bytes chunk(2048, 0x41);
  AppendReceived(*c, chunk.data(), chunk.size());
  ASSERT_EQ(c->rxCount, start.size() + chunk.size());
  EXPECT_EQ(Bytes(c->rxBuffer.begin(), c->rxBuffer.begin() + 4), start);
}

TEST(AppendReceived, OverflowWithNoRoomEvenForThePendingFrameEmptiesFirst) {
  auto c = std::make_unique<Channel>();
  Bytes pending(kRxBufferSize - 10, 0x41);
  pending[0] = 0xC0;
  AppendReceived(*c, pending.data(), pending.size());
  Bytes chunk(2048, 0x42);
  AppendReceived(*c, chunk.data(), chunk.size());
  EXPECT_EQ(c->rxCount, chunk.size());
  EXPECT_EQ(c->rxBuffer[0], 0x42);
}

TEST(AppendReceived, ChunkLargerThanTheBufferKeepsItsEnd) {
  auto c = std::make_unique<Channel>();
  Bytes huge(kRxBufferSize + 100, 0x41);
  huge.back() = 0x99;
  AppendReceived(*c, huge.data(), huge.size());
  EXPECT_EQ(c->rxCount, kRxBufferSize);
  EXPECT_EQ(c->rxBuffer[kRxBufferSize - 1], 0x99);
}

// A port may hold back what BytesStillComing names, so it must never name more than the reply
// still has: a stuffed block reply fed in adapter-sized pieces, and the states that wait for none.
TEST(BytesStillComing, NeverMoreThanTheReplyStillHas) {
  struct Case {
    ChannelState state;
    uint32_t eepSize;
    size_t payload;  // of the reply fed
    bool expected;   // whether a block is awaited at all
  };
  const Case cases[] = {
      {ChannelState::VerifyMain, 0, 4096, true},   {ChannelState::ReadMain, 0, 4096, true},
      {ChannelState::VerifyEep, 2048, 2048, true}, {ChannelState::ReadEep, 2048, 2048, true},
      {ChannelState::ProgramMain, 0, 4096, false}, {ChannelState::BlankCheck, 0, 4096, false},
  };
  // 0xC0 in the data is stuffed, so that frame on the wire is twice as long as its packet.
  for (const uint8_t fill : {uint8_t{0x41}, uint8_t{0xC0}}) {
    for (const Case& t : cases) {
      SCOPED_TRACE(testing::Message() << int(t.state) << " fill " << int(fill));
      test::TestStation s;
      s->chip.mainBase = 0;
      s->chip.mainEnd = 0x7FFF;
      s->chip.eepSize = t.eepSize;
      Channel& c = s->channels[0];
      c.busy = 1;
      c.found = 1;
      c.state = t.state;
      // Bytes left over from the last reply are no start of the next one.
      const Bytes leftover(5, 0xFF);
      CollectFrames(c, leftover.data(), leftover.size(), [](size_t) {});
      EXPECT_EQ(BytesStillComing(*s, 0), 0u);
      const Bytes reply = Reply(0x9B, t.payload, fill);
      size_t frames = 0;
      for (size_t at = 0; at < reply.size(); at += 512) {
        const size_t n = std::min<size_t>(512, reply.size() - at);
        CollectFrames(c, reply.data() + at, n, [&](size_t) { ++frames; });
        const size_t coming = BytesStillComing(*s, 0);
        EXPECT_LE(coming, reply.size() - at - n);
        if (!t.expected) {
          EXPECT_EQ(coming, 0u);
        } else if (fill == 0x41 && at + n < reply.size()) {
          EXPECT_GT(coming, 0u);
        }
      }
      EXPECT_EQ(frames, 1u);
      EXPECT_EQ(BytesStillComing(*s, 0), 0u);
    }
  }
}

}  // namespace
}  // namespace dravon
