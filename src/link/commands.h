// The command builders: each assembles its packet in the channel's packet area, frames it and
// writes it to the channel's port in one write. None waits for an answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/station.h"

namespace dravon {

inline constexpr uint8_t kCmdJobBlockDownload = 0x53;
inline constexpr uint8_t kCmdMainBlockDownload = 0x55;
inline constexpr uint8_t kCmdEepBlockDownload = 0x5A;
inline constexpr uint8_t kCmdDriverBlockDownload = 0x5F;
inline constexpr uint8_t kCmdStartOffline = 0x8A;
inline constexpr uint8_t kCmdVerifyMainBlock = 0x92;
inline constexpr uint8_t kCmdChipAction = 0x93;
inline constexpr uint8_t kCmdVerifyEepBlock = 0x94;
inline constexpr uint8_t kCmdProgramMainBlock = 0x95;
inline constexpr uint8_t kCmdProgramEepBlock = 0x99;
inline constexpr uint8_t kCmdReadMainBlock = 0x9B;
inline constexpr uint8_t kCmdReadEepBlock = 0x9D;
inline constexpr uint8_t kCmdFirmwareBlock = 0xB7;
inline constexpr uint8_t kCmdFirmwareEnd = 0xBD;

// ChipAction subcodes.
inline constexpr uint16_t kActionErase = 3;
inline constexpr uint16_t kActionBlankCheck = 5;
inline constexpr uint16_t kActionReadChecksum = 0x30;
inline constexpr uint16_t kActionReadOption = 0x33;
inline constexpr uint16_t kActionWriteOption = 0x35;
inline constexpr uint16_t kActionReadChipInfo = 0x3C;
inline constexpr uint16_t kActionReadAddress = 0x79;

inline constexpr size_t kCfgBlockSize = 80;
inline constexpr size_t kJobBlockSize = 512;
inline constexpr uint8_t kJobKeyLow = 0x3B;
inline constexpr uint8_t kJobKeyHigh = 0x6E;
inline constexpr uint8_t kIdentifyFrame[10] = {0xC0, 0xA3, 0xA5, 0x35, 0xC0,
                                               0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Frames packet bytes 0..length-1 of the channel and writes them; false when the port is not
// open or there is nothing to send.
bool SendPacket(Station& station, int channel, size_t length);

bool SendIdentify(Station& station, int channel);
bool SendJobBlock(Station& station, uint16_t key, int channel);
bool SendMainBlock(Station& station, uint16_t blockIndex, int channel);
bool SendEepBlock(Station& station, uint16_t blockIndex, int channel);
bool SendDriverBlock(Station& station, int channel);
bool SendChipAction(Station& station, uint8_t code, uint16_t parameter, int channel);
bool SendDataCommand(Station& station, uint8_t code, uint16_t blockIndex, int channel);
bool SendEepDataCommand(Station& station, uint8_t code, uint16_t blockIndex, int channel);
bool SendOptionData(Station& station, int channel);
bool SendReadAddress(Station& station, int channel);
bool SendStartOffline(Station& station, int channel);

// The configuration block at packet offset; key goes into its bytes 10..11.
void BuildCfgBlock(Station& station, int channel, size_t offset, uint16_t key);
// The 512-byte job block at packet byte 8.
void BuildJobBlock(Station& station, int channel);
// The text, or '?' when empty, then zero bytes up to width; cut at width.
void PutText(Station& station, std::string_view text, size_t offset, size_t width, int channel);

}  // namespace dravon
