#include "link/firmware_file.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "images/object_readers.h"
#include "link/packet_codec.h"

namespace dravon {

void LoadFirmwareFile(Station& s, const std::string& path) {
  FirmwareFile& f = s.firmware;
  std::vector<uint8_t>& buffer = f.buffer;
  BinaryFileResult r = ReadBinaryFile(path, buffer.data(), buffer.size());
  const size_t size = r.bytesRead;
  uint32_t sum = 0;
  auto add = [&sum, &buffer](size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i)
      sum += buffer[i];
  };
  s.app.firmwareValid = 0;
  if (!r.opened || size < kFirmwareImageOffset) return;
  for (size_t i = 0; i < 7; ++i) {
    uint8_t b = buffer[i];
    if (b == 0 || (b ^ kFirmwareMagicKey) != static_cast<uint8_t>(kFirmwareMagic[i])) return;
  }
  add(0, 7);
  s.app.firmwareValid = 1;
  f.startAddress = kFirmwareStartAddress;
  f.version.assign(reinterpret_cast<const char*>(buffer.data() + kFirmwareVersionOffset), 8);
  if (f.version[0] != 'V') f.version.assign(8, '\0');
  add(kFirmwareVersionOffset, 8);
  const uint16_t key = GetU16(buffer.data() + 15);
  f.endAddress = GetU16(buffer.data() + 17) ^ key;
  f.imageLength = GetU16(buffer.data() + 23) ^ key;
  add(15, 10);

  // The key space: the table, then zeros. Copied out, since the image is unmasked over the
  // file's first bytes.
  std::array<uint8_t, kFirmwareKeySpace> keys{};
  std::memcpy(keys.data(), buffer.data() + kFirmwareKeyTableOffset, kFirmwareKeyTableLength);
  add(kFirmwareKeyTableOffset, kFirmwareKeyTableLength);

  const size_t imageBytes = (static_cast<size_t>(f.imageLength) + 15) / 16 * 16;
  const size_t trailerAt = kFirmwareImageOffset + imageBytes;
  // A file whose header asks for more than it holds is no firmware file.
  if (trailerAt + kFirmwareTrailerLength + 4 > size) {
    s.app.firmwareValid = 0;
    return;
  }
  add(kFirmwareImageOffset, imageBytes);
  add(trailerAt, kFirmwareTrailerLength);
  const uint32_t stored = GetU32(buffer.data() + trailerAt + kFirmwareTrailerLength);
  for (size_t g = 0; g * 4 < imageBytes; ++g) {
    const uint8_t k0 = keys[(4 * g) % kFirmwareKeySpace];
    const uint8_t k1 = keys[(4 * g + 1) % kFirmwareKeySpace];
    const uint8_t* in = buffer.data() + kFirmwareImageOffset + 4 * g;
    uint8_t group[4] = {static_cast<uint8_t>(in[0] ^ k0), static_cast<uint8_t>(in[1] ^ k1),
                        static_cast<uint8_t>(in[2] ^ k0), static_cast<uint8_t>(in[3] ^ k1)};
    std::memcpy(buffer.data() + 4 * g, group, 4);
  }
  s.app.firmwareValid = stored == sum ? 1 : 0;
}

}  // namespace dravon
