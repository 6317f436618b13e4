#include "images/object_readers.h"

#include <gtest/gtest.h>

#include "core/format.h"
#include "images/checksums.h"
#include "images/object_writers.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::ShownBox;
using test::TempDir;
using test::TestStation;

// A chip with 32 KiB of main flash at 0, 2 KiB of data flash at 0x00E00000 and 16 option
// bytes, selected.
void SmallChip(Station& s) {
  s.chip.mainBase = 0;
  s.chip.mainEnd = 0x7FFF;
  s.chip.mainSize = 0x8000;
  s.chip.eepBase = 0x00E00000;
  s.chip.eepEnd = 0x00E007FF;
  s.chip.eepSize = 0x800;
  s.chip.optionBase = 0x1FFFF800;
  s.chip.optionEnd = 0x1FFFF80F;
  s.chip.extraBase = 0xFFFFFFFF;
  s.chip.extraEnd = 0xFFFFFFFF;
  s.app.chipSelected = 1;
}

struct HexCase {
  TestStation s;
  ReadState state;
  HexCase() { SmallChip(*s); }
  uint8_t Hex(const char* line) {
    StationPlacer placer(*s);
    return ParseHexRecord(line, state, placer);
  }
  uint8_t SRec(const char* line) {
    StationPlacer placer(*s);
    return ParseSRecord(line, state, placer);
  }
};

TEST(HexPairToByte, NoValidation) {
  EXPECT_EQ(HexPairToByte('1', 'F'), 0x1F);
  EXPECT_EQ(HexPairToByte('a', 'b'), 0xAB);
  EXPECT_EQ(HexPairToByte('G', '0'), 0x00);  // 'G' counts 16: (16*16) & 0xFF
}

TEST(ParseHexRecord, DataRecord) {
  HexCase c;
  EXPECT_EQ(c.Hex(":0400000001020304F2"), kLineOk);
  EXPECT_EQ(c.s->mainImage.bytes[0], 1);
  EXPECT_EQ(c.s->mainImage.bytes[3], 4);
  EXPECT_EQ(c.state.start, 0u);
  EXPECT_EQ(c.state.end, 3u);
  EXPECT_EQ(c.state.sum, 10u);
}

TEST(ParseHexRecord, ExtendedAddresses) {
  HexCase c;
  c.s->chip.mainEnd = 0x000FFFFF;  // a bigger main region for the bases to land in
  c.s->chip.mainSize = 0x100000;
  EXPECT_EQ(c.Hex(":02000004000AF0"), kLineOk);
  EXPECT_EQ(c.state.upper, 0x000A0000u);
  EXPECT_EQ(c.Hex(":020000020010EC"), kLineOk);  // segment 0x10 * 16
  EXPECT_EQ(c.state.segment, 0x100u);
  EXPECT_EQ(c.Hex(":01001000AA45"), kLineOk);
  EXPECT_EQ(c.s->mainImage.bytes[0x000A0110], 0xAA);
  // A type 04 record with an address field: code 3, the base stays.
  EXPECT_EQ(c.Hex(":020010040001E9"), kLineBadAddressField);
  EXPECT_EQ(c.state.upper, 0x000A0000u);
}

TEST(ParseHexRecord, CodesAndOddRecords) {
  HexCase c;
  EXPECT_EQ(c.Hex("0400000001020304F2"), kLineNoStart);
  EXPECT_EQ(c.Hex(":00000001FF"), kLineOk);
  EXPECT_EQ(c.Hex(":00000006FA"), kLineOk);  // count 0: ignored whatever its type
  EXPECT_EQ(c.Hex(":0400000001020304F3"), kLineChecksum);
  EXPECT_EQ(c.s->mainImage.bytes[0], 1);             // stored before the checksum is found wrong
  EXPECT_EQ(c.Hex(":0400000001020304f2"), kLineOk);  // lower case
  EXPECT_EQ(c.Hex(":0100000601F8"), kLineUnknownType);
  EXPECT_EQ(c.Hex(":0100000301FB"), kLineOk);
  // Shorter than the count asks: code 4, nothing read past the line, nothing stored.
  c.s->mainImage.bytes[0x20] = 0xFF;
  EXPECT_EQ(c.Hex(":10002000AA"), kLineChecksum);
  EXPECT_EQ(c.s->mainImage.bytes[0x20], 0xFF);
  EXPECT_EQ(c.Hex(":0200000400"), kLineChecksum);
  EXPECT_EQ(c.Hex(":04"), kLineChecksum);
}

