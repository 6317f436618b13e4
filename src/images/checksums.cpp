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

#include "core/format.h"
#include "core/hex_views.h"
#include "core/info_list.h"
#include "core/station.h"

namespace dravon {
namespace {

uint32_t UsedMainLast(const Station& s) { return s.chip.imageOffset + s.chip.mainUsedSize - 1; }

}  // namespace

void ShowMainChecksum(Station& s) {
  const uint32_t first = s.chip.imageOffset;
  const uint32_t last = UsedMainLast(s);
  s.sums.mainCrc = Crc16Range(s.mainImage.bytes, first, last);
  s.sums.main32 = Acc32(s.mainImage.bytes, first, last);
  s.sums.mainSum = static_cast<uint16_t>(s.sums.main32);
  AddPlainLine(s, "");
  AddInfoLine(s, Format(s.texts.mainFlashAcc32, {s.sums.main32}));
}

void ShowEepChecksum(Station& s) {
  const uint32_t last = s.chip.eepSize - 1;
  s.sums.eepCrc = Crc16Range(s.eepImage, 0, last);
  s.sums.eep32 = Acc32(s.eepImage, 0, last);
  s.sums.eepSum = static_cast<uint16_t>(s.sums.eep32);
  AddInfoLine(s, Format(s.texts.eepDataAcc32, {s.sums.eep32}));
}

void ShowImageChecksums(Station& s) {
  ShowMainChecksum(s);
  if (s.chip.eepSize != 0) ShowEepChecksum(s);
  s.sums.total = s.sums.main32 + s.sums.eep32;
  AddInfoLine(s, Format(s.texts.chipAcc32, {s.sums.total}));
  s.window.statusPanels[0] = Format(s.texts.fileChecksumValue, {s.sums.fileAcc32});
  s.window.statusPanels[1] = Format(s.texts.chipChecksumValue, {s.sums.total});
  FillMainView(s, s.chip.imageOffset, UsedMainLast(s));
  if (s.chip.eepSize != 0) FillDataFlashView(s);
  s.window["ViewPageCtrl"].index = 0;
}

void ShowReadMainChecksum(Station& s) {
  AddInfoLine(s, Format(s.texts.readMainAcc32,
                        {Acc32(s.mainImage.bytes, s.chip.imageOffset, UsedMainLast(s))}));
  const uint32_t first = s.chip.mainBase & 0xFFFFFF;
  const uint32_t last = s.chip.mainEnd & 0xFFFFFF;
  s.sums.mainCrc = Crc16Range(s.mainImage.bytes, first, last);
  s.sums.mainSum = static_cast<uint16_t>(Acc32(s.mainImage.bytes, first, last));
}

void ShowReadEepChecksum(Station& s) {
  const uint32_t last = s.chip.eepSize - 1;
  s.sums.eepCrc = Crc16Range(s.eepImage, 0, last);
  uint32_t a = Acc32(s.eepImage, 0, last);
  s.sums.eepSum = static_cast<uint16_t>(a);
  AddInfoLine(s, Format(s.texts.readEepAcc32, {a}));
}

}  // namespace dravon
