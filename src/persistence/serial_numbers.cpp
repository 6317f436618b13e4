#include "persistence/serial_numbers.h"

#include "core/format.h"
#include "core/main_window.h"

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

}  // namespace dravon
