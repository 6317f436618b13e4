// Arbitrary bytes as the programmer firmware file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "fuzz_platform.h"
#include "link/firmware_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fs = std::filesystem;
  static const fs::path file = fs::temp_directory_path() / "dravon-firmware-fuzz.FWR";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  dravon::LoadFirmwareFile(dravon::fuzz::FuzzStation(), file.string());
  return 0;
}
