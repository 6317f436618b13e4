#include "link/discovery.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/file_io.h"
#include "core/format.h"
#include "core/info_list.h"
#include "core/main_window.h"
#include "link/commands.h"
#include "link/firmware_upgrade.h"
#include "link/packet_codec.h"
#include "link/receive.h"
#include "operations/results.h"

namespace dravon {
namespace {

constexpr uint8_t kNotIdentity = 15;
constexpr uint8_t kAppMismatch = 1;
constexpr uint8_t kBootMismatch = 31;

std::string Upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  size_t a = text.find_first_not_of(" \t\r\n");
  size_t b = text.find_last_not_of(" \t\r\n");
  return a == std::string::npos ? std::string() : text.substr(a, b - a + 1);
}

// The text of an identity reply: bytes 28 .. 28+L, ended by the first byte outside 0x20..0x7F.
bool IdentityText(const uint8_t* packet, size_t length, std::string& text) {
  if (length < 8 || packet[0] != 0xA3 || packet[1] != 0xA5 || packet[2] != 0x35) return false;
  const uint16_t l = GetU16(packet + 6);
  if (l == 0) return false;
  text.clear();
  for (size_t i = 28; i <= 28u + l && i < length; ++i) {
    uint8_t b = packet[i];
    if (b < 0x20 || b > 0x7F) break;
    text += static_cast<char>(b);
  }
  return true;
}

void CloseChannelPort(Channel& c) {
  if (c.port && c.port->IsOpen()) c.port->Close();
}

}  // namespace

std::vector<std::string> ParsePortConfig(const std::string& text) {
  std::vector<std::string> ports;
  std::istringstream in(text);
  std::string line;
  bool section = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!section) {
      section = Trim(line) == "[Connection]";
      continue;
    }
    const std::string upper = Upper(Trim(line));
    if (upper.rfind("DEV", 0) != 0) continue;  // TOTDEV and other lines carry nothing needed
    size_t equals = upper.find('=');
    if (equals == std::string::npos) continue;
    const std::string number = upper.substr(3, equals - 3);
    if (number.empty() || number.size() > 2 ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    const int n = std::stoi(number);
    if (n < 1 || n > kChannelCount) continue;
    // The name keeps its case: device paths are case-sensitive.
    const std::string name = Trim(Trim(line).substr(equals + 1));
    if (!name.empty()) ports.push_back(name);
  }
  return ports;
}

void BuildPortList(Station& s) {
  Control& combo = s.window["ComboBoxCOM"];
  combo.items.clear();
  const std::string config = (Utf8Path(s.app.programDir) / "ConfigDqg.ini").string();
  std::vector<uint8_t> bytes;
  std::string error;
  bool fromSystem = false;
  if (ReadWholeFile(config, bytes, error)) {
    combo.items = ParsePortConfig(std::string(bytes.begin(), bytes.end()));
  } else {
    fromSystem = true;
    for (const PortInfo& port : s.portEnumerator.SystemPorts()) {
      const bool adapter =
          port.hasVendorId && (port.vendorId == kVendorFtdi || port.vendorId == kVendorSiliconLabs);
      if (adapter && s.portEnumerator.TryOpen(port.name)) combo.items.push_back(port.name);
    }
  }
  s.app.channelCount = static_cast<uint8_t>(std::min<size_t>(combo.items.size(), kChannelCount));
  // One bar per listed port, also when a later search finds more or fewer.
  ArrangeGauges(s);
  if (combo.items.empty()) {
    combo.index = -1;
    if (fromSystem) combo.text = s.texts.noComPort;
  } else {
    combo.index = static_cast<int>(combo.items.size()) - 1;
  }
}

void FindDevices(Station& s) {
  for (Channel& c : s.channels) {
    CloseChannelPort(c);
    c.found = 0;
    c.busy = 0;
  }
  BuildPortList(s);
  OpenAndProbe(s);
}

void BitBtnFindDevClick(Station& s) {
  FindDevices(s);
}