TEST(ParseHexRecord, OutOfChipShowsTheAddressAndCountsTheBytes) {
  HexCase c;
  EXPECT_EQ(c.Hex(":02000004400FAB"), kLineOk);
  EXPECT_EQ(c.Hex(":02000000A1B2AB"), kLineOutOfChip);
  ASSERT_EQ(c.s.host.boxes.size(), 1u);
  EXPECT_EQ(c.s.host.boxes[0].text, "Address \"0x400F0000\" is out of Chip!");
  EXPECT_EQ(c.state.sum, 0xA1u + 0xB2u);
  EXPECT_EQ(c.state.start, 0xFFFFFFFFu);
}

TEST(ParseHexRecord, OptionRegionLeavesTheRangeWhileSRecordsSetIt) {
  HexCase c;
  EXPECT_EQ(c.Hex(":020000041FFFDC"), kLineOk);
  EXPECT_EQ(c.Hex(":02F80000A55A07"), kLineOk);
  EXPECT_EQ(c.s->optionImage[0], 0xA5);
  EXPECT_EQ(c.state.start, 0xFFFFFFFFu);
  EXPECT_EQ(c.state.end, 0u);
  HexCase d;
  EXPECT_EQ(d.SRec("S3071FFFF800A55AE3"), kLineOk);
  EXPECT_EQ(d.s->optionImage[0], 0xA5);
  EXPECT_EQ(d.state.start, 0x1FFFF800u);
  EXPECT_EQ(d.state.end, 0x1FFFF801u);
}

TEST(ParseSRecord, Types) {
  HexCase c;
  EXPECT_EQ(c.SRec("S5030001FB"), kLineOk);
  EXPECT_EQ(c.SRec("S9030000FC"), kLineOk);
  EXPECT_EQ(c.SRec("S4030000FC"), kLineBadType);
  EXPECT_EQ(c.SRec("S6030000FC"), kLineBadType);
  EXPECT_EQ(c.SRec("X1030000FC"), kLineNoStart);
  EXPECT_EQ(c.SRec("S107001001020304DE"), kLineOk);
  EXPECT_EQ(c.s->mainImage.bytes[0x10], 1);
  EXPECT_EQ(c.SRec("S1070010010203040F"), kLineChecksum);
  EXPECT_EQ(c.SRec("S10200FD"), kLineChecksum);  // count smaller than address + 1
  EXPECT_EQ(c.SRec("S1070010"), kLineChecksum);  // shorter than its count
}

TEST(ParseSRecord, EndNeverDecreases) {
  HexCase c;
  EXPECT_EQ(c.SRec("S1050100AABB94"), kLineOk);
  EXPECT_EQ(c.SRec("S1050000CCDD51"), kLineOk);
  EXPECT_EQ(c.state.start, 0u);
  EXPECT_EQ(c.state.end, 0x101u);
}

TEST(ReadHexText, LinesAfterTheEndRecordStillLoadAndAbortKeepsEarlierData) {
  TestStation s;
  SmallChip(*s);
  StationPlacer placer(*s);
  const char* text =
      ":0400000001020304F2\r\n"
      "\r\n"
      ":00000001FF\r\n"
      ":0100100011DE\n"
      ":02000004400FAB\n"
      ":02000000A1B2AB\n"
      ":0100200022BD\n";
  s.host.answers = {false};  // Abort at the out-of-chip line
  TextFileResult r = ReadHexText(s.host, s->texts, text, placer);
  EXPECT_TRUE(r.aborted);
  EXPECT_EQ(s->mainImage.bytes[0x10], 0x11);
  EXPECT_EQ(s->mainImage.bytes[0x20], 0xFF);  // after the Abort
  ASSERT_EQ(s.host.boxes.size(), 2u);
  EXPECT_EQ(s.host.boxes[1].type, ShownBox::Type::LineError);
  EXPECT_EQ(s.host.boxes[1].text, "Line 6 Data Error : 7.");
  EXPECT_EQ(r.start, 0u);
  EXPECT_EQ(r.end, 0x10u);
  EXPECT_EQ(r.sum, 10u + 0x11u + 0xA1u + 0xB2u);
}

