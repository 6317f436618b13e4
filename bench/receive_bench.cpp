// The receive path of one data reply: a 4,096-byte read reply (a 4,106-byte packet) arrives in
// 2,048-byte chunks and is extracted, unstuffed and CRC-checked on the channel's own buffers.
// On the wire that reply takes about 46 ms at 1,000,000 baud with 8N2 framing.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "core/station.h"
#include "link/packet_codec.h"
#include "link/receive.h"

namespace dravon {
namespace {

std::vector<uint8_t> DataReplyFrame(uint8_t escapeEvery) {
  std::vector<uint8_t> packet = {0x9B, 0, 0, 'U', 0, 0, 0, 0};
  PutU16(packet.data() + 6, 4096);
  std::mt19937 gen(1);
  for (int i = 0; i < 4096; ++i) {
    uint8_t b = static_cast<uint8_t>(gen());
    if (escapeEvery && i % escapeEvery == 0) b = (i & 1) ? 0xC0 : 0xDB;
    else if (b == 0xC0 || b == 0xDB) b = 0x5A;
    packet.push_back(b);
  }
  uint16_t crc = PacketCrc16N(packet.data(), static_cast<uint32_t>(packet.size()));
  packet.push_back(static_cast<uint8_t>(crc));
  packet.push_back(static_cast<uint8_t>(crc >> 8));
  std::vector<uint8_t> frame(2 * packet.size() + 7);
  frame.resize(StuffFrame(packet.data(), packet.size(), frame.data(), frame.size()));
  return frame;
}

void BM_DataReplyIn2048ByteChunks(benchmark::State& state) {
  const std::vector<uint8_t> frame = DataReplyFrame(static_cast<uint8_t>(state.range(0)));
  auto channel = std::make_unique<Channel>();
  Channel& c = *channel;
  uint8_t result = 0xFF;
  size_t replies = 0;
  for (auto _ : state) {
    for (size_t at = 0; at < frame.size(); at += kMaxChunk) {
      size_t n = std::min(kMaxChunk, frame.size() - at);
      CollectFrames(c, frame.data() + at, n, [&](size_t frameLength) {
        size_t packetLength = 0;
        result = UnstuffFrame(c, frameLength, packetLength);
        if (result == 0) result = CheckReply(c.packet.data(), packetLength);
        ++replies;
      });
    }
    benchmark::DoNotOptimize(result);
  }
  if (result != 0 || replies != static_cast<size_t>(state.iterations())) {
    state.SkipWithError("the reply did not check out");
  }
  state.counters["frame_bytes"] = static_cast<double>(frame.size());
  state.counters["wire_ms"] = static_cast<double>(frame.size()) * 11.0 / 1e6 * 1e3;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frame.size()));
}
// 0: no byte needs an escape; 16: one in sixteen does.
BENCHMARK(BM_DataReplyIn2048ByteChunks)->Arg(0)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace dravon

BENCHMARK_MAIN();
