// The chains of steps a channel runs: the start operations that begin each step, and the
// response handlers that take each reply and move the chain on.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/station.h"

namespace dravon {

void StartJobDownload(Station& station, int channel);
void StartDriverDownload(Station& station, int channel);
void StartMainDownload(Station& station, int channel);
void StartEepDownload(Station& station, int channel);
void StartAutoProgram(Station& station, int channel);
void StartBlankCheck(Station& station, int channel);
void StartErase(Station& station, int channel, std::string_view announcement);
void StartProgramMain(Station& station, int channel);
void StartProgramEep(Station& station, int channel);
void StartVerifyMain(Station& station, int channel);
void StartVerifyEep(Station& station, int channel);
void StartVerifyMainInProgrammer(Station& station, int channel);
void StartVerifyEepInProgrammer(Station& station, int channel);
void StartWriteOption(Station& station, int channel);
void StartReadOption(Station& station, int channel);
void StartReadMain(Station& station, int channel);
void StartReadEep(Station& station, int channel);
void StartReadChecksum(Station& station, int channel);

void StartVerify(Station& station, int channel);
void FinishMainProgram(Station& station, int channel);
void FinishDownload(Station& station, int channel);

// The handler of the channel's state takes the reply's result code (0 a data reply, else the
// status byte, 0x23 a CRC error); reply length is the unstuffed packet's length.
void HandleReply(Station& station, int channel, uint8_t result, size_t replyLength);

// While a channel waits for a block of chip data and has the start of its reply, the fewest
// bytes still to come before that reply can be whole (a successful one holds the header, the
// block and its check); 0 otherwise. A port may let them gather instead of handing over every
// piece: an error reply, being short, is at most that many bytes late.
size_t BytesStillComing(const Station& station, int channel);

}  // namespace dravon