TEST(ComputeMainUsedSize, RoundsUpToThePage) {
  struct Case {
    int highest;  // -1: all blank
    uint32_t used;
  };
  for (Case c : {Case{0x2FF, 1024}, Case{0x1234, 0x1300}, Case{0x7FFF, 0x8000}, Case{-1, 1024}}) {
    TestStation s;
    SmallChip(*s);
    if (c.highest >= 0) s->mainImage.bytes[c.highest] = 0;
    ComputeMainUsedSize(*s);
    EXPECT_EQ(s->chip.mainUsedSize, c.used) << c.highest;
  }
  TestStation s;
  SmallChip(*s);
  s->chip.mainSize = 0x200;
  ComputeMainUsedSize(*s);
  EXPECT_EQ(s->chip.mainUsedSize, 0x200u);
  s->chip.mainSize = 0x8000;
  s->chip.blankIsZero = 1;
  std::fill(s->mainImage.bytes.begin(), s->mainImage.bytes.end(), 0);
  s->mainImage.bytes[0x4000] = 0xFF;
  ComputeMainUsedSize(*s);
  EXPECT_EQ(s->chip.mainUsedSize, 0x4100u);
}

class LoadTest : public ::testing::Test {
 protected:
  LoadTest() { SmallChip(*s); }
  std::string File(const std::string& name, const std::string& content) {
    std::string path = dir.File(name);
    test::WriteFile(path, content);
    return path;
  }
  bool HasLine(const std::string& text) {
    for (const auto& l : s->info.Lines()) {
      if (l.size() >= text.size() && l.compare(l.size() - text.size(), text.size(), text) == 0) {
        return true;
      }
    }
    return false;
  }

  TestStation s;
  TempDir dir;
};

TEST_F(LoadTest, HexLoadReportsAndSums) {
  std::string line = ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FF\r\n";
  LoadObjectFile(*s, File("APP.hex", line));
  EXPECT_EQ(s->app.fileLoaded, 1);
  EXPECT_EQ(s->chip.mainUsedSize, 1024u);
  uint32_t sum16 = 0;
  for (int i = 0; i < 16; ++i)
    sum16 += i;
  EXPECT_EQ(s->sums.fileAcc32, sum16);
  EXPECT_EQ(s->sums.main32, sum16 + 1008u * 0xFF);
  EXPECT_TRUE(HasLine("Object File Start Address  = 0x00000000."));
  EXPECT_TRUE(HasLine("Object File End Address    = 0x0000000F."));
  EXPECT_TRUE(HasLine("Chip Actual Programmed Data Size is: 1024Bytes/0x000003FF."));
  EXPECT_EQ(s->window.statusPanels[1], "Chip CheckSum: " + Format("0x%0.8x", {s->sums.total}));
  EXPECT_EQ(s->mainView.rows, 64);
}

TEST_F(LoadTest, WrongExtensionIsRefused) {
  LoadObjectFile(*s, File("APP.s28", "S1070010010203047E\n"));
  EXPECT_EQ(s->app.fileLoaded, 0);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0].text, "Object file format error(not matche the extend name)!");
  EXPECT_EQ(s->mainImage.bytes[0x10], 0xFF);
}

TEST_F(LoadTest, BinFitsExactlyOrIsTruncated) {
  std::string exact(0x8000, '\x11');
  s.host.dialogScripts.push_back([](DialogModel& m) {
    EXPECT_EQ(static_cast<BinOffsetModel&>(m).addressText, "0x00000000");
    return true;
  });
  LoadObjectFile(*s, File("a.bin", exact));
  EXPECT_EQ(s->mainImage.bytes[0x7FFF], 0x11);
  EXPECT_EQ(s->mainImage.bytes[0x8000], 0xFF);
  EXPECT_TRUE(s.host.boxes.empty());
  EXPECT_EQ(s->mainImage.fileStart, 0u);
  EXPECT_EQ(s->mainImage.fileEnd, 0x7FFFu);

  std::string more(0x8001, '\x22');
  s.host.dialogScripts.push_back([](DialogModel&) { return true; });
  LoadObjectFile(*s, File("b.bin", more));
  EXPECT_EQ(s->mainImage.bytes[0x8000], 0xFF);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0].text,
            "The Object File is out of the chip flash address space, please confirm!");
}

TEST_F(LoadTest, BinAtAnOffsetReportsWhereItWent) {
  s.host.dialogScripts.push_back([](DialogModel& m) {
    static_cast<BinOffsetModel&>(m).addressText = "0x100";
    return true;
  });
  LoadObjectFile(*s, File("c.bin", std::string(32, '\x33')));
  EXPECT_EQ(s->mainImage.bytes[0x100], 0x33);
  EXPECT_EQ(s->mainImage.fileStart, 0x100u);
  EXPECT_EQ(s->mainImage.fileEnd, 0x11Fu);
}

