// The main window's behaviour over the window model: its controls and their defaults, the
// edition's captions, the progress bar layout, the panel's enabling rules and GatherJobOptions.
#pragma once

#include <optional>
#include <string_view>

#include "core/numbers.h"
#include "core/station.h"

namespace dravon {

// Every control of the main window with its design-time value, range and visibility.
void BuildMainWindowModel(Station& station);
// The edition's captions, items and hints; RadioGrpRST refilled with its first item selected.
void ApplyEditionTexts(Station& station);
// Shows and places Gauge1..Gauge10 and sizes InfoMemo for AppState.channelCount.
void ArrangeGauges(Station& station);

// Reads the settings panel into JobOptions and the option checksums. Returns false when a
// number does not parse: the error box has been shown and the calling command must stop.
bool GatherJobOptions(Station& station);

void CheckBoxCtrlClick(Station& station);
void ChkBoxAutoClick(Station& station);
// A key typed anywhere in the window: Enter runs the Auto command.
void FormKeyPress(Station& station, char key);

// Parses a number typed into a control; on failure shows "'%s' is not a valid integer value".
std::optional<int64_t> ParseTypedNumber(Station& station, std::string_view text,
                                        IntegerWidth width);

// The value of a spin box control, kept inside its range.
int64_t SpinEditValue(const Control& control);

}  // namespace dravon
