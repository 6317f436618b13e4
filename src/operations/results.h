// Channel primitives every operation uses: the channel's line in the information list, arming
// a step, ending the channel, result-code messages and the programmers' own status reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/station.h"

namespace dravon {

enum class ProgressMode : uint8_t {
  Tick,   // the bar moves on every timer tick
  Block,  // the bar moves with the blocks of the transfer
};

// "> " + local long time + " C<channel+1> : " + text.
void ChannelLine(Station& station, std::string_view text, int channel);

void ArmChannel(Station& station, int channel, uint16_t timeoutTicks, uint32_t size,
                ProgressMode mode);

// The only way a chain ends: idle, not busy, full bar, red when failed.
void FinishChannel(Station& station, int channel, bool failed);

// 0 and 6 end the channel as a success; every other code as a failure with its message.
void ReportResult(Station& station, uint8_t code, int channel);

// The text the operator sees for a programmer result code.
std::string ErrorMessage(const Texts& texts, uint8_t code);

// Takes in the 8-byte status report in the channel's packet area.
void HandleStatusReport(Station& station, int channel);

}  // namespace dravon
