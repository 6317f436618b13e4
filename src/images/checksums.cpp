#include "images/checksums.h"

#include <array>

#include "link/packet_codec.h"

namespace dravon {
namespace {

bool ValidRange(std::span<const uint8_t> image, uint32_t first, uint32_t last) {
  return first <= 0xFFFFFF && last <= 0xFFFFFF && last >= first && last < image.size();
}

constexpr std::array<uint32_t, 256> MakeCrc32Table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k)
      c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrc32Table = MakeCrc32Table();

}  // namespace

uint32_t Acc32(std::span<const uint8_t> image, uint32_t first, uint32_t last) {
  if (!ValidRange(image, first, last)) return 0;
  uint32_t sum = 0;
  for (uint32_t i = first; i <= last; ++i)
    sum += image[i];
  return sum;
}

uint16_t Crc16Range(std::span<const uint8_t> image, uint32_t first, uint32_t last) {
  if (!ValidRange(image, first, last)) return 0;
  return PacketCrc16(image.data(), first, last);
}

uint32_t Crc32(std::span<const uint8_t> image, uint32_t first, uint32_t last) {
  if (!ValidRange(image, first, last)) return 0;
  uint32_t crc = 0xFFFFFFFFu;
  for (uint32_t i = first; i <= last; ++i)
    crc = (crc >> 8) ^ kCrc32Table[(crc ^ image[i]) & 0xFF];
  return crc ^ 0xFFFFFFFFu;
}

}  // namespace dravon
