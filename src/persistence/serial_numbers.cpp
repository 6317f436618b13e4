#include "persistence/serial_numbers.h"

#include "core/format.h"
#include "core/hex_views.h"
#include "core/main_window.h"
#include "images/checksums.h"

namespace dravon {

void CheckBoxSNClick(Station& s) {
  bool on = s.window["CheckBoxSN"].checked;
  for (const char* name : {"AddrEdit", "SNEdit1", "GainEdit", "SNOrderChk", "ChkBoxPCSN"}) {
    s.window[name].enabled = on;
  }
}

void ChkBoxSNDPClick(Station& s) {
  Control& edit = s.window["SNEdit1"];
  auto value = ParseTypedNumber(s, edit.text, IntegerWidth::Bits64);
  if (!value) return;
  uint32_t v = static_cast<uint32_t>(*value);
  edit.text = s.window["ChkBoxSNDP"].checked ? Format("%u", {v}) : Format("0x%0.8x", {v});
}

bool PlaceSerialNumber(Station& s) {
  const uint32_t v = s.job.snInitial;
  const uint32_t n = s.job.snLength;
  const ChipProfile& c = s.chip;
  // The whole number must lie inside main flash, or nothing is written.
  const uint64_t first = uint64_t{s.job.snAddress};
  if (first < c.mainBase || first + n - 1 > c.mainEnd ||
      first - c.mainBase + n > s.mainImage.bytes.size()) {
    s.host.ShowMessage(BoxKind::Information, s.texts.addressOutOfMemory);
    return false;
  }
  const uint32_t at = static_cast<uint32_t>(first - c.mainBase);
  const bool bigEndian = s.window["SNOrderChk"].checked;
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t b = static_cast<uint8_t>(v >> (8 * i));
    s.mainImage.bytes[bigEndian ? at + n - 1 - i : at + i] = b;
  }
  // The grid shows the image as it is now; its rows are rewritten.
  RefreshMainViewRows(s, c.mainBase + at, c.mainBase + at + n - 1);
  const uint32_t usedFirst = c.imageOffset;
  const uint32_t usedLast = c.imageOffset + c.mainUsedSize - 1;
  s.sums.mainCrc = Crc16Range(s.mainImage.bytes, usedFirst, usedLast);
  s.sums.mainSum = static_cast<uint16_t>(Acc32(s.mainImage.bytes, usedFirst, usedLast));
  return true;
}

void AdvanceSerialNumber(Station& s) {
  if (!s.window["ChkBoxPCSN"].checked || !s.window["CheckBoxSN"].checked) return;
  s.job.snInitial += s.job.snGain;
  const uint32_t v = s.job.snInitial;
  s.window["SNEdit1"].text =
      s.window["ChkBoxSNDP"].checked ? Format("%u", {v}) : Format("0x%0.8x", {v});
}

}  // namespace dravon
