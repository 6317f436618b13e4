#include "link/firmware_upgrade.h"

#include <cstring>
#include <filesystem>

#include "core/file_io.h"
#include "core/format.h"
#include "link/commands.h"
#include "link/firmware_file.h"
#include "link/packet_codec.h"
#include "operations/results.h"

namespace dravon {
namespace {

uint16_t BlockCount(const Station& s) {
  const int blocks = (static_cast<int>(s.firmware.endAddress) - kFirmwareStartAddress) / 1024 + 1;
  return static_cast<uint16_t>(std::max(blocks, 0));
}

}  // namespace

void StartUpgrade(Station& s, int k) {
  if (!s.app.firmwareValid) return;
  s.app.upgradePending = 1;
  Channel& c = s.channels[k];
  c.upgrading = 1;
  c.found = 1;
  c.state = ChannelState::FirmwareUpgrade;
  c.tickProgress = 0;
  c.busy = 1;
  c.timeoutTicks = 500;
  c.blockIndex = 0;
  c.totalBlocks = BlockCount(s);
  c.gauge.value = 2;
  c.gauge.maximum = c.totalBlocks;
  c.gauge.colour = GaugeColour::Blue;
  ChannelLine(s, Format(s.texts.startUpgrade, {k + 1}), k);
  SendFirmwareBlock(s, 0, k);
}

void OnUpgradeReply(Station& s, uint8_t result, int k) {
  Channel& c = s.channels[k];
  if (result != kResultSuccess) {
    ReportResult(s, result, k);
    return;
  }
  c.gauge.value = std::min(c.gauge.value + 1, c.gauge.maximum);
  ++c.blockIndex;
  if (c.blockIndex < c.totalBlocks) {
    SendFirmwareBlock(s, c.blockIndex, k);
    return;
  }
  c.upgrading = 0;
  SendFirmwareEnd(s, k);
  ChannelLine(s, Format(s.texts.upgradeCompleted, {k + 1}), k);
  FinishChannel(s, k, false);
}

bool SendFirmwareBlock(Station& s, uint16_t b, int k) {
  uint8_t* p = s.channels[k].packet.data();
  const uint16_t key = static_cast<uint16_t>(s.random.Below(65525));
  p[0] = kCmdFirmwareBlock;
  p[1] = static_cast<uint8_t>(4 * b);
  PutU16(p + 2, key);
  p[4] = s.random.Byte();
  p[5] = s.random.Byte();
  PutU16(p + 6, 0x1020);
  uint8_t* payload = p + 8;
  const uint8_t low = static_cast<uint8_t>(key);
  const uint8_t high = static_cast<uint8_t>(key >> 8);
  const uint8_t* image = s.firmware.buffer.data();
  for (size_t i = 0; i < 512; ++i) {
    const size_t at = 2048u * b + 4 * i;
    const bool inside = at + 2 < s.firmware.buffer.size();
    payload[4 * i] = static_cast<uint8_t>((inside ? image[at] : 0xFF) ^ low);
    payload[4 * i + 1] = static_cast<uint8_t>((inside ? image[at + 1] : 0xFF) ^ high);
    payload[4 * i + 2] = static_cast<uint8_t>((inside ? image[at + 2] : 0xFF) ^ low);
    payload[4 * i + 3] = 0;
  }
  // 551 random groups are drawn; the first 520 fall inside the packet.
  for (size_t g = 0; g < 551; ++g) {
    uint8_t group[4] = {s.random.Byte(), s.random.Byte(), s.random.Byte(), 0};
    if (g < 520) std::memcpy(payload + 2048 + 4 * g, group, 4);
  }
  for (size_t i = 0; i < 2048; ++i) payload[i] ^= payload[i + 2048];
  PutU16(p + 4136, PacketCrc16N(p, 4136));
  return SendPacket(s, k, 4138);
}

bool SendFirmwareEnd(Station& s, int k) {
  uint8_t* p = s.channels[k].packet.data();
  const uint8_t packet[10] = {kCmdFirmwareEnd, 0x00, 'R', 'S', 0x00, 0x00, 0x02, 0x00, 0x00, 0x00};
  std::memcpy(p, packet, sizeof packet);
  PutU16(p + 10, PacketCrc16N(p, 10));
  return SendPacket(s, k, 12);
}

void DoFirmwareUpgrade(Station& s) {
  const std::string path = (Utf8Path(s.app.programDir) / kFirmwareFileName).string();
  std::error_code e;
  if (!std::filesystem::exists(Utf8Path(path), e)) {
    s.app.firmwareValid = 0;
    s.host.ShowMessage(BoxKind::Information, Format(s.texts.fileNotFoundConfirm, {path}));
    return;
  }
  LoadFirmwareFile(s, path);
  if (s.app.firmwareValid && s.app.devicesFound > 0) {
    for (int k = 0; k < s.app.devicesFound && k < kChannelCount; ++k) {
      s.channels[k].rxCount = 0;
      StartUpgrade(s, k);
    }
  } else {
    s.host.ShowMessage(BoxKind::Information, s.texts.noDeviceConnected);
  }
}

}  // namespace dravon
