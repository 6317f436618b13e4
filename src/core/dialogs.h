// The small dialogs of the main window as models the host shows: the read-address dialog and
// the About box.
#pragma once

#include <string>
#include <string_view>

#include "core/platform.h"
#include "core/station.h"

namespace dravon {

// TSetAddressForm: start address and length of a "Read Specific Address" command.
struct SetAddressModel final : DialogModel {
  std::string_view DialogName() const override { return "TSetAddressForm"; }
  std::string caption;
  std::string addressLabel;
  std::string lengthLabel;
  std::string addressText;  // EditAddr
  std::string lengthText;   // SpinEditRD as typed
  int64_t lengthMinimum = 16;
  int64_t lengthMaximum = 1024;
  int64_t lengthStep = 16;
};

// TAboutForm.
struct AboutModel final : DialogModel {
  std::string_view DialogName() const override { return "TAboutForm"; }
  std::string caption;
  std::string title;
  std::string version;
  std::string date;
};

void SetAddressFormShow(Station& station, SetAddressModel& model);
// OK: address and length taken over, the address rounded down to 16. An address that does not
// parse shows the conversion error and keeps the previous address and length.
void SetAddressOkClick(Station& station, const SetAddressModel& model);
// Creates, shows and destroys the dialog; closed other than by OK, nothing changes.
void RunSetAddressDialog(Station& station);

void About1Click(Station& station);

}  // namespace dravon
