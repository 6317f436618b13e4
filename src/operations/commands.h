// The operation commands of the tool bar, the Command and Read menus and "Start Off-line
// Progrm": guards, the gather of the settings panel, and the start of each found, idle channel.
#pragma once

#include "core/station.h"

namespace dravon {

void AutoSpdBtnClick(Station& station);
void SpdBtnDownLoadClick(Station& station);
void SpdBtnBlankChkClick(Station& station);
void SpdBtnEraseClick(Station& station);
void SpdBtnProgClick(Station& station);
void SpdBtnVerifyClick(Station& station);
void SpdBtnWrtOPBClick(Station& station);
void WriteEepDataMemory1Click(Station& station);

// Reads on channel 0.
void ReadChipMemory1Click(Station& station);
void ReadEEPMemory1Click(Station& station);
void ReadOptionByte1Click(Station& station);
void ReadChipCheckSum1Click(Station& station);
void ReadSpcAddressClick(Station& station);
void ReadMG32xxChipID1Click(Station& station);

// Reopens every port and tells each programmer to program on its own.
void StartOfflineProgrm1Click(Station& station);

}  // namespace dravon
