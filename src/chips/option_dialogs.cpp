#include "chips/option_dialogs.h"

#include <algorithm>

#include "chips/families.h"
#include "core/format.h"
#include "core/main_window.h"
#include "link/packet_codec.h"

namespace dravon {
namespace {

// Offsets of the wizard's edit fields in the option image.
constexpr size_t kEditOffsets[6] = {8, 12, 16, 20, 40, 44};

bool Cleared(uint8_t byte, int bit) {
  return (byte & (1u << bit)) == 0;
}

}  // namespace

std::string Ac78RopPanel(int item) {
  return item == 0 ? "0xFFAC" : "0xFF00";
}

std::string Ac78WdtPanel(int item) {
  return item == 0 ? "0xFFFF" : "0xFF33";
}

void Ac78FormShow(Station& s, Ac78OptionModel& m) {
  const uint8_t* o = s.optionImage.data();
  m.caption = s.texts.ac78OptionCaption;
  m.ropItems = {"RDP1=5A / RDP2=FF : L0级--------未读保护",
                "RD1P=00 / RDP2=FF : L1级--------读保护（可逆）"};
  m.wdtItems = {"WDT 关闭", "WDT 开启", ""};
  m.rop = GetU16(o) == 0xFFAC ? 0 : 1;
  m.wdt = GetU16(o + 4) == 0xFFFF ? 0 : 1;
  for (size_t i = 0; i < 6; ++i) {
    size_t at = kEditOffsets[i];
    // Lower-case digits, as the wizard always showed them.
    std::string text = Format("0x%0.2x%0.2x", {o[at + 1], o[at]});
    for (size_t k = 2; k < text.size(); ++k)
      text[k] = static_cast<char>(std::tolower(text[k]));
    m.edits[i] = text;
  }
}

void Ac78OkClick(Station& s, const Ac78OptionModel& m) {
  uint8_t* o = s.optionImage.data();
  std::fill(o, o + 128, 0xFF);
  if (m.rop == 0) {
    o[0] = 0xAC;
  } else {
    o[0] = 0x00;
    s.app.optionEdited = 1;
  }
  o[2] = static_cast<uint8_t>(~o[0]);
  if (m.wdt == 1) {
    o[4] = 0x33;
    o[6] = 0xCC;
    s.app.optionEdited = 1;
  }
  for (size_t i = 0; i < 6; ++i) {
    auto value = ParseTypedNumber(s, m.edits[i], IntegerWidth::Bits32);
    if (!value) return;
    const uint16_t v = static_cast<uint16_t>(*value);
    if (v == 0xFFFF) continue;
    uint8_t* field = o + kEditOffsets[i];
    field[0] = static_cast<uint8_t>(v);
    field[1] = static_cast<uint8_t>(v >> 8);
    field[2] = static_cast<uint8_t>(~field[0]);
    field[3] = static_cast<uint8_t>(~field[1]);
    s.app.optionEdited = 1;
  }
}

void AucuFormShow(Station& s, AucuConfigModel& m) {
  const uint8_t* o = s.optionImage.data();
  m.caption = s.texts.aucuConfigCaption;
  m.lifeCycle = Cleared(o[0], 0);
  m.uart0 = Cleared(o[16], 0);
  m.uart1 = Cleared(o[16], 1);
  m.uart2 = Cleared(o[16], 2);
  m.jtag = Cleared(o[20], 0);
  m.boot = Cleared(o[24], 0);
  m.infoRegion = Cleared(o[32], 0);
}

void AucuOkClick(Station& s, const AucuConfigModel& m) {
  uint8_t* o = s.optionImage.data();
  o[0] = m.lifeCycle ? 0xFE : 0xFF;
  uint8_t uart = m.uart0 ? 0xFE : 0xFF;
  uart = static_cast<uint8_t>(m.uart1 ? uart & ~0x02 : uart | 0x02);
  uart = static_cast<uint8_t>(m.uart2 ? uart & ~0x04 : uart | 0x04);
  o[16] = uart;
  o[24] = m.boot ? 0xFE : 0xFF;
  // The JTAG disable and the Info_rgn1 lock cannot be undone on the chip: never written.
  o[20] = 0xFF;
  o[32] = 0xFF;
  s.app.optionEdited = 1;
}

void BtnOptionCfgClick(Station& s) {
  if (s.chip.vendor == kVendorAutoChip) {
    Ac78OptionModel model;
    Ac78FormShow(s, model);
    if (s.host.RunDialog(model)) Ac78OkClick(s, model);
    ShowAc78Option(s);
  } else if (s.chip.vendor == kVendorAucuic) {
    AucuConfigModel model;
    AucuFormShow(s, model);
    if (s.host.RunDialog(model)) AucuOkClick(s, model);
    ShowAucuConfig(s);
  }
  s.window["CheckBoxOpt"].checked = s.app.optionEdited != 0;
}

void ShowChipOptionData1Click(Station& s) {
  if (s.chip.vendor == kVendorAutoChip) {
    ShowAc78Option(s);
  } else if (s.chip.vendor == kVendorAucuic) {
    ShowAucuConfig(s);
  }
}

}  // namespace dravon
