// Arbitrary byte streams, cut into arbitrary pieces, through the receive pump of a channel whose
// programmer is found (the dispatcher, here in the middle of a firmware upgrade) and of one that
// is not found yet (discovery).
#include <cstddef>
#include <cstdint>

#include "fuzz_platform.h"
#include "link/receive.h"

namespace {

// A port that takes every write: the handlers answer as they would on a real port.
class SinkPort final : public dravon::SerialPort {
 public:
  void SetName(const std::string& name) override { name_ = name; }
  const std::string& Name() const override { return name_; }
  bool Open(std::string&) override { return true; }
  void Close() override {}
  bool IsOpen() const override { return true; }
  bool Write(const uint8_t*, size_t) override { return true; }

 private:
  std::string name_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SinkPort port0;
  static SinkPort port1;
  dravon::Station& s = dravon::fuzz::FuzzStation();
  s.channels[0].port = &port0;
  s.channels[1].port = &port1;
  s.info.Clear();
  if (size < 2) return 0;
  // The first byte picks the piece sizes, the second the found channel's state.
  const size_t piece = 1 + data[0] % 64 * 37;
  for (int k = 0; k < 2; ++k) {
    dravon::Channel& c = s.channels[k];
    c.rxCount = 0;
    c.found = k == 0;
    c.busy = 1;
    c.state = data[1] & 1 ? dravon::ChannelState::FirmwareUpgrade : dravon::ChannelState::Idle;
    c.blockIndex = 0;
    c.totalBlocks = 28;
  }
  s.app.firmwareValid = 1;
  s.firmware.endAddress = 0x7FFF;
  for (size_t at = 2; at < size; at += piece) {
    const size_t n = std::min(piece, size - at);
    for (int k = 0; k < 2; ++k)
      dravon::ReceiveData(s, k, data + at, n);
    dravon::Timer1Tick(s);
  }
  return 0;
}
