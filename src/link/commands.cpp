#include "link/commands.h"

#include <algorithm>
#include <cstring>

#include "chips/flash_driver.h"
#include "link/packet_codec.h"

namespace dravon {
namespace {

void Header(Station& s, int channel, uint8_t code, uint16_t parameter, uint16_t payloadLength) {
  uint8_t* p = s.channels[channel].packet.data();
  p[0] = code;
  PutU16(p + 1, parameter);
  p[3] = s.chip.familyCode;
  p[4] = s.chip.chipCode1;
  p[5] = s.chip.chipCode2;
  PutU16(p + 6, payloadLength);
}

// Puts the CRC behind bytes 0..end-1 and sends end + 2 bytes.
bool Finish(Station& s, int channel, size_t end) {
  uint8_t* p = s.channels[channel].packet.data();
  PutU16(p + end, PacketCrc16N(p, static_cast<uint32_t>(end)));
  return SendPacket(s, channel, end + 2);
}

// Four 1 KiB blocks of an image from the given index; bytes past the image read as blank.
void CopyImage(uint8_t* to, const std::vector<uint8_t>& image, uint64_t from) {
  size_t n = from < image.size() ? std::min<size_t>(4096, image.size() - from) : 0;
  if (n > 0) std::memcpy(to, image.data() + from, n);
  if (n < 4096) std::memset(to + n, 0xFF, 4096 - n);
}

bool DataCommand(Station& s, uint8_t code, uint16_t blockIndex, int channel,
                 const std::vector<uint8_t>& image, uint64_t from) {
  Header(s, channel, code, blockIndex, 0x1050);
  BuildCfgBlock(s, channel, 8, 0);
  uint8_t* p = s.channels[channel].packet.data();
  CopyImage(p + 88, image, from);
  size_t end = 88 + 4096;
  if (s.chip.usesDriver) {
    end += DriverFragment(s, channel, end);
    PutU16(p + 6, static_cast<uint16_t>(end - 8));
  }
  return Finish(s, channel, end);
}

}  // namespace

bool SendPacket(Station& s, int channel, size_t length) {
  Channel& c = s.channels[channel];
  if (length == 0 || length > c.packet.size() || !c.port || !c.port->IsOpen()) return false;
  size_t frame = StuffFrame(c.packet.data(), length, c.txFrame.data(), c.txFrame.size());
  return frame > 0 && c.port->Write(c.txFrame.data(), frame);
}

bool SendIdentify(Station& s, int channel) {
  Channel& c = s.channels[channel];
  if (!c.port || !c.port->IsOpen()) return false;
  return c.port->Write(kIdentifyFrame, sizeof kIdentifyFrame);
}

void BuildCfgBlock(Station& s, int channel, size_t offset, uint16_t key) {
  uint8_t* b = s.channels[channel].packet.data() + offset;
  const ChipProfile& c = s.chip;
  const JobOptions& j = s.job;
  const Checksums& k = s.sums;
  std::memset(b, 0, kCfgBlockSize);
  b[1] = c.configByte1;
  b[2] = j.deviceAddress;
  b[3] = c.familyCode;
  b[4] = c.chipCode1;
  b[5] = c.chipCode2;
  b[6] = s.random.Byte();
  b[7] = j.autoDetect;
  b[8] = c.configByte8;
  b[9] = c.configByte9;
  PutU16(b + 10, key);
  PutU32(b + 16, c.mainUsedSize);
  PutU32(b + 20, c.eepSize);
  PutU32(b + 24, c.mainBase);
  PutU32(b + 28, c.eepBase);
  const uint8_t flags[8] = {j.flags32, j.flags33, j.flags34, j.flags35,
                            j.flags36, j.flags37, j.flags38, j.flags39};
  std::memcpy(b + 32, flags, 8);
  b[40] = j.powerOnTime;
  b[41] = j.powerDownTime;
  b[42] = j.chipInTime;
  b[43] = j.chipOutTime;
  PutU16(b + 44, c.sectorSize);
  PutU16(b + 46, c.configWord46);
  PutU16(b + 48, k.mainCrc);
  PutU16(b + 50, k.mainSum);
  PutU16(b + 52, k.eepCrc);
  PutU16(b + 54, k.eepSum);
  PutU16(b + 56, k.optionCrc);
  PutU16(b + 58, k.optionSum);
  b[64] = c.configByte64;
  b[65] = c.configByte65;
  PutU16(b + 66, c.configWord66);
  PutU16(b + 68, j.runTime);
  std::memset(b + 70, 0xFF, 10);
}

void PutText(Station& s, std::string_view text, size_t offset, size_t width, int channel) {
  uint8_t* p = s.channels[channel].packet.data() + offset;
  std::memset(p, 0, width);
  if (text.empty()) {
    if (width > 0) p[0] = '?';
    return;
  }
  std::memcpy(p, text.data(), std::min(text.size(), width));
}

void BuildJobBlock(Station& s, int channel) {
  uint8_t* b = s.channels[channel].packet.data() + 8;
  const JobOptions& j = s.job;
  std::memset(b, 0, kJobBlockSize);
  std::memcpy(b, "ZWLP", 4);
  BuildCfgBlock(s, channel, 8 + 4, static_cast<uint16_t>(s.random.Below(65535)));
  b[84] = j.snFlags;
  b[85] = j.snLength;
  PutU32(b + 86, j.maxCount);
  PutU16(b + 90, static_cast<uint16_t>(j.snGain * s.app.channelCount));
  PutU32(b + 92, j.snAddress);
  PutU32(b + 96, j.snInitial + static_cast<uint32_t>(channel) * j.snGain);
  PutU16(b + 100, s.sums.mainSum);
  PutU32(b + 102, s.sums.fileAcc32);
  std::memcpy(b + 112, s.optionImage.data(), 128);
  PutText(s, s.chip.chipName, 8 + 240, 16, channel);
  PutText(s, s.mainImage.fileName, 8 + 256, 48, channel);
  std::memcpy(b + 304, s.optionImage.data() + 128, 204);
  PutU16(b + 508, PacketCrc16N(b, 508));
  uint16_t sum = 0;
  for (int i = 0; i < 510; ++i) sum = static_cast<uint16_t>(sum + b[i]);
  PutU16(b + 510, sum);
}

bool SendJobBlock(Station& s, uint16_t key, int channel) {
  Header(s, channel, kCmdJobBlockDownload, key, 0x0400);
  BuildJobBlock(s, channel);
  uint8_t* p = s.channels[channel].packet.data();
  std::memcpy(p + 8 + kJobBlockSize, p + 8, kJobBlockSize);
  const uint8_t kL = static_cast<uint8_t>((key & 0xFF) ^ kJobKeyLow) | 0x80;
  const uint8_t kH = static_cast<uint8_t>((key >> 8) ^ kJobKeyHigh) | 0x80;
  for (size_t i = 0; i < 2 * kJobBlockSize; ++i) p[8 + i] ^= (i % 2 == 0) ? kL : kH;
  return Finish(s, channel, 8 + 2 * kJobBlockSize);
}

bool SendMainBlock(Station& s, uint16_t blockIndex, int channel) {
  Header(s, channel, kCmdMainBlockDownload, blockIndex, 4096);
  CopyImage(s.channels[channel].packet.data() + 8, s.mainImage.bytes,
            uint64_t{s.chip.imageOffset} + 1024ull * blockIndex);
  return Finish(s, channel, 8 + 4096);
}

bool SendEepBlock(Station& s, uint16_t blockIndex, int channel) {
  Header(s, channel, kCmdEepBlockDownload, blockIndex, 4096);
  CopyImage(s.channels[channel].packet.data() + 8, s.eepImage, 1024ull * blockIndex);
  return Finish(s, channel, 8 + 4096);
}

bool SendDriverBlock(Station& s, int channel) {
  Header(s, channel, kCmdDriverBlockDownload, s.flashDriver.sizePlusOne, 2048);
  std::memcpy(s.channels[channel].packet.data() + 8, s.flashDriver.buffer.data(), 2048);
  return Finish(s, channel, 8 + 2048);
}

bool SendChipAction(Station& s, uint8_t code, uint16_t parameter, int channel) {
  Header(s, channel, code, parameter, kCfgBlockSize);
  BuildCfgBlock(s, channel, 8, 0);
  size_t end = 88;
  if (s.chip.usesDriver) {
    end += DriverFragment(s, channel, end);
    if (s.chip.chipCode1 == 0) {
      // The general fragment sits at a fixed place; the gap before it is zero.
      uint8_t* p = s.channels[channel].packet.data();
      if (end < 1112) std::memset(p + end, 0, 1112 - end);
      end = 1112 + DriverFragmentGeneral(s, channel, 1112);
    }
  }
  PutU16(s.channels[channel].packet.data() + 6, static_cast<uint16_t>(end - 8));
  return Finish(s, channel, end);
}

bool SendDataCommand(Station& s, uint8_t code, uint16_t blockIndex, int channel) {
  return DataCommand(s, code, blockIndex, channel, s.mainImage.bytes,
                     uint64_t{s.chip.imageOffset} + 1024ull * blockIndex);
}

bool SendEepDataCommand(Station& s, uint8_t code, uint16_t blockIndex, int channel) {
  return DataCommand(s, code, blockIndex, channel, s.eepImage, 1024ull * blockIndex);
}

bool SendOptionData(Station& s, int channel) {
  Header(s, channel, kCmdChipAction, kActionWriteOption, 0x0450);
  BuildCfgBlock(s, channel, 8, 0);
  uint8_t* p = s.channels[channel].packet.data();
  std::memcpy(p + 88, s.optionImage.data(), 4096);
  size_t end = 1112;
  if (s.chip.usesDriver) {
    end += DriverFragment(s, channel, end);
    PutU16(p + 6, static_cast<uint16_t>(end - 8));
  } else if (s.chip.chipCode1 == 0xC0) {
    end = 4184;
    PutU16(p + 6, 0x1050);
  }
  // The programmers check this one command's CRC over every byte before it but the last.
  PutU16(p + end, PacketCrc16N(p, static_cast<uint32_t>(end - 1)));
  return SendPacket(s, channel, end + 2);
}

bool SendReadAddress(Station& s, int channel) {
  Header(s, channel, kCmdChipAction, kActionReadAddress, 64);
  BuildCfgBlock(s, channel, 8, 0);
  uint8_t* p = s.channels[channel].packet.data();
  PutU32(p + 56, s.readRequest.address);
  PutU16(p + 60, s.readRequest.length);
  return Finish(s, channel, 72);
}

bool SendStartOffline(Station& s, int channel) {
  uint8_t* p = s.channels[channel].packet.data();
  const uint8_t header[10] = {kCmdStartOffline, 'R', 'E', 'S', 'T', 0xA8, 0x02, 0x00, 0x00, 0x00};
  std::memcpy(p, header, sizeof header);
  return Finish(s, channel, 10);
}

}  // namespace dravon
