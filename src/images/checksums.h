// The checksums of image ranges: the 32-bit byte sum shown to the operator (ACC32), the packet
// CRC16 over a range, and the IEEE 802.3 CRC-32.
#pragma once

#include <cstdint>
#include <span>

namespace dravon {

// Each routine covers image[first..last]; a range with last < first, an index above 0xFFFFFF,
// or one past the image gives 0.
uint32_t Acc32(std::span<const uint8_t> image, uint32_t first, uint32_t last);
uint16_t Crc16Range(std::span<const uint8_t> image, uint32_t first, uint32_t last);
uint32_t Crc32(std::span<const uint8_t> image, uint32_t first, uint32_t last);

struct Station;

// The checksums of the images after a load, with their report lines and status-bar texts.
void ShowImageChecksums(Station& station);
// Over the used main range: mainCrc, main32, mainSum.
void ShowMainChecksum(Station& station);
// Over the data flash: eepCrc, eep32, eepSum.
void ShowEepChecksum(Station& station);
// After a chip was read back: CRC and sum over the whole main flash / the data flash.
void ShowReadMainChecksum(Station& station);
void ShowReadEepChecksum(Station& station);

}  // namespace dravon
