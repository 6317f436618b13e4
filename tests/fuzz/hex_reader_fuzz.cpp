// Whole files of arbitrary bytes through the hex reader into the images.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_platform.h"
#include "images/object_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dravon::Station& s = dravon::fuzz::FuzzStation();
  s.info.Clear();
  dravon::StationPlacer placer(s);
  std::string_view text(reinterpret_cast<const char*>(data), size);
  dravon::ReadHexText(s.host, s.texts, text, placer);
  return 0;
}
