// The programmers' firmware file: magic, version, masked image and checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/station.h"

namespace dravon {

inline constexpr uint8_t kFirmwareMagicKey = 0x2D;
inline constexpr char kFirmwareMagic[] = "DrvFmWr";
inline constexpr size_t kFirmwareVersionOffset = 7;
inline constexpr size_t kFirmwareKeyTableOffset = 25;
inline constexpr size_t kFirmwareKeyTableLength = 3290;
inline constexpr size_t kFirmwareImageOffset = 3315;
inline constexpr size_t kFirmwareTrailerLength = 876;
inline constexpr size_t kFirmwareKeySpace = 4096;
inline constexpr uint16_t kFirmwareStartAddress = 4096;

// Reads and checks the file: FirmwareFile gets the version, addresses and unmasked image, and
// AppState.firmwareValid tells whether magic and checksum were right.
void LoadFirmwareFile(Station& station, const std::string& path);

}  // namespace dravon
