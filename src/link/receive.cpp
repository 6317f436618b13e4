#include "link/receive.h"

#include <cstring>

#include "link/packet_codec.h"

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

bool ExtractFrame(Channel& c, size_t& position, size_t& frameLength) {
  return ExtractFrame(c.rxBuffer.data(), c.rxCount, position, c.rxFrame.data(), c.rxFrame.size(),
                      frameLength);
}

uint8_t UnstuffFrame(Channel& c, size_t frameLength, size_t& packetLength) {
  return UnstuffFrame(c.rxFrame.data(), frameLength, c.packet.data(), c.packet.size(),
                      packetLength);
}

}  // namespace dravon
