#include "core/info_list.h"

#include <gtest/gtest.h>

#include "core/format.h"
#include "operations/results.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::TestStation;

TEST(InfoList, LineForms) {
  TestStation s;
  s.clock.time = "9:05:01";
  AddInfoLine(*s, "Read Chip Information Data......");
  ChannelLine(*s, "Chip is Blank!", 0);
  ChannelLine(*s, "Chip is Blank!", 9);
  AddPlainLine(*s, "");
  AddPlainLine(*s, "plain");
  const auto& all = s->info.Lines();
  ASSERT_GE(all.size(), 5u);
  std::vector<std::string> lines(all.end() - 5, all.end());
  EXPECT_EQ(lines[0], "> 9:05:01 Read Chip Information Data......");
  EXPECT_EQ(lines[1], "> 9:05:01 C1 : Chip is Blank!");
  EXPECT_EQ(lines[2], "> 9:05:01 C10 : Chip is Blank!");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "plain");
}

TEST(InfoList, ClearStartsOver) {
  TestStation s;
  uint64_t clears = s->info.ClearCount();
  ClearInformation1Click(*s);
  EXPECT_TRUE(s->info.Lines().empty());
  EXPECT_EQ(s->info.ClearCount(), clears + 1);
  AddInfoLine(*s, "first");
  EXPECT_EQ(s->info.Lines().front(), "> 14:03:22 first");
}

TEST(InfoList, CopyTakesOnlyASelection) {
  TestStation s;
  CopytoCli1Click(*s, "");
  EXPECT_EQ(s.host.clipboard, "untouched");
  CopytoCli1Click(*s, "> 14:03:22 Hello");
  EXPECT_EQ(s.host.clipboard, "> 14:03:22 Hello");
}

TEST(Format, Placeholders) {
  struct Case {
    std::string expected;
    std::string actual;
  };
  const Case cases[] = {
      {"0x0000ABCD", Format("0x%0.8x", {0xABCD})},
      {"0x05", Format("0x%0.2x", {5})},
      {"OK=4, NG=-1.", Format("OK=%d, NG=%d.", {4, -1})},
      {"File \"a b\" here", Format("File \"%s\" here", {"a b"})},
      {"100%", Format("100%%", {})},
      {"0xFFFFFFFF", Format("0x%0.8x", {-1})},
      {"missing %d", Format("missing %d", {})},
      {"kind %d", Format("kind %d", {"text"})},
      {"[  7]", Format("[%3d]", {7})},
      {"trailing %", Format("trailing %", {})},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.actual, c.expected);
}

TEST(Texts, CodeTablesAreWholeAndUnique) {
  for (const Texts* t : {&kEnglishTexts, &kChineseTexts}) {
    for (auto [table, count] : {std::pair{t->wholeByteCodes, t->wholeByteCodeCount},
                                std::pair{t->lowBitsCodes, t->lowBitsCodeCount}}) {
      for (int i = 0; i < count; ++i) {
        ASSERT_NE(table[i].text, nullptr);
        EXPECT_STRNE(table[i].text, "");
        for (int j = i + 1; j < count; ++j)
          EXPECT_NE(table[i].code, table[j].code);
      }
    }
  }
}

}  // namespace
}  // namespace dravon
