// dravonconv IN OUT: converts between Intel HEX, Motorola S-record and raw binary files, the
// format of each chosen by its extension (.hex; .s19 .s28 .s37 .mot .srec; .bin). HEX and
// S-record input becomes one block from the lowest to the highest address with gaps filled
// with 0xFF; binary input starts at address 0.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/platform.h"
#include "images/object_readers.h"
#include "images/object_writers.h"
#include "texts/texts.h"

namespace {

using namespace dravon;

// Keeps the data in 64 KiB pages of blank flash, made as records reach them; the output is
// written page by page from the lowest to the highest address.
class PagedPlacer final : public RecordPlacer {
 public:
  Region Place(uint32_t address, const uint8_t* data, size_t count) override {
    uint64_t a = address;
    for (size_t i = 0; i < count;) {
      std::vector<uint8_t>& page = Page(static_cast<uint32_t>(a >> 16));
      size_t at = static_cast<size_t>(a & 0xFFFF);
      size_t n = std::min(count - i, page.size() - at);
      std::memcpy(page.data() + at, data + i, n);
      i += n;
      a += n;
    }
    if (count > 0) {
      low_ = std::min<uint64_t>(low_, address);
      high_ = std::max<uint64_t>(high_, uint64_t{address} + count - 1);
    }
    return Region::Main;
  }
  bool empty() const { return low_ > high_; }
  uint32_t low() const { return static_cast<uint32_t>(low_); }
  uint64_t high() const { return high_; }
  // The bytes low..high, pages that never got data reading as 0xFF.
  void ForEachPiece(const std::function<void(const uint8_t*, size_t)>& put) const {
    static const std::vector<uint8_t> blank(0x10000, 0xFF);
    for (uint64_t a = low_; a <= high_;) {
      uint32_t index = static_cast<uint32_t>(a >> 16);
      size_t at = static_cast<size_t>(a & 0xFFFF);
      size_t n = static_cast<size_t>(std::min<uint64_t>(0x10000 - at, high_ - a + 1));
      auto it = pages_.find(index);
      put((it == pages_.end() ? blank : it->second).data() + at, n);
      a += n;
    }
  }

 private:
  std::vector<uint8_t>& Page(uint32_t index) {
    if (index != lastIndex_ || lastPage_ == nullptr) {
      auto [it, made] = pages_.try_emplace(index);
      if (made) it->second.assign(0x10000, 0xFF);
      lastIndex_ = index;
      lastPage_ = &it->second;
    }
    return *lastPage_;
  }

  std::map<uint32_t, std::vector<uint8_t>> pages_;
  uint32_t lastIndex_ = 0;
  std::vector<uint8_t>* lastPage_ = nullptr;
  uint64_t low_ = UINT64_MAX;
  uint64_t high_ = 0;
};

enum class Kind { Hex, SRecord, Binary, Unknown };

Kind KindOf(const std::string& path) {
  std::string ext = UpperExtension(path);
  if (ext == ".HEX" || ext == ".IHX") return Kind::Hex;
  if (ext == ".S19" || ext == ".S28" || ext == ".S37" || ext == ".MOT" || ext == ".SREC") {
    return Kind::SRecord;
  }
  if (ext == ".BIN") return Kind::Binary;
  return Kind::Unknown;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "dravonconv: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dravonconv IN OUT  (.hex, .s19/.s28/.s37/.mot/.srec, .bin)\n");
    return 2;
  }
  const std::string in = argv[1];
  const std::string out = argv[2];
  const Kind from = KindOf(in);
  const Kind to = KindOf(out);
  if (from == Kind::Unknown || to == Kind::Unknown) return Fail("unknown file extension");

  std::string error;
  if (from == Kind::Binary) {
    std::vector<uint8_t> image;
    if (!ReadWholeFile(in, image, error)) return Fail(in + ": " + error);
    if (image.empty()) return Fail(in + ": empty");
    if (image.size() > 0xFFFFFFFFull) return Fail(in + ": too large");
    const uint32_t last = static_cast<uint32_t>(image.size() - 1);
    if (to == Kind::Binary) {
      error = WriteBinaryFile(out, image, 0, last);
    } else if (to == Kind::Hex) {
      error = WriteHexFile(out, image, 0, 0, last);
    } else {
      error = WriteSRecordFile(out, image, 0, 0, last);
    }
    if (!error.empty()) return Fail(out + ": " + error);
    return 0;
  }

  // No one is at a keyboard: messages go to standard error and a bad line stops the run.
  HeadlessHost host(false, [](const std::string& text) {
    std::fprintf(stderr, "dravonconv: %s\n", text.c_str());
  });
  PagedPlacer placer;
  TextFileResult r = from == Kind::Hex ? ReadHexFile(host, kEnglishTexts, in, placer)
                                       : ReadSRecordFile(host, kEnglishTexts, in, placer);
  if (!r.opened || r.aborted) return 1;
  if (placer.empty()) return Fail(in + ": no data records");
  if (to == Kind::Binary) {
    SafeFileWriter file(out);
    placer.ForEachPiece([&file](const uint8_t* bytes, size_t n) { file.Write(bytes, n); });
    if (!file.Commit()) return Fail(out + ": " + file.error());
    return 0;
  }
  // A text file again: the whole range as one image.
  if (placer.high() - placer.low() >= kMaxInputFileSize)
    return Fail(in + ": address range too large");
  std::vector<uint8_t> image;
  image.reserve(static_cast<size_t>(placer.high() - placer.low() + 1));
  placer.ForEachPiece(
      [&image](const uint8_t* bytes, size_t n) { image.insert(image.end(), bytes, bytes + n); });
  const uint32_t first = placer.low();
  const uint32_t last = static_cast<uint32_t>(placer.high());
  error = to == Kind::Hex ? WriteHexFile(out, image, first, first, last)
                          : WriteSRecordFile(out, image, first, first, last);
  if (!error.empty()) return Fail(out + ": " + error);
  return 0;
}