void OpenAndProbe(Station& s) {
  const std::vector<std::string> list = s.window["ComboBoxCOM"].items;
  if (list.empty()) return;
  s.app.devicesFound = 0;
  const int count = std::min<int>(s.app.channelCount, static_cast<int>(list.size()));
  for (int k = 0; k < count; ++k) {
    Channel& c = s.channels[k];
    CloseChannelPort(c);
    c.rxCount = 0;
    c.timeoutTicks = 300;
    c.found = 0;
    c.gauge.value = 0;
    s.window["InfoPanel"].caption = s.texts.searchingDevices;
    AddInfoLine(s, Format(s.texts.checkingDevice, {k + 1, list[k]}));
    if (!c.port) continue;
    c.port->SetName(list[k]);
    std::string error;
    if (!c.port->Open(error)) {
      // As the operator always saw it: the search ends at the first port that will not open.
      s.host.ShowMessage(BoxKind::Error, Format(s.texts.errorOpeningPort, {list[k]}) +
                                             (error.empty() ? "" : " (" + error + ")"));
      return;
    }
  }
  s.host.Wait(50);
  for (int k = 0; k < count; ++k) {
    s.host.Wait(50);
    SendIdentify(s, k);
  }
}

uint8_t CheckAppIdentity(const Station& s, const uint8_t* packet, size_t length,
                         std::string& identity) {
  std::string text;
  if (!IdentityText(packet, length, text)) return kNotIdentity;
  const size_t n = std::strlen(kApplicationIdentity);
  if (text.compare(0, n, kApplicationIdentity) != 0) return kAppMismatch;
  identity = text.substr(0, 127);
  size_t v = identity.find(" V");
  if (v == std::string::npos) return 0;
  std::string version = identity.substr(v + 1);
  version = version.substr(0, std::min(version.find_first_of(" ,"), size_t{8}));
  const std::string& file = s.firmware.version;
  std::string fileVersion = file.substr(0, std::min(version.size(), file.size()));
  fileVersion = fileVersion.c_str();  // the file's version ends at its first NUL
  return version.compare(0, version.size(), fileVersion) < 0 ? 3 : 0;
}

uint8_t CheckBootIdentity(const uint8_t* packet, size_t length) {
  std::string text;
  if (!IdentityText(packet, length, text)) return kNotIdentity;
  return text.compare(0, std::strlen(kBootIdentity), kBootIdentity) == 0 ? 0 : kBootMismatch;
}

void DiscoveryReply(Station& s, int k, size_t frameLength) {
  Channel& c = s.channels[k];
  size_t length = 0;
  if (UnstuffFrame(c, frameLength, length) != kResultOk) return;
  const uint8_t* p = c.packet.data();
  if (p[0] == 0xFD) {
    HandleStatusReport(s, k);
    return;
  }
  if (p[0] == 0xFA) return;
  std::string identity;
  const uint8_t r = CheckAppIdentity(s, p, length, identity);
  if (r == 0 || r == 3) {
    ++s.app.devicesFound;
    c.found = 1;
    c.state = ChannelState::Idle;
    c.timeoutTicks = 500;
    s.window["InfoPanel"].caption = identity;
    ChannelLine(s, Format(s.texts.findDevice, {identity}), k);
    if (r == 3) StartUpgrade(s, k);
    return;
  }
  if (CheckBootIdentity(p, length) == 0) {
    StartUpgrade(s, k);
    return;
  }
  c.found = 0;
  s.window["InfoPanel"].caption = s.texts.noDeviceFound;
  ChannelLine(s, s.texts.noDeviceFound, k);
}

void PortLost(Station& s, int k) {
  Channel& c = s.channels[k];
  // The operator learns which programmer went away; the step it ran ends with its time-out.
  ChannelLine(s, Format(s.texts.portLost, {c.port ? c.port->Name() : std::string()}), k);
  CloseChannelPort(c);
  c.found = 0;
  Control& combo = s.window["ComboBoxCOM"];
  if (k >= 0 && static_cast<size_t>(k) < combo.items.size()) {
    combo.items.erase(combo.items.begin() + k);
  }
  if (combo.items.empty()) {
    combo.index = -1;
    combo.text = s.texts.pleaseConnectDevice;
  } else {
    combo.index = std::min<int>(combo.index, static_cast<int>(combo.items.size()) - 1);
  }
}

}  // namespace dravon
