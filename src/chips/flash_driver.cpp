#include "chips/flash_driver.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

#include "core/file_io.h"
#include "core/format.h"
#include "images/object_readers.h"
#include "link/packet_codec.h"

namespace dravon {
namespace {

struct DriverName {
  const char* prefix;
  const char* file;
};

// Tested in this order.
constexpr DriverName kDriverFiles[] = {
    {"AC78", "FDrvAC78X.WDR"},       {"IND8", "FDrvIndieA.WDR"},   {"ML630Q46", "FDrvML6xQ.WDR"},
    {"ML630Q448", "FDrvMxQ448.WDR"}, {"MR88F", "FDrvMR88Fx5.WDR"},
};

size_t CopyFragment(Station& s, int channel, size_t entry, size_t position) {
  const std::vector<uint8_t>& driver = s.flashDriver.buffer;
  const size_t offset = GetU16(driver.data() + entry);
  size_t length = GetU16(driver.data() + entry + 2);
  std::array<uint8_t, kPacketSize>& packet = s.channels[channel].packet;
  if (offset >= driver.size() || position >= packet.size()) return 0;
  length = std::min({length, driver.size() - offset, packet.size() - position});
  std::memcpy(packet.data() + position, driver.data() + offset, length);
  return length;
}

}  // namespace

std::string DriverFileForChip(Station& s, const std::string& chipName) {
  for (const DriverName& d : kDriverFiles) {
    if (chipName.compare(0, std::strlen(d.prefix), d.prefix) == 0) {
      return (Utf8Path(s.app.programDir) / "VelmorDRVs" / d.file).string();
    }
  }
  s.host.ShowMessage(BoxKind::Information, s.texts.driverNotExists);
  return std::string();
}

void ScrambleDriver(uint8_t* image, size_t imageSize, uint16_t last) {
  const size_t blocks = static_cast<size_t>(last) / 16 + 1;
  for (size_t b = 0; b < blocks; ++b) {
    for (size_t i = 0; i < 16; ++i) {
      size_t at = 32 + 16 * b + i;
      if (at >= imageSize) return;
      image[at] ^= static_cast<uint8_t>(kDriverConstantKey ^ (b & 0xFF) ^ image[16 + i]);
    }
  }
}

void LoadFlashDriver(Station& s) {
  FlashDriver& d = s.flashDriver;
  std::fill(d.buffer.begin(), d.buffer.end(), 0xFF);
  d.path = DriverFileForChip(s, s.chip.chipName);
  if (d.path.empty()) {
    s.host.ShowMessage(BoxKind::Information, s.texts.noDriverFound);
    return;
  }
  std::error_code e;
  if (!std::filesystem::is_regular_file(Utf8Path(d.path), e)) {
    s.host.ShowMessage(BoxKind::Information, Format(s.texts.driverFileMissing, {d.path}));
    return;
  }
  const uint64_t size = std::filesystem::file_size(Utf8Path(d.path), e);
  if (e || size == 0 || size > kMaxDriverFileSize) {
    s.host.ShowMessage(BoxKind::Information, s.texts.driverCheckError);
    return;
  }
  BinaryFileResult r = ReadBinaryFile(d.path, d.buffer.data(), d.buffer.size());
  const uint16_t last = static_cast<uint16_t>(r.size - 1);
  d.sizePlusOne = static_cast<uint16_t>(last + 1);
  ScrambleDriver(d.buffer.data(), d.buffer.size(), last);
  const uint8_t* image = d.buffer.data();
  bool valid = r.bytesRead == r.size && std::memcmp(image, kDriverMagic, 8) == 0;
  if (valid) {
    // The length first: it keeps the CRC inside what was read.
    const uint16_t dataLength = GetU16(image + 12);
    valid = last == dataLength + kDriverHeaderLength + kDriverTrailerLength - 1 &&
            PacketCrc16N(image + kDriverHeaderLength, dataLength) == GetU16(image + 10);
  }
  if (!valid) {
    s.host.ShowMessage(BoxKind::Information, s.texts.driverCheckError);
    return;
  }
  // The descrambled driver, for checking it by hand.
  SafeFileWriter copy((std::filesystem::current_path(e) / "TstD.x").string());
  copy.Write(image, static_cast<size_t>(last) + 1);
  copy.Commit();
}

size_t DriverFragment(Station& s, int channel, size_t position) {
  size_t entry = 0;
  switch (s.channels[channel].state) {
    case ChannelState::BlankCheck:
      entry = kFragmentBlankCheck;
      break;
    case ChannelState::ReadChecksum:
      entry = kFragmentReadChecksum;
      break;
    case ChannelState::Erase:
      entry = kFragmentErase;
      break;
    case ChannelState::ProgramMain:
    case ChannelState::ProgramEep:
      entry = kFragmentProgram;
      break;
    case ChannelState::WriteOption:
      entry = kFragmentWriteOption;
      break;
    default:
      return 0;
  }
  return CopyFragment(s, channel, entry, position);
}

size_t DriverFragmentGeneral(Station& s, int channel, size_t position) {
  return CopyFragment(s, channel, kFragmentWriteOption, position);
}

}  // namespace dravon
