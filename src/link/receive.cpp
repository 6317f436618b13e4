#include "link/receive.h"

#include <cstring>

#include "link/discovery.h"
#include "link/firmware_upgrade.h"
#include "link/packet_codec.h"
#include "operations/chains.h"
#include "operations/results.h"

namespace dravon {

void AppendReceived(Channel& c, const uint8_t* bytes, size_t length) {
  constexpr size_t capacity = kRxBufferSize;
  if (length > capacity) {
    bytes += length - capacity;
    length = capacity;
  }
  if (c.rxCount + length > capacity) {
    size_t keepFrom = c.rxCount;
    for (size_t i = c.rxCount; i > 0; --i) {
      if (c.rxBuffer[i - 1] == kFrameEnd) {
        keepFrom = i - 1;
        break;
      }
    }
    KeepUnconsumed(c, keepFrom);
    if (c.rxCount + length > capacity) c.rxCount = 0;
  }
  std::memcpy(c.rxBuffer.data() + c.rxCount, bytes, length);
  c.rxCount = static_cast<uint16_t>(c.rxCount + length);
}

void KeepUnconsumed(Channel& c, size_t start) {
  if (start >= c.rxCount) {
    c.rxCount = 0;
    return;
  }
  size_t rest = c.rxCount - start;
  if (start > 0) std::memmove(c.rxBuffer.data(), c.rxBuffer.data() + start, rest);
  c.rxCount = static_cast<uint16_t>(rest);
}

void ReceiveData(Station& s, int k, const uint8_t* bytes, size_t length) {
  Channel& c = s.channels[k];
  c.timeoutTicks = 1000;
  CollectFrames(c, bytes, length, [&s, &c, k](size_t frameLength) {
    if (c.found) {
      Dispatch(s, k, frameLength);
    } else {
      DiscoveryReply(s, k, frameLength);
    }
  });
}

void Dispatch(Station& s, int k, size_t frameLength) {
  Channel& c = s.channels[k];
  size_t length = 0;
  if (UnstuffFrame(c, frameLength, length) != kResultOk) {
    FinishChannel(s, k, true);
    ReportResult(s, kResultPacketError, k);
    return;
  }
  const uint8_t result = CheckReply(c.packet.data(), length);
  if (c.packet[0] == 0xFD) {
    HandleStatusReport(s, k);
    return;
  }
  HandleReply(s, k, result, length);
}

void Timer1Tick(Station& s) {
  for (int k = 0; k < kChannelCount; ++k) {
    Channel& c = s.channels[k];
    if (!c.busy) continue;
    if (c.tickProgress && c.gauge.value < c.gauge.maximum) ++c.gauge.value;
    if (c.timeoutTicks > 0) --c.timeoutTicks;
    if (c.timeoutTicks == 0) {
      ChannelLine(s, s.texts.commandTimeOut, k);
      FinishChannel(s, k, true);
    }
  }
}

void ReceiveError(Station& s, int) {
  // A partial frame cannot complete after lost bytes; the running step is left to its reply
  // or its time-out.
  for (Channel& c : s.channels)
    c.rxCount = 0;
}

bool ExtractFrame(Channel& c, size_t& position, size_t& frameLength) {
  return ExtractFrame(c.rxBuffer.data(), c.rxCount, position, c.rxFrame.data(), c.rxFrame.size(),
                      frameLength);
}

uint8_t UnstuffFrame(Channel& c, size_t frameLength, size_t& packetLength) {
  return UnstuffFrame(c.rxFrame.data(), frameLength, c.packet.data(), c.packet.size(),
                      packetLength);
}

}  // namespace dravon