TEST_F(LoadTest, BinOffsetOutsideTheImageLoadsNothing) {
  s->chip.mainBase = 0x08000000;
  s->chip.mainEnd = 0x08007FFF;
  for (const char* offset : {"0x07FFFFFF", "0x09000000"}) {
    s.host.boxes.clear();
    s.host.dialogScripts.push_back([offset](DialogModel& m) {
      static_cast<BinOffsetModel&>(m).addressText = offset;
      return true;
    });
    LoadObjectFile(*s, File("d.bin", std::string(32, '\x44')));
    EXPECT_EQ(s->app.fileLoaded, 0) << offset;
    ASSERT_EQ(s.host.boxes.size(), 1u);
    EXPECT_NE(s.host.boxes[0].text.find("nothing is loaded"), std::string::npos);
  }
  EXPECT_EQ(std::count(s->mainImage.bytes.begin(), s->mainImage.bytes.end(), 0x44), 0);
}

TEST_F(LoadTest, MissingFileChangesNothing) {
  s->mainImage.bytes[0] = 0x5A;
  LoadObjectFile(*s, dir.File("nothere.hex"));
  EXPECT_EQ(s->app.fileLoaded, 0);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_NE(s.host.boxes[0].text.find("nothere.hex"), std::string::npos);
  EXPECT_EQ(s->mainImage.bytes[0], 0x5A);
}

TEST_F(LoadTest, EepBinAndHex) {
  s.host.dialogScripts.push_back([](DialogModel& m) {
    EXPECT_EQ(static_cast<BinOffsetModel&>(m).addressText, "0x00E00000");
    return true;
  });
  LoadEepFile(*s, File("e.bin", std::string(0x801, '\x5A')));
  EXPECT_EQ(s->eepImage[0x7FF], 0x5A);
  EXPECT_TRUE(s->window["ChkBoxErsEEP"].checked);
  EXPECT_TRUE(s->window["ChkBoxPrgEEP"].checked);
  EXPECT_TRUE(HasLine("Load EEP File End Address    = 0x00E007FF."));
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0].text,
            "The Object File is out of the chip EEP address space, please confirm!");
  s.host.boxes.clear();
  LoadEepFile(*s, File("e.s37", "S30900E00000A5A5A5A5D1\n"));
  EXPECT_EQ(s.host.boxes[0].text, "Object file format error(not matche the extend name)!");
}

}  // namespace
}  // namespace dravon

namespace dravon {
namespace {

// Keeps the bytes of 0..size-1.
class ArrayPlacer final : public RecordPlacer {
 public:
  explicit ArrayPlacer(size_t size) : bytes(size, 0xFF) {}
  Region Place(uint32_t address, const uint8_t* data, size_t count) override {
    if (address + count > bytes.size()) return Region::OutOfChip;
    std::copy(data, data + count, bytes.begin() + address);
    return Region::Main;
  }
  std::vector<uint8_t> bytes;
};

TEST(ReadFiles, LinesCutByTheReadPiecesArriveWhole) {
  TempDir dir;
  std::vector<uint8_t> image(700 * 1024);
  for (size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<uint8_t>(i * 13 + 7);
  std::string hex = dir.File("big.hex");
  std::string srec = dir.File("big.s28");
  ASSERT_EQ(WriteHexFile(hex, image, 0, 0, static_cast<uint32_t>(image.size() - 1)), "");
  ASSERT_EQ(WriteSRecordFile(srec, image, 0, 0, static_cast<uint32_t>(image.size() - 1)), "");
  test::ScriptedHost host;
  ArrayPlacer fromHex(image.size());
  TextFileResult r = ReadHexFile(host, kEnglishTexts, hex, fromHex);
  EXPECT_TRUE(fromHex.bytes == image);
  EXPECT_EQ(r.end, image.size() - 1);
  ArrayPlacer fromSrec(image.size());
  ReadSRecordFile(host, kEnglishTexts, srec, fromSrec);
  EXPECT_TRUE(fromSrec.bytes == image);
  EXPECT_TRUE(host.boxes.empty());
}

TEST(ReadFiles, AVeryLongLineIsOneLine) {
  TempDir dir;
  std::string path = dir.File("long.hex");
  test::WriteFile(path,
                  ":10000000" + std::string(300 * 1024, 'A') + "\n:0100100011DE");  // no final LF
  test::ScriptedHost host;
  host.answers = {true};
  ArrayPlacer placer(0x100);
  TextFileResult r = ReadHexFile(host, kEnglishTexts, path, placer);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Line 1 Data Error : 4.");
  EXPECT_EQ(placer.bytes[0x10], 0x11);
  EXPECT_FALSE(r.aborted);
}

}  // namespace
}  // namespace dravon
