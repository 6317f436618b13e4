// Arbitrary bytes as the selected chip's flash driver file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "chips/flash_driver.h"
#include "fuzz_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fs = std::filesystem;
  dravon::Station& s = dravon::fuzz::FuzzStation();
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / "dravon-driver-fuzz";
    fs::create_directories(d / "VelmorDRVs");
    fs::current_path(d);
    return d;
  }();
  s.app.programDir = dir.string() + "/";
  s.chip.chipName = "ML630Q464";
  {
    std::ofstream out(dir / "VelmorDRVs" / "FDrvML6xQ.WDR", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  dravon::LoadFlashDriver(s);
  for (dravon::ChannelState state : {dravon::ChannelState::BlankCheck, dravon::ChannelState::Erase,
                                     dravon::ChannelState::ProgramMain}) {
    s.channels[0].state = state;
    dravon::DriverFragment(s, 0, 8);
    dravon::DriverFragment(s, 0, dravon::kPacketSize - 3);
  }
  dravon::DriverFragmentGeneral(s, 0, 100);
  return 0;
}
