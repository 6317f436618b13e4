// Our readers and writers against srec_cat (the srecord package), a tool we did not write:
// files written by us read back by srec_cat, and files written by srec_cat read by us, compared
// byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "images/object_readers.h"
#include "images/object_writers.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::ReadFile;
using test::TempDir;

bool HaveSrecCat() {
  return std::system("srec_cat -version > /dev/null 2>&1") == 0;
}

// srec_cat warns about the missing header record on every file; show its words only when it
// fails.
void Shell(const std::string& command) {
  const std::string log = testing::TempDir() + "srec_cat.log";
  int status = std::system((command + " > " + log + " 2>&1").c_str());
  ASSERT_EQ(status, 0) << command << "\n" << ReadFile(log);
}

// Holds the addresses base..base+size-1; anything else is a failure.
class WindowPlacer final : public RecordPlacer {
 public:
  WindowPlacer(uint32_t base, size_t size) : base_(base), bytes_(size, 0xFF) {}
  Region Place(uint32_t address, const uint8_t* data, size_t count) override {
    EXPECT_GE(address, base_);
    EXPECT_LE(address - base_ + count, bytes_.size());
    if (address < base_ || address - base_ + count > bytes_.size()) return Region::OutOfChip;
    std::copy(data, data + count, bytes_.begin() + (address - base_));
    return Region::Main;
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  uint32_t base_;
  std::vector<uint8_t> bytes_;
};

struct Format {
  const char* name;
  const char* extension;
  const char* srecOption;  // srec_cat's format option for this file
  bool hex;
};

const Format kFormats[] = {
    {"IntelHex", ".hex", "-intel", true},
    {"S19", ".s19", "-motorola", false},
    {"S28", ".s28", "-motorola", false},
    {"S37", ".s37", "-motorola", false},
};

// The S-record type follows from the last address: pick ranges that need each one.
uint32_t BaseFor(const Format& f) {
  std::string name = f.name;
  if (name == "S19") return 0x0100;
  if (name == "S28") return 0x0000FFE3;  // crosses 64 KiB
  if (name == "S37") return 0x0800FFF1;  // above 16 MiB, crosses 64 KiB
  return 0x0001FFD7;                     // HEX: crosses 64 KiB, extended records
}

std::vector<uint8_t> Pattern(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> v(size);
  for (uint8_t& b : v)
    b = static_cast<uint8_t>(gen());
  // Holes of blank flash inside the image.
  for (size_t i = size / 5; i < size / 5 + 37 && i < size; ++i)
    v[i] = 0xFF;
  return v;
}

class Conformance : public ::testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    if (!HaveSrecCat()) GTEST_SKIP() << "srec_cat is not installed";
  }
  TempDir dir;
};

TEST_P(Conformance, OurFilesReadBySrecCat) {
  const Format f = GetParam();
  const uint32_t base = BaseFor(f);
  std::string name = f.name;
  // Odd lengths, shorter and longer than one record, and one across the 64 KiB boundary.
  for (size_t size : {size_t{1}, size_t{15}, size_t{33}, size_t{1027}, size_t{70001}}) {
    if (name == "S19" && base + size > 0x10000) continue;
    std::vector<uint8_t> image = Pattern(size, static_cast<unsigned>(size));
    std::string file = dir.File("ours" + std::to_string(size) + f.extension);
    std::string bin = dir.File("back" + std::to_string(size) + ".bin");
    const uint32_t last = static_cast<uint32_t>(base + size - 1);
    std::string error = f.hex ? WriteHexFile(file, image, base, base, last)
                              : WriteSRecordFile(file, image, base, base, last);
    ASSERT_EQ(error, "");
    Shell("srec_cat " + file + " " + f.srecOption + " -offset -" + std::to_string(base) + " -o " +
          bin + " -binary");
    std::string back = ReadFile(bin);
    ASSERT_EQ(back.size(), size) << name << " " << size;
    EXPECT_TRUE(std::equal(image.begin(), image.end(), back.begin(),
                           [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); }))
        << name << " " << size;
  }
}

TEST_P(Conformance, SrecCatFilesReadByUs) {
  const Format f = GetParam();
  const uint32_t base = BaseFor(f);
  std::string name = f.name;
  const size_t size = name == "S19" ? 0x3000 : 0x12345;
  std::vector<uint8_t> image = Pattern(size, 99);
  std::string blob = dir.File("blob.bin");
  test::WriteFile(blob, std::string(image.begin(), image.end()));
  // Three pieces with gaps between them, records of an odd length.
  const uint32_t a1 = base, a2 = base + 0x100, a3 = base + 0x1001,
                 a4 = static_cast<uint32_t>(base + size - 0x100),
                 end = static_cast<uint32_t>(base + size);
  std::string crop = " -crop " + std::to_string(a1) + " " + std::to_string(a2) + " " +
                     std::to_string(a3) + " " + std::to_string(a4) + " " +
                     std::to_string(a4 + 0x11) + " " + std::to_string(end);
  std::string file = dir.File(std::string("theirs") + f.extension);
  std::string output = f.hex ? " -intel" : " -motorola";
  if (name == "S19") output += " -address-length=2";
  if (name == "S28") output += " -address-length=3";
  if (name == "S37") output += " -address-length=4";
  Shell("srec_cat " + blob + " -binary -offset " + std::to_string(base) + crop + " -o " + file +
        output + " -obs=19");

  test::ScriptedHost host;
  WindowPlacer placer(base, size);
  std::string text = ReadFile(file);
  TextFileResult r = f.hex ? ReadHexText(host, kEnglishTexts, text, placer)
                           : ReadSRecordText(host, kEnglishTexts, text, placer);
  EXPECT_FALSE(r.aborted);
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front().text;
  std::vector<uint8_t> expected(size, 0xFF);
  for (auto [from, to] : {std::pair{a1, a2}, std::pair{a3, a4}, std::pair{a4 + 0x11, end}}) {
    std::copy(image.begin() + (from - base), image.begin() + (to - base),
              expected.begin() + (from - base));
  }
  EXPECT_TRUE(placer.bytes() == expected) << name;
  EXPECT_EQ(r.start, a1);
  EXPECT_EQ(r.end, end - 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, Conformance, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dravon
