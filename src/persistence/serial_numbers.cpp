#include "persistence/serial_numbers.h"

#include <algorithm>
#include <cctype>
#include "core/format.h"
#include "core/hex_views.h"
#include "core/info_list.h"
#include "core/main_window.h"
#include "images/checksums.h"
#include "images/object_readers.h"

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

void FixedSnAreaClick(FixedSnModel& m) {
  m.addressText = Format("0x%0.8x", {m.area == 0 ? m.mainBase : m.eepBase});
}

bool NextHexByte(std::string_view text, size_t& position, uint8_t& byte) {
  while (position < text.size() && text[position] == ' ')
    ++position;
  if (position >= text.size()) return false;
  unsigned value = 0;
  while (position < text.size() && text[position] != ' ') {
    const char c = text[position++];
    unsigned digit = 0;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    value = (value * 16 + digit) % 256;
  }
  byte = static_cast<uint8_t>(value);
  return true;
}

void WriteFixedSnData(Station& s, const FixedSnModel& m, uint32_t a) {
  std::vector<uint8_t> bytes;
  if (m.format == 0) {
    bytes.assign(m.data.begin(), m.data.end());
  } else {
    size_t position = 0;
    uint8_t b = 0;
    while (NextHexByte(m.data, position, b))
      bytes.push_back(b);
  }
  const bool main = m.area == 0;
  const ChipProfile& c = s.chip;
  const uint32_t base = main ? c.mainBase : c.eepBase;
  const uint32_t end = main ? c.mainEnd : c.eepEnd;
  std::vector<uint8_t>& image = main ? s.mainImage.bytes : s.eepImage;
  // The whole data must fall inside the area and its image, or nothing is written.
  const bool area = main || c.eepSize != 0;
  const uint64_t last = uint64_t{a} + bytes.size() - (bytes.empty() ? 0 : 1);
  if (!area || a < base || a > end || last > end ||
      uint64_t{a} - base + bytes.size() > image.size()) {
    s.host.ShowMessage(BoxKind::Information, s.texts.addressOutOfMemory);
    return;
  }
  const uint32_t o = a - base;
  std::copy(bytes.begin(), bytes.end(), image.begin() + o);
  if (main) {
    const uint32_t r = c.mainBase + (o & ~0xFu);
    RefreshMainViewRows(s, r, r + static_cast<uint32_t>(bytes.size() | 15) + 1);
  } else {
    ShowEepChecksum(s);
    FillDataFlashView(s);
  }
}

void ButtonCfgSNClick(Station& s) {
  if (!s.app.chipSelected || !s.app.fileLoaded) {
    s.host.ShowMessage(BoxKind::Warning, s.texts.fixedSnNeedsChip);
    return;
  }
  FixedSnModel& m = s.fixedSn;
  const Texts& t = s.texts;
  m.caption = t.fixedSnCaption;
  m.addressLabel = t.fixedSnAddressLabel;
  m.areaCaption = t.fixedSnAreaCaption;
  m.formatCaption = t.fixedSnFormatCaption;
  m.dataLabel = t.fixedSnDataLabel;
  m.areaItems = SplitItems(t.fixedSnAreaItems);
  m.formatItems = SplitItems(t.fixedSnFormatItems);
  m.mainBase = s.chip.mainBase;
  m.eepBase = s.chip.eepBase;
  m.area = 0;
  FixedSnAreaClick(m);
  while (s.host.RunDialog(m)) {
    for (char& ch : m.data)
      ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (m.data.size() > 255) m.data.resize(255);
    if (m.data.empty()) {
      s.host.ShowMessage(BoxKind::Information, t.fixedSnEmpty);
      continue;
    }
    auto address = ParseTypedNumber(s, m.addressText, IntegerWidth::Bits32);
    if (!address) continue;
    WriteFixedSnData(s, m, static_cast<uint32_t>(*address));
    break;
  }
  ComputeMainUsedSize(s);
  AddInfoLine(s, Format(t.programmedSize, {s.chip.mainUsedSize, s.chip.mainUsedSize - 1}));
  ShowMainChecksum(s);
  if (s.chip.eepSize != 0) ShowEepChecksum(s);
  s.sums.total = s.sums.main32 + s.sums.eep32;
  AddInfoLine(s, Format(t.chipAcc32, {s.sums.total}));
  s.window.statusPanels[0] = Format(t.fileChecksumValue, {s.sums.fileAcc32});
  s.window.statusPanels[1] = Format(t.chipChecksumValue, {s.sums.total});
}

}  // namespace dravon
