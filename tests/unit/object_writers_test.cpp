#include "images/object_writers.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "support/temp_dir.h"

namespace dravon {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find("\r\n", at);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::vector<uint8_t> Counting(size_t n) {
  std::vector<uint8_t> v(n);
  std::iota(v.begin(), v.end(), uint8_t{0});
  return v;
}

TEST(WriteHex, SixteenBytesBelow64K) {
  auto image = Counting(16);
  EXPECT_EQ(
      Lines(HexFileText(image, 0, 0, 15)),
      (std::vector<std::string>{":10000000000102030405060708090A0B0C0D0E0F78", ":00000001FF"}));
}

TEST(WriteHex, UnalignedRecordsBelow64K) {
  auto image = Counting(0x40);
  auto lines = Lines(HexFileText(image, 0, 0x08, 0x1A));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 9), ":10000800");
  EXPECT_EQ(lines[1].substr(0, 9), ":03001800");
}

TEST(WriteHex, ExtendedAddressAndThirtyTwoByteRecords) {
  auto image = Counting(34);
  auto lines = Lines(HexFileText(image, 0x10000000, 0x10000000, 0x10000021));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], ":020000041000EA");
  EXPECT_EQ(lines[1].substr(0, 9), ":20000000");
  EXPECT_EQ(lines[2].substr(0, 9), ":02002000");
  EXPECT_EQ(lines[3], ":00000001FF");
}

TEST(WriteHex, RangeEndingAtAPageEndsWithTheNextUpper) {
  std::vector<uint8_t> image(0x20000, 0xFF);
  auto lines = Lines(HexFileText(image, 0, 0, 0x1FFFF));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 2], ":020000040002F8");
  EXPECT_EQ(lines[0], ":020000040000FA");
  // A record crossing 0xFFFF is cut there.
  auto cut = Lines(HexFileText(image, 0, 0xFFF0, 0x1000F));
  EXPECT_EQ(cut[1].substr(0, 9), ":10FFF000");
  EXPECT_EQ(cut[2], ":020000040001F9");
  EXPECT_EQ(cut[3].substr(0, 9), ":10000000");
}

TEST(WriteSRecord, TypesByLastAddress) {
  auto image = Counting(34);
  auto s3 = Lines(SRecordFileText(image, 0x10000000, 0x10000000, 0x10000021));
  ASSERT_EQ(s3.size(), 3u);
  EXPECT_EQ(s3[0].substr(0, 4), "S325");
  EXPECT_EQ(s3[1].substr(0, 4), "S307");
  EXPECT_EQ(s3[2], "S70500000000FA");  // a complete S7 record, count 5: four address bytes
  auto s1 = Lines(SRecordFileText(image, 0, 0, 0x20));
  ASSERT_EQ(s1.size(), 3u);
  EXPECT_EQ(s1[0].substr(0, 4), "S123");
  EXPECT_EQ(s1[1], "S104002020BB");
  EXPECT_EQ(s1[2], "S9030000FC");
  std::vector<uint8_t> big(0x10010, 0x00);
  auto s2 = Lines(SRecordFileText(big, 0, 0x10000, 0x1000F));
  EXPECT_EQ(s2[0].substr(0, 4), "S214");
  EXPECT_EQ(s2.back(), "S804000000FB");
}

TEST(WriteFiles, BinaryAndReplacement) {
  test::TempDir dir;
  std::string path = dir.File("out.bin");
  test::WriteFile(path, "old content");
  auto image = Counting(8);
  EXPECT_EQ(WriteBinaryFile(path, image, 2, 5), "");
  EXPECT_EQ(test::ReadFile(path), std::string("\x02\x03\x04\x05", 4));
  EXPECT_EQ(WriteBinaryFile(path, image, 5, 2), "");
  EXPECT_EQ(test::ReadFile(path), "");
  EXPECT_EQ(WriteHexFile(path, image, 0, 0, 7), "");
  EXPECT_EQ(test::ReadFile(path).substr(0, 3), ":08");
  // A folder that does not exist: an error, and no stray file left anywhere.
  EXPECT_NE(WriteBinaryFile(dir.File("no/such/out.bin"), image, 0, 7), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace dravon
