// Bringing programmers to the firmware of DravonLAPS.FWR, block by block.
#pragma once

#include <cstdint>

#include "core/station.h"

namespace dravon {

inline constexpr char kFirmwareFileName[] = "DravonLAPS.FWR";

// Begins the upgrade of one channel; nothing happens without a valid firmware file.
void StartUpgrade(Station& station, int channel);
// The reply to a firmware block.
void OnUpgradeReply(Station& station, uint8_t result, int channel);
bool SendFirmwareBlock(Station& station, uint16_t blockIndex, int channel);
bool SendFirmwareEnd(Station& station, int channel);
// "Do Firmware Upgrade": every found programmer gets the file's firmware.
void DoFirmwareUpgrade(Station& station);

}  // namespace dravon
