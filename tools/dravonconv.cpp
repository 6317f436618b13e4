// dravonconv IN OUT: converts between Intel HEX, Motorola S-record and raw binary files, the
// format of each chosen by its extension (.hex; .s19 .s28 .s37 .mot .srec; .bin). HEX and
// S-record input becomes one block from the lowest to the highest address with gaps filled
// with 0xFF; binary input starts at address 0.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/platform.h"
#include "images/object_readers.h"
#include "images/object_writers.h"
#include "texts/texts.h"

namespace {

using namespace dravon;

// No one is at a keyboard: messages go to standard error and a bad line stops the run.
class ConsoleHost final : public Host {
 public:
  void ShowMessage(BoxKind, const std::string& text) override {
    std::fprintf(stderr, "dravonconv: %s\n", text.c_str());
  }
  bool AskLineError(const std::string& text) override {
    ShowMessage(BoxKind::Error, text);
    return false;
  }
  bool AskVerifyMismatch(const std::string&) override { return false; }
  bool AskConfirm(const std::string&) override { return false; }
  std::optional<FileChoice> OpenFileDialog(const FileDialogRequest&) override { return {}; }
  std::optional<FileChoice> SaveFileDialog(const FileDialogRequest&) override { return {}; }
  bool RunDialog(DialogModel&) override { return false; }
  void Wait(int) override {}
  void CloseMainWindow() override {}
  void SetClipboardText(const std::string&) override {}
};

// Keeps every record as it comes; the image is laid out once the lowest and highest address
// are known.
class CollectingPlacer final : public RecordPlacer {
 public:
  Region Place(uint32_t address, const uint8_t* data, size_t count) override {
    records_.push_back({address, pool_.size(), count});
    pool_.insert(pool_.end(), data, data + count);
    low_ = std::min<uint64_t>(low_, address);
    high_ = std::max<uint64_t>(high_, uint64_t{address} + count - 1);
    return Region::Main;
  }
  bool empty() const { return records_.empty(); }
  uint32_t low() const { return static_cast<uint32_t>(low_); }
  uint64_t high() const { return high_; }
  void Render(std::vector<uint8_t>& image) const {
    image.assign(static_cast<size_t>(high_ - low_ + 1), 0xFF);
    for (const Record& r : records_) {
      std::memcpy(image.data() + (r.address - low_), pool_.data() + r.at, r.count);
    }
  }

 private:
  struct Record {
    uint32_t address;
    size_t at;
    size_t count;
  };
  std::vector<Record> records_;
  std::vector<uint8_t> pool_;
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

  std::vector<uint8_t> file;
  std::string error;
  if (!ReadWholeFile(in, file, error)) return Fail(in + ": " + error);

  std::vector<uint8_t> image;
  uint32_t origin = 0;
  if (from == Kind::Binary) {
    image = std::move(file);
  } else {
    ConsoleHost host;
    CollectingPlacer placer;
    std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    TextFileResult r = from == Kind::Hex ? ReadHexText(host, kEnglishTexts, text, placer)
                                         : ReadSRecordText(host, kEnglishTexts, text, placer);
    if (r.aborted) return 1;
    if (placer.empty()) return Fail(in + ": no data records");
    if (placer.high() - placer.low() >= kMaxInputFileSize)
      return Fail(in + ": address range too large");
    placer.Render(image);
    origin = placer.low();
  }
  if (image.empty()) return Fail(in + ": empty");
  const uint32_t last = static_cast<uint32_t>(origin + image.size() - 1);
  if (to == Kind::Binary) {
    error = WriteBinaryFile(out, image, 0, image.size() - 1);
  } else if (to == Kind::Hex) {
    error = WriteHexFile(out, image, origin, origin, last);
  } else {
    error = WriteSRecordFile(out, image, origin, origin, last);
  }
  if (!error.empty()) return Fail(out + ": " + error);
  return 0;
}
