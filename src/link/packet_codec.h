// Packets and frames on the serial wire. A packet is an 8-byte header, a payload and a CRC16;
// a frame is the packet byte-stuffed between 0xC0 delimiters and followed by five 0xFF bytes.
// Everything works in place on buffers the caller owns and never writes past a capacity.
// This header is shared with the unit simulator, so it depends on nothing else.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dravon {

inline constexpr uint8_t kFrameEnd = 0xC0;
inline constexpr uint8_t kFrameEscape = 0xDB;
inline constexpr uint8_t kEscapedEnd = 0xDC;
inline constexpr uint8_t kEscapedEscape = 0xDD;
inline constexpr size_t kFrameTailLength = 5;
inline constexpr size_t kPacketHeaderLength = 8;

inline constexpr uint8_t kResultOk = 0;
inline constexpr uint8_t kResultSuccess = 6;
inline constexpr uint8_t kResultPacketError = 0x20;
inline constexpr uint8_t kResultCrcError = 0x23;

// The program's one 16-bit CRC over bytes start..end inclusive; 0 for an empty range or an
// index above 0xFFFFFF.
uint16_t PacketCrc16(const uint8_t* bytes, uint32_t start, uint32_t end);
// The same CRC over the first n bytes.
uint16_t PacketCrc16N(const uint8_t* bytes, uint32_t n);

// Writes the frame of packet[0..length) into out and returns its length, or 0 when the frame
// could need more than capacity bytes (2 * length + 7).
size_t StuffFrame(const uint8_t* packet, size_t length, uint8_t* out, size_t capacity);

// Takes the next complete frame, delimiters included, out of rx[0..rxCount) starting the search
// at position, and copies it into frame. Advances position past the end delimiter. Returns false
// when no complete frame is there yet. A frame that reaches frameCapacity without its end
// delimiter is handed out as it is, so it fails to unstuff instead of overrunning the buffer.
bool ExtractFrame(const uint8_t* rx, size_t rxCount, size_t& position, uint8_t* frame,
                  size_t frameCapacity, size_t& frameLength);

// Turns a frame into a packet. Returns 0, or kResultPacketError (packet length 0) for a bad
// escape, a missing end delimiter, fewer than 8 bytes, or a packet longer than packetCapacity.
uint8_t UnstuffFrame(const uint8_t* frame, size_t length, uint8_t* packet, size_t packetCapacity,
                     size_t& packetLength);

// For an unstuffed reply of length bytes (CRC included): kResultCrcError when the CRC does not
// match, 0 for a data reply (payload length 3 or more), else the status byte of a status reply.
uint8_t CheckReply(const uint8_t* packet, size_t length);

// Reads and writes the little-endian numbers of headers and blocks.
inline uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  PutU16(p, static_cast<uint16_t>(v));
  PutU16(p + 2, static_cast<uint16_t>(v >> 16));
}

}  // namespace dravon
