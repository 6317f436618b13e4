#include "link/packet_codec.h"

#include <cstring>

namespace dravon {
namespace {

// Not a table CRC: each byte is folded in once after a single shift, and the programmers
// compute it the same way.
inline uint16_t CrcStep(uint16_t crc, uint8_t b) {
  bool low = crc & 1u;
  crc = static_cast<uint16_t>((crc >> 1) ^ b);
  if (low) crc ^= 0x4A12;
  return crc;
}

}  // namespace

uint16_t PacketCrc16(const uint8_t* bytes, uint32_t start, uint32_t end) {
  if (start > 0xFFFFFF || end > 0xFFFFFF || end < start) return 0;
  uint16_t crc = 0;
  for (uint32_t i = start; i <= end; ++i) crc = CrcStep(crc, bytes[i]);
  return crc;
}

uint16_t PacketCrc16N(const uint8_t* bytes, uint32_t n) {
  uint16_t crc = 0;
  for (uint32_t i = 0; i < n; ++i) crc = CrcStep(crc, bytes[i]);
  return crc;
}

size_t StuffFrame(const uint8_t* packet, size_t length, uint8_t* out, size_t capacity) {
  if (capacity < 2 * length + 2 + kFrameTailLength) return 0;
  size_t n = 0;
  out[n++] = kFrameEnd;
  for (size_t i = 0; i < length; ++i) {
    uint8_t b = packet[i];
    if (b == kFrameEnd) {
      out[n++] = kFrameEscape;
      out[n++] = kEscapedEnd;
    } else if (b == kFrameEscape) {
      out[n++] = kFrameEscape;
      out[n++] = kEscapedEscape;
    } else {
      out[n++] = b;
    }
  }
  out[n++] = kFrameEnd;
  for (size_t i = 0; i < kFrameTailLength; ++i) out[n++] = 0xFF;
  return n;
}

bool ExtractFrame(const uint8_t* rx, size_t rxCount, size_t& position, uint8_t* frame,
                  size_t frameCapacity, size_t& frameLength) {
  frameLength = 0;
  if (frameCapacity < 2 || position >= rxCount) return false;
  // Find a start delimiter; of two in a row (an end directly followed by a start) the second
  // one starts the frame.
  const uint8_t* start = nullptr;
  for (;;) {
    start = static_cast<const uint8_t*>(std::memchr(rx + position, kFrameEnd, rxCount - position));
    if (start == nullptr) {
      position = rxCount;
      return false;
    }
    position = static_cast<size_t>(start - rx) + 1;
    if (position < rxCount && rx[position] == kFrameEnd) continue;
    break;
  }
  // Copy only once the end delimiter is there: a frame still arriving is searched again with
  // the next chunk, so copying it now would be wasted.
  size_t rest = rxCount - position;
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(rx + position, kFrameEnd, rest));
  size_t length = end ? static_cast<size_t>(end - start) + 1 : 1 + rest;
  if (length > frameCapacity) {
    length = frameCapacity;
  } else if (end == nullptr) {
    position = rxCount;
    return false;
  }
  std::memcpy(frame, start, length);
  frameLength = length;
  position = static_cast<size_t>(start - rx) + length;
  return true;
}

uint8_t UnstuffFrame(const uint8_t* frame, size_t length, uint8_t* packet, size_t packetCapacity,
                     size_t& packetLength) {
  packetLength = 0;
  size_t i = 0;
  while (i < length && frame[i] != kFrameEnd) ++i;
  if (i >= length) return kResultPacketError;
  ++i;
  if (i < length && frame[i] == kFrameEnd) ++i;
  size_t n = 0;
  bool escaped = false;
  bool ended = false;
  for (; i < length; ++i) {
    uint8_t b = frame[i];
    if (b == kFrameEnd) {
      ended = true;
      break;
    }
    uint8_t out;
    if (escaped) {
      if (b == kEscapedEnd) {
        out = kFrameEnd;
      } else if (b == kEscapedEscape) {
        out = kFrameEscape;
      } else {
        return kResultPacketError;
      }
      escaped = false;
    } else if (b == kFrameEscape) {
      escaped = true;
      continue;
    } else {
      out = b;
    }
    if (n == packetCapacity) return kResultPacketError;
    packet[n++] = out;
  }
  // An escape cut off by the end delimiter is as broken as a bad one.
  if (!ended || escaped || n < kPacketHeaderLength) return kResultPacketError;
  packetLength = n;
  return kResultOk;
}

uint8_t CheckReply(const uint8_t* packet, size_t length) {
  if (length < kPacketHeaderLength) return kResultPacketError;
  uint16_t crc = PacketCrc16N(packet, static_cast<uint32_t>(length - 2));
  if (crc != GetU16(packet + length - 2)) return kResultCrcError;
  uint16_t payloadLength = GetU16(packet + 6);
  if (payloadLength >= 3) return kResultOk;
  // The status byte must be part of the reply, not a leftover of the command before it.
  if (length <= kPacketHeaderLength) return kResultPacketError;
  return packet[kPacketHeaderLength];
}

}  // namespace dravon
