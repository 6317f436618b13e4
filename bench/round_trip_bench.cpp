// The PC's side of one block round trip on a channel: the unit's status reply arrives, is framed
// out, checked and dispatched, and the next 2 KiB firmware block is built, masked, CRC'd,
// stuffed and written. On the wire the block alone takes about 46 ms at 1 Mbaud 8N2.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/platform.h"
#include "core/station.h"
#include "link/packet_codec.h"
#include "link/receive.h"

namespace dravon {
namespace {

class NoPorts final : public PortEnumerator {
 public:
  std::vector<PortInfo> SystemPorts() override { return {}; }
  bool TryOpen(const std::string&) override { return false; }
};

class CountingPort final : public SerialPort {
 public:
  void SetName(const std::string& name) override { name_ = name; }
  const std::string& Name() const override { return name_; }
  bool Open(std::string&) override { return true; }
  void Close() override {}
  bool IsOpen() const override { return true; }
  bool Write(const uint8_t*, size_t length) override {
    bytes += length;
    return true;
  }
  size_t bytes = 0;

 private:
  std::string name_;
};

void BM_FirmwareBlockRoundTrip(benchmark::State& state) {
  HeadlessHost host(true);
  SystemClock clock;
  SystemRandom random;
  NoPorts enumerator;
  CountingPort port;
  auto s = MakeStation(Platform{host, clock, random, enumerator, {&port}}, kEnglishTexts);
  ResetChannelTable(*s);
  Channel& c = s->channels[0];
  c.found = 1;
  s->app.firmwareValid = 1;
  s->firmware.endAddress = 0x7FFF;

  // The unit's answer to a block: status 6, framed.
  std::vector<uint8_t> reply = {0xB7, 0, 0, 'U', 0, 0, 1, 0, 6};
  const uint16_t crc = PacketCrc16N(reply.data(), static_cast<uint32_t>(reply.size()));
  reply.push_back(static_cast<uint8_t>(crc));
  reply.push_back(static_cast<uint8_t>(crc >> 8));
  std::vector<uint8_t> frame(2 * reply.size() + 7);
  frame.resize(StuffFrame(reply.data(), reply.size(), frame.data(), frame.size()));

  for (auto _ : state) {
    c.state = ChannelState::FirmwareUpgrade;
    c.busy = 1;
    c.blockIndex = 0;
    c.totalBlocks = 0xFFFF;
    ReceiveData(*s, 0, frame.data(), frame.size());
  }
  state.counters["frame_bytes_out"] =
      benchmark::Counter(static_cast<double>(port.bytes), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FirmwareBlockRoundTrip)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace dravon

BENCHMARK_MAIN();
