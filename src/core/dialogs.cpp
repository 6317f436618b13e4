#include "core/dialogs.h"

#include "core/format.h"
#include "core/main_window.h"
#include "core/numbers.h"

namespace dravon {

void SetAddressFormShow(Station& s, SetAddressModel& m) {
  m.caption = s.texts.readAddressCaption;
  m.addressLabel = s.texts.readAddressLabel;
  m.lengthLabel = s.texts.readLengthLabel;
  m.lengthMaximum = 1024;
  m.lengthText = std::to_string(s.readRequest.length);
  m.addressText = Format("0x%0.8x", {s.readRequest.address});
}

void SetAddressOkClick(Station& s, const SetAddressModel& m) {
  auto address = ParseTypedNumber(s, m.addressText, IntegerWidth::Bits32);
  if (!address) return;
  s.readRequest.address = static_cast<uint32_t>(*address) & ~0xFu;
  s.readRequest.length =
      static_cast<uint16_t>(SpinBoxValue(m.lengthText, m.lengthMinimum, m.lengthMaximum));
}

void RunSetAddressDialog(Station& s) {
  SetAddressModel model;
  SetAddressFormShow(s, model);
  if (s.host.RunDialog(model)) SetAddressOkClick(s, model);
}

void About1Click(Station& s) {
  AboutModel model;
  model.caption = s.texts.aboutCaption;
  model.title = s.texts.aboutTitle;
  model.version = s.texts.aboutVersion;
  model.date = s.texts.aboutDate;
  s.host.RunDialog(model);
}

}  // namespace dravon
