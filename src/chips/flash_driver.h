// Flash driver files: the code and parameters the programmer loads into the target chip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/station.h"

namespace dravon {

inline constexpr char kDriverMagic[] = "VLFLSDRV";
inline constexpr size_t kDriverHeaderLength = 64;
inline constexpr size_t kDriverTrailerLength = 40;
inline constexpr uint8_t kDriverConstantKey = 0xB9;
// Descrambling runs up to 48 bytes past a file's end: longer files would not fit the buffer.
inline constexpr size_t kMaxDriverFileSize = kFlashDriverSize - 48;

// Offsets of the fragment entries in the driver image.
inline constexpr size_t kFragmentBlankCheck = 32;
inline constexpr size_t kFragmentReadChecksum = 36;
inline constexpr size_t kFragmentErase = 40;
inline constexpr size_t kFragmentProgram = 44;
inline constexpr size_t kFragmentWriteOption = 48;

// The driver file of the chip, by the leading characters of its name; an empty path (after its
// message) when there is none.
std::string DriverFileForChip(Station& station, const std::string& chipName);
void LoadFlashDriver(Station& station);

// XORs the scrambled part of a driver image in place; the same call scrambles and descrambles.
// last is the index of the file's last byte.
void ScrambleDriver(uint8_t* image, size_t imageSize, uint16_t last);

// Copies the driver fragment of the channel's state into its packet area at position and
// returns its length; 0 for a state without one. Never reads outside the driver buffer nor
// writes outside the packet area.
size_t DriverFragment(Station& station, int channel, size_t position);
// The same with the WriteOption entry whatever the state (the AutoChip family's fragment).
size_t DriverFragmentGeneral(Station& station, int channel, size_t position);

}  // namespace dravon
