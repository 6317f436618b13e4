// dravonpack: writes the files a programmer installation ships beside dravonprog.
//   dravonpack driver OUT.WDR DESCRIPTION   a flash driver file from a plain description
//   dravonpack firmware OUT.FWR VERSION BLOCKS SEED
//                                           a programmer firmware file of BLOCKS 2 KiB blocks
// A driver description holds lines of the form
//   key   <16 hex bytes>              the file's descrambling key
//   code  <bytes> <seed>              driver code at the start of the data area (a pattern)
//   fragment <Name> <text>            a fragment: BlankCheck, ReadChecksum, Erase, Program or
//                                     WriteOption, holding the text's bytes
// and comments after '#'.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "chips/flash_driver.h"
#include "core/file_io.h"
#include "link/firmware_file.h"
#include "link/packet_codec.h"

namespace {

using namespace dravon;

int Fail(const std::string& message) {
  std::fprintf(stderr, "dravonpack: %s\n", message.c_str());
  return 1;
}

std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes)
    b = static_cast<uint8_t>(gen());
  return bytes;
}

int PackDriver(const std::string& out, const std::string& description) {
  std::ifstream in(description);
  if (!in) return Fail(description + ": cannot open");
  const std::map<std::string, size_t> entries = {{"BlankCheck", kFragmentBlankCheck},
                                                 {"ReadChecksum", kFragmentReadChecksum},
                                                 {"Erase", kFragmentErase},
                                                 {"Program", kFragmentProgram},
                                                 {"WriteOption", kFragmentWriteOption}};
  std::vector<uint8_t> key(16, 0);
  std::vector<uint8_t> data;
  std::vector<std::pair<size_t, std::string>> fragments;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;
    if (word == "key") {
      for (uint8_t& k : key) {
        unsigned v = 0;
        if (!(words >> std::hex >> v) || v > 255) return Fail(description + ": bad key");
        k = static_cast<uint8_t>(v);
      }
    } else if (word == "code") {
      size_t size = 0;
      uint32_t seed = 0;
      if (!(words >> size >> seed)) return Fail(description + ": bad code line");
      std::vector<uint8_t> code = Pattern(size, seed);
      data.insert(data.end(), code.begin(), code.end());
    } else if (word == "fragment") {
      std::string name;
      words >> name;
      auto it = entries.find(name);
      if (it == entries.end()) return Fail(description + ": unknown fragment " + name);
      std::string text;
      std::getline(words >> std::ws, text);
      fragments.emplace_back(it->second, text);
    } else {
      return Fail(description + ":" + std::to_string(number) + ": unknown line");
    }
  }
  std::vector<uint8_t> image(kDriverHeaderLength);
  std::memcpy(image.data(), kDriverMagic, 8);
  image[8] = 0x01;
  std::memcpy(image.data() + 16, key.data(), 16);
  for (const auto& [entry, text] : fragments) {
    PutU16(image.data() + entry, static_cast<uint16_t>(kDriverHeaderLength + data.size()));
    PutU16(image.data() + entry + 2, static_cast<uint16_t>(text.size()));
    data.insert(data.end(), text.begin(), text.end());
  }
  if (data.size() + kDriverHeaderLength + kDriverTrailerLength > kMaxDriverFileSize) {
    return Fail(description + ": driver too large");
  }
  PutU16(image.data() + 10, PacketCrc16N(data.data(), static_cast<uint32_t>(data.size())));
  PutU16(image.data() + 12, static_cast<uint16_t>(data.size()));
  image.insert(image.end(), data.begin(), data.end());
  image.resize(image.size() + kDriverTrailerLength, 0);
  const size_t size = image.size();
  image.resize(size + 48, 0xFF);  // the scrambling runs to the end of the last 16-byte block
  ScrambleDriver(image.data(), image.size(), static_cast<uint16_t>(size - 1));
  SafeFileWriter file(out);
  file.Write(image.data(), size);
  return file.Commit() ? 0 : Fail(out + ": " + file.error());
}

int PackFirmware(const std::string& out, const std::string& version, int blocks, uint32_t seed) {
  if (blocks < 1 || blocks > 29) return Fail("blocks must be 1..29");
  if (version.empty() || version.size() > 8) return Fail("version must be 1..8 characters");
  std::mt19937 gen(seed);
  auto randomByte = [&gen] { return static_cast<uint8_t>(gen() % 255); };
  const size_t imageLength = static_cast<size_t>(blocks) * 2048;
  const uint16_t endAddress = static_cast<uint16_t>(kFirmwareStartAddress + blocks * 1024 - 1);
  std::vector<uint8_t> image = Pattern(imageLength, seed ^ 0x5EED);

  std::vector<uint8_t> f(kFirmwareImageOffset, 0);
  for (int i = 0; i < 7; ++i)
    f[i] = static_cast<uint8_t>(kFirmwareMagic[i] ^ kFirmwareMagicKey);
  std::memcpy(f.data() + kFirmwareVersionOffset, version.data(), version.size());
  const uint16_t key = static_cast<uint16_t>(gen());
  PutU16(f.data() + 15, key);
  PutU16(f.data() + 17, endAddress ^ key);
  PutU16(f.data() + 19, static_cast<uint16_t>(gen()));
  PutU16(f.data() + 21, static_cast<uint16_t>(gen()));
  PutU16(f.data() + 23, static_cast<uint16_t>(imageLength) ^ key);
  std::vector<uint8_t> keys(kFirmwareKeySpace, 0);
  for (size_t i = 0; i < kFirmwareKeyTableLength; ++i)
    keys[i] = f[kFirmwareKeyTableOffset + i] = randomByte();
  const size_t rounded = (imageLength + 15) / 16 * 16;
  image.resize(rounded, 0xFF);
  for (size_t g = 0; g * 4 < rounded; ++g) {
    const uint8_t k0 = keys[(4 * g) % kFirmwareKeySpace];
    const uint8_t k1 = keys[(4 * g + 1) % kFirmwareKeySpace];
    f.push_back(image[4 * g] ^ k0);
    f.push_back(image[4 * g + 1] ^ k1);
    f.push_back(image[4 * g + 2] ^ k0);
    f.push_back(image[4 * g + 3] ^ k1);
  }
  for (size_t i = 0; i < kFirmwareTrailerLength; ++i)
    f.push_back(randomByte());
  uint32_t sum = 0;
  for (uint8_t b : f)
    sum += b;
  f.resize(f.size() + 4);
  PutU32(f.data() + f.size() - 4, sum);
  if (f.size() > kFirmwareBufferSize) return Fail("firmware file too large");
  SafeFileWriter file(out);
  file.Write(f.data(), f.size());
  return file.Commit() ? 0 : Fail(out + ": " + file.error());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "driver") return PackDriver(args[1], args[2]);
  if (args.size() == 5 && args[0] == "firmware") {
    return PackFirmware(args[1], args[2], std::atoi(args[3].c_str()),
                        static_cast<uint32_t>(std::strtoul(args[4].c_str(), nullptr, 0)));
  }
  std::fprintf(stderr,
               "usage: dravonpack driver OUT.WDR DESCRIPTION\n"
               "       dravonpack firmware OUT.FWR VERSION BLOCKS SEED\n");
  return 2;
}
