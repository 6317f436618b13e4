// Finding the programmers: the port list, opening and probing, telling a programmer's answer
// from anything else, and a lost port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/station.h"

namespace dravon {

inline constexpr uint16_t kVendorFtdi = 0x0403;
inline constexpr uint16_t kVendorSiliconLabs = 0x10C4;
inline constexpr char kApplicationIdentity[] = "DravonQ40LAP";
inline constexpr char kBootIdentity[] = "DravonQ40XXX-XX";

// The ports of ConfigDqg.ini, read from its text: the names in line order.
std::vector<std::string> ParsePortConfig(const std::string& text);

// Fills ComboBoxCOM and sets AppState.channelCount (at most 10).
void BuildPortList(Station& station);
// The search: every port closed, the list rebuilt, the listed ports opened and probed.
void FindDevices(Station& station);
void BitBtnFindDevClick(Station& station);
void OpenAndProbe(Station& station);
// A complete frame of a channel whose programmer is not found yet.
void DiscoveryReply(Station& station, int channel, size_t frameLength);

// Identity replies: 0 a match with current firmware, 3 a match with older firmware, 15 not an
// identity reply, any other value no match. The identity text is returned in identity.
uint8_t CheckAppIdentity(const Station& station, const uint8_t* packet, size_t length,
                         std::string& identity);
// 0 a match, 15 not an identity reply, 31 no match.
uint8_t CheckBootIdentity(const uint8_t* packet, size_t length);

// The channel's port is gone (adapter pulled, other end closed).
void PortLost(Station& station, int channel);

}  // namespace dravon
