#include "images/load_save.h"

#include <gtest/gtest.h>

#include "images/object_readers.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::ReadFile;
using test::TempDir;
using test::TestStation;

class LoadSaveTest : public ::testing::Test {
 protected:
  LoadSaveTest() {
    ChipProfile& c = s->chip;
    c.mainBase = 0x08000000;
    c.mainEnd = 0x08001FFF;
    c.mainSize = 0x2000;
    c.eepBase = 0x08080000;
    c.eepEnd = 0x080801FF;
    c.eepSize = 0x200;
    c.optionBase = c.optionEnd = c.extraBase = c.extraEnd = 0xFFFFFFFF;
    s->app.chipSelected = 1;
  }
  void Choose(const std::string& path, int filter = 0) {
    s.host.fileChoices.push_back(FileChoice{path, filter});
  }
  std::string File(const std::string& name, const std::string& content) {
    test::WriteFile(dir.File(name), content);
    return dir.File(name);
  }

  TestStation s;
  TempDir dir;
};

TEST_F(LoadSaveTest, NeedsAChip) {
  s->app.chipSelected = 0;
  FileOpenBtnClick(*s);
  SpdBtnLoadMoreClick(*s);
  LoadEepDataFile1Click(*s);
  ASSERT_EQ(s.host.boxes.size(), 3u);
  for (const auto& box : s.host.boxes)
    EXPECT_EQ(box.text, "Please select chip type first!");
  EXPECT_TRUE(s.host.fileRequests.empty());
}

TEST_F(LoadSaveTest, LoadClearsAndLoadMoreAdds) {
  std::string bin = File("a.bin", std::string(0x20, '\x11'));
  std::string hex = File("b.hex", ":020000040800F2\n:0100100022CD\n:00000001FF\n");
  Choose(bin);
  s.host.dialogScripts.push_back([](DialogModel&) { return true; });
  FileOpenBtnClick(*s);
  EXPECT_EQ(s->mainImage.bytes[0x1F], 0x11);
  EXPECT_EQ(s->mainImage.fileName, "a.bin");
  EXPECT_EQ(s->window.statusPanels[2], bin);
  EXPECT_EQ(s.host.fileRequests[0].filterIndex, 4);

  Choose(hex);
  SpdBtnLoadMoreClick(*s);
  EXPECT_EQ(s->mainImage.bytes[0x10], 0x22);
  EXPECT_EQ(s->mainImage.bytes[0x1F], 0x11);  // kept by load more
  EXPECT_EQ(s->mainImage.fileName, "a.bin");

  Choose(hex);
  FileOpenBtnClick(*s);
  EXPECT_EQ(s->mainImage.bytes[0x10], 0x22);
  EXPECT_EQ(s->mainImage.bytes[0x1F], 0xFF);  // cleared by load
  EXPECT_EQ(s->mainImage.fileName, "b.hex");
}

TEST_F(LoadSaveTest, RejectedExtensionLeavesClearedImagesAndTheLoadedLine) {
  s->mainImage.bytes[0] = 0x12;
  std::string path = File("x.txt", "hello");
  Choose(path);
  FileOpenBtnClick(*s);
  EXPECT_EQ(s->mainImage.bytes[0], 0xFF);
  bool loadedLine = false;
  for (const auto& l : s->info.Lines())
    loadedLine |= l.find("has been loaded!") != std::string::npos;
  EXPECT_TRUE(loadedLine);
  EXPECT_EQ(s->app.fileLoaded, 0);
}

TEST_F(LoadSaveTest, CancelledOrUnreadableChangesNothing) {
  s->mainImage.bytes[0] = 0x12;
  s.host.fileChoices.push_back(std::nullopt);
  FileOpenBtnClick(*s);
  Choose(dir.File("missing.hex"));
  FileOpenBtnClick(*s);
  EXPECT_EQ(s->mainImage.bytes[0], 0x12);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_NE(s.host.boxes[0].text.find("missing.hex"), std::string::npos);
}

TEST_F(LoadSaveTest, SaveInEveryFormat) {
  FileSaveBtnClick(*s);  // nothing loaded: does nothing
  EXPECT_TRUE(s.host.fileRequests.empty());
  s->app.fileLoaded = 1;
  s->mainImage.bytes[0] = 0xAB;
  Choose(dir.File("m.bin"), 0);
  FileSaveBtnClick(*s);
  std::string bin = ReadFile(dir.File("m.bin"));
  EXPECT_EQ(bin.size(), 0x2000u);  // the whole main flash, blank bytes included
  EXPECT_EQ(static_cast<uint8_t>(bin[0]), 0xAB);
  Choose(dir.File("m.hex"), 1);
  FileSaveBtnClick(*s);
  EXPECT_EQ(ReadFile(dir.File("m.hex")).substr(0, 17), ":020000040800F2\r\n");
  Choose(dir.File("m.s19"), 2);
  FileSaveBtnClick(*s);
  EXPECT_EQ(ReadFile(dir.File("m.s19")).substr(0, 4), "S325");

  s->eepImage[0] = 0x5A;
  Choose(dir.File("e.hex"), 1);  // the HEX filter still writes raw bytes
  SaveEepDatatoFile1Click(*s);
  std::string eep = ReadFile(dir.File("e.hex"));
  EXPECT_EQ(eep.size(), 0x200u);
  EXPECT_EQ(static_cast<uint8_t>(eep[0]), 0x5A);
}

TEST_F(LoadSaveTest, WriteFailureIsReportedAndTheOldFileStays) {
  s->app.fileLoaded = 1;
  std::string path = dir.File("keep.bin");
  test::WriteFile(path, "previous");
  std::filesystem::create_directory(path + ".dravon-tmp");  // the temporary cannot be created
  Choose(path, 0);
  FileSaveBtnClick(*s);
  EXPECT_EQ(ReadFile(path), "previous");
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_NE(s.host.boxes[0].text.find("keep.bin"), std::string::npos);
}

TEST_F(LoadSaveTest, DataFlashFile) {
  std::string path = File("d.bin", std::string(0x10, '\x77'));
  s->eepImage[0x100] = 0x12;
  Choose(path);
  s.host.dialogScripts.push_back([](DialogModel&) { return true; });
  LoadEepDataFile1Click(*s);
  EXPECT_EQ(s->eepImage[0x0F], 0x77);
  EXPECT_EQ(s->eepImage[0x100], 0xFF);  // cleared before the load
  EXPECT_TRUE(s->window["ChkBoxErsEEP"].checked);
  EXPECT_EQ(s->eepView.rows, 0x20);
}

}  // namespace
}  // namespace dravon
