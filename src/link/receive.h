// The receive path over one channel's fixed buffers: bytes from the port are collected in
// rxBuffer, complete frames are cut out into rxFrame and unstuffed into packet.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/station.h"

namespace dravon {

// Appends a received chunk to rxBuffer. When it would not fit, only the bytes from the last
// 0xC0 on (a frame that may still complete) are kept before it, or none when even that does
// not leave room; a chunk larger than the whole buffer keeps its last bytes.
void AppendReceived(Channel& channel, const uint8_t* bytes, size_t length);

// Moves the unconsumed bytes rxBuffer[start..rxCount) to the front.
void KeepUnconsumed(Channel& channel, size_t start);

// Appends a chunk, hands each complete frame now in rxFrame to onFrame(frameLength) in order,
// and keeps the bytes after the last complete frame for the next chunk.
template <class OnFrame>
void CollectFrames(Channel& channel, const uint8_t* bytes, size_t length, OnFrame&& onFrame);

// A chunk of bytes from the channel's port (at most 2,048 at a time): every complete frame goes
// to the dispatcher, or to discovery while no programmer is found on the channel.
void ReceiveData(Station& station, int channel, const uint8_t* bytes, size_t length);
// Unstuffs and checks a frame and hands it to the handler of the channel's state.
void Dispatch(Station& station, int channel, size_t frameLength);
// Every 10 ms: busy channels count down their time-out and move their time-based bars.
void Timer1Tick(Station& station);
// The port reported a receive error: every channel drops its partial frame.
void ReceiveError(Station& station, int channel);

// The codec applied to the channel's own buffers.
bool ExtractFrame(Channel& channel, size_t& position, size_t& frameLength);
uint8_t UnstuffFrame(Channel& channel, size_t frameLength, size_t& packetLength);

template <class OnFrame>
void CollectFrames(Channel& channel, const uint8_t* bytes, size_t length, OnFrame&& onFrame) {
  AppendReceived(channel, bytes, length);
  size_t position = 0;
  size_t start = 0;
  size_t frameLength = 0;
  for (;;) {
    start = position;
    if (!ExtractFrame(channel, position, frameLength)) break;
    onFrame(frameLength);
  }
  KeepUnconsumed(channel, start);
}

}  // namespace dravon
