#include "chips/catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "chips/families.h"
#include "chips/flash_driver.h"
#include "chips/option_dialogs.h"
#include "link/firmware_file.h"
#include "link/packet_codec.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::ReadFile;
using test::TempDir;
using test::TestStation;

// Chooses the chip at the given position of the LAPIS list in the dialog, or leaves with No.
void Choose(TestStation& s, std::optional<std::string> name) {
  s.host.dialogScripts.push_back([name](DialogModel& m) {
    auto& model = static_cast<ChipSelectModel&>(m);
    if (!name) return false;
    auto it = std::find(model.names.begin(), model.names.end(), *name);
    EXPECT_NE(it, model.names.end()) << *name;
    model.selected = static_cast<int>(it - model.names.begin());
    return true;
  });
  DevButtonClick(*s);
}

class ChipSelection : public ::testing::Test {
 protected:
  ChipSelection() {
    s->app.programDir = DRAVON_PROGRAM_DIR;
    previous = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
  }
  ~ChipSelection() override { std::filesystem::current_path(previous); }
  bool HasLine(const std::string& end) {
    for (const auto& l : s->info.Lines()) {
      if (l.size() >= end.size() && l.compare(l.size() - end.size(), end.size(), end) == 0) {
        return true;
      }
    }
    return false;
  }

  TestStation s;
  TempDir work;
  std::filesystem::path previous;
};

TEST_F(ChipSelection, DialogShowsTheLapisListWithTheFirstSelected) {
  s.host.dialogScripts.push_back([](DialogModel& m) {
    auto& model = static_cast<ChipSelectModel&>(m);
    EXPECT_EQ(model.names.size(), 28u);
    EXPECT_EQ(model.selected, 0);
    EXPECT_EQ(model.names[0], "ML630Q464");
    EXPECT_FALSE(model.vendorVisible);
    EXPECT_EQ(model.vendor, 2);
    return false;
  });
  DevButtonClick(*s);
  EXPECT_EQ(s->chip.vendor, 2);
  EXPECT_EQ(s->app.chipSelected, 0);
}

TEST_F(ChipSelection, AllVendorsOption) {
  s->app.allVendors = 1;
  ChipSelectModel model;
  ChipSelFormShow(*s, model);
  EXPECT_TRUE(model.vendorVisible);
  EXPECT_EQ(model.vendorItems.size(), 5u);
  model.vendor = 4;
  RadioGrpSelMFClick(model);
  EXPECT_EQ(model.names.size(), 30u);
  EXPECT_EQ(model.names[0], "MR88F005BI");
}

TEST_F(ChipSelection, Ml62qHidesTheReadAddressAndOptionsAndShowsTheDataFlash) {
  Choose(s, "ML62Q13x5");
  const WindowModel& w = s->window;
  EXPECT_EQ(w.Find("MCUNameEdit")->text, "ML62Q13x5");
  EXPECT_FALSE(w.Find("ReadSpcAddress")->visible);
  for (const char* name : {"BtnOptionCfg", "CheckBoxOpt", "SpdBtnWrtOPB", "ReadOptionByte1",
                           "WriteOptionByte1", "ShowChipOptionData1", "ReadMG32xxChipID1"}) {
    EXPECT_FALSE(w.Find(name)->visible) << name;
  }
  for (const char* name : {"ChkBoxPrgEEP", "ChkBoxErsEEP", "TabSheetEEP", "ReadEEPMemory1",
                           "LoadEepDataFile1", "WriteEepDataMemory1", "SaveEepDatatoFile1"}) {
    EXPECT_TRUE(w.Find(name)->visible) << name;
  }
  EXPECT_EQ(w.Find("RadioGpVolt")->index, 0);
  EXPECT_EQ(w.Find("DpCpInfX")->caption, "Main Flash=32768Byte, EEP=2048Bytes");
  EXPECT_TRUE(HasLine("Chip \"ML62Q13x5\" has been selected!"));
  EXPECT_TRUE(HasLine("Chip Main Flash Memory Size = 32768Bytes/32KB."));
  EXPECT_TRUE(HasLine("Chip Main Flash End Address  = 0x00007FFF."));
  EXPECT_TRUE(HasLine("Chip EEP Data End Address   = 0x001F07FF."));
  EXPECT_EQ(s->mainView.rows, 0);
  EXPECT_TRUE(s.host.boxes.empty());  // no driver for this family
}

TEST_F(ChipSelection, Ml630qLoadsItsDriverAndWritesTheDescrambledCopy) {
  Choose(s, "ML630Q464");
  EXPECT_TRUE(s.host.boxes.empty()) << s.host.boxes.front().text;
  EXPECT_TRUE(s->window.Find("ReadSpcAddress")->visible);
  std::string copy = ReadFile((work.path() / "TstD.x").string());
  ASSERT_EQ(copy.size(), s->flashDriver.sizePlusOne);
  EXPECT_TRUE(std::equal(copy.begin(), copy.end(), s->flashDriver.buffer.begin(),
                         [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }));
  EXPECT_EQ(copy.substr(0, 8), "VLFLSDRV");
  EXPECT_NE(copy.find("FRAG-ML6xQ-BLANKCHECK"), std::string::npos);
}

TEST_F(ChipSelection, NoKeepsTheChoiceAndANewChipAsksForTheFileAgain) {
  Choose(s, "ML62Q15x4");
  s->app.fileLoaded = 1;
  size_t lines = s->info.Lines().size();
  Choose(s, std::nullopt);
  EXPECT_EQ(s->chip.chipName, "ML62Q15x4");
  EXPECT_EQ(s->app.fileLoaded, 1);
  EXPECT_EQ(s->info.Lines().size(), lines);
  Choose(s, "ML62Q17x0");
  EXPECT_EQ(s->app.fileLoaded, 0);
  EXPECT_EQ(s->chip.mainSize, 0x8000u);
  EXPECT_EQ(s->chip.eepSize, 0x2000u);
}

TEST_F(ChipSelection, EveryShippedDriverLoads) {
  for (const char* chip : {"AC7811QBxx", "IND83204xx", "ML630Q466", "ML630Q448", "MR88F005BI"}) {
    s->chip.chipName = chip;
    s.host.boxes.clear();
    LoadFlashDriver(*s);
    EXPECT_TRUE(s.host.boxes.empty()) << chip << ": " << s.host.boxes.front().text;
  }
}

class DriverFiles : public ::testing::Test {
 protected:
  DriverFiles() {
    std::filesystem::create_directories(dir.path() / "VelmorDRVs");
    s->app.programDir = dir.path().string() + "/";
    s->chip.chipName = "ML630Q464";
    std::filesystem::current_path(dir.path());
  }
  ~DriverFiles() override { std::filesystem::current_path(std::filesystem::temp_directory_path()); }
  std::string Pack() {
    std::string path = (dir.path() / "VelmorDRVs" / "FDrvML6xQ.WDR").string();
    std::string command =
        std::string(DRAVONPACK) + " driver " + path + " " + DRAVON_DRIVER_SOURCES + "FDrvML6xQ.txt";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return path;
  }
  std::string Message() { return s.host.boxes.empty() ? "" : s.host.boxes.back().text; }

  TempDir dir;
  TestStation s;
};

TEST_F(DriverFiles, DamagedOrMissingFilesAreReported) {
  std::string path = Pack();
  LoadFlashDriver(*s);
  EXPECT_EQ(Message(), "");
  std::string good = ReadFile(path);

  std::string changed = good;
  changed[100] = static_cast<char>(changed[100] ^ 0x01);  // one data byte
  test::WriteFile(path, changed);
  LoadFlashDriver(*s);
  EXPECT_EQ(Message(), "Driver Data Check Error, File may be corrupted!");

  s.host.boxes.clear();
  test::WriteFile(path, good + "X");  // right CRC, wrong length
  LoadFlashDriver(*s);
  EXPECT_EQ(Message(), "Driver Data Check Error, File may be corrupted!");

  s.host.boxes.clear();
  test::WriteFile(path, std::string(16337, 'x'));  // too long to read at all
  LoadFlashDriver(*s);
  EXPECT_EQ(Message(), "Driver Data Check Error, File may be corrupted!");

  s.host.boxes.clear();
  std::filesystem::remove(path);
  LoadFlashDriver(*s);
  EXPECT_EQ(Message(), "File \"" + path + "\" is not exists, please check it!");
  EXPECT_EQ(s->flashDriver.buffer[0], 0xFF);

  s.host.boxes.clear();
  s->chip.chipName = "XYZ";
  LoadFlashDriver(*s);
  ASSERT_EQ(s.host.boxes.size(), 2u);
  EXPECT_EQ(s.host.boxes[0].text, "Error Chip or Driver not exists!");
  EXPECT_EQ(s.host.boxes[1].text, "No Driver Has been Founded, Please Check!");
}

TEST_F(DriverFiles, FragmentsFollowTheChannelState) {
  Pack();
  LoadFlashDriver(*s);
  Channel& c = s->channels[2];
  auto fragment = [&](ChannelState state) {
    c.state = state;
    std::fill(c.packet.begin(), c.packet.end(), 0);
    size_t n = DriverFragment(*s, 2, 100);
    return std::string(reinterpret_cast<const char*>(c.packet.data()) + 100, n);
  };
  EXPECT_EQ(fragment(ChannelState::BlankCheck), "FRAG-ML6xQ-BLANKCHECK-0123456789abcdef");
  EXPECT_EQ(fragment(ChannelState::ReadChecksum), "FRAG-ML6xQ-READCHECKSUM-fedcba9876543210");
  EXPECT_EQ(fragment(ChannelState::Erase), "FRAG-ML6xQ-ERASE-ERASE-ERASE-ERASE");
  EXPECT_EQ(fragment(ChannelState::ProgramMain), fragment(ChannelState::ProgramEep));
  EXPECT_EQ(fragment(ChannelState::WriteOption), "FRAG-ML6xQ-WRITEOPTION-GENERAL");
  EXPECT_EQ(fragment(ChannelState::VerifyMain), "");
  c.state = ChannelState::VerifyMain;
  EXPECT_EQ(DriverFragmentGeneral(*s, 2, 0), 30u);

  // Entries that point past the buffer or run past the packet area are cut there.
  PutU16(s->flashDriver.buffer.data() + kFragmentErase, 16380);
  PutU16(s->flashDriver.buffer.data() + kFragmentErase + 2, 100);
  c.state = ChannelState::Erase;
  EXPECT_EQ(DriverFragment(*s, 2, 0), 4u);
  PutU16(s->flashDriver.buffer.data() + kFragmentErase, 64);
  EXPECT_EQ(DriverFragment(*s, 2, kPacketSize - 10), 10u);
  EXPECT_EQ(DriverFragment(*s, 2, kPacketSize), 0u);
  PutU16(s->flashDriver.buffer.data() + kFragmentErase, 0xFFFF);
  EXPECT_EQ(DriverFragment(*s, 2, 0), 0u);
}

TEST(FirmwareFile, PackedFileLoads) {
  TestStation s;
  std::string path = std::string(DRAVON_PROGRAM_DIR) + "DravonLAPS.FWR";
  LoadFirmwareFile(*s, path);
  EXPECT_EQ(s->app.firmwareValid, 1);
  EXPECT_EQ(s->firmware.version, std::string("V1.06\0\0\0", 8));
  EXPECT_EQ(s->firmware.endAddress, 0x7FFF);
  EXPECT_EQ(s->firmware.imageLength, 28 * 2048);
  EXPECT_EQ(s->firmware.startAddress, 4096);

  TempDir dir;
  std::string bytes = ReadFile(path);
  bytes[bytes.size() - 4] = static_cast<char>(bytes[bytes.size() - 4] + 1);  // checksum off by one
  test::WriteFile(dir.File("bad.FWR"), bytes);
  LoadFirmwareFile(*s, dir.File("bad.FWR"));
  EXPECT_EQ(s->app.firmwareValid, 0);
}

class OptionDialogs : public ::testing::Test {
 protected:
  void Ac78(std::function<void(Ac78OptionModel&)> edit, bool ok = true) {
    s.host.dialogScripts.push_back([edit, ok](DialogModel& m) {
      edit(static_cast<Ac78OptionModel&>(m));
      return ok;
    });
    BtnOptionCfgClick(*s);
  }
  std::vector<uint8_t> Image(size_t from, size_t n) {
    return std::vector<uint8_t>(s->optionImage.begin() + from, s->optionImage.begin() + from + n);
  }
  TestStation s;
};

TEST_F(OptionDialogs, Ac78Wizard) {
  s->chip.vendor = kVendorAutoChip;
  SetupAc78(*s, "AC7811QBxx");
  Ac78([](Ac78OptionModel& m) {
    EXPECT_EQ(m.rop, 0);
    EXPECT_EQ(m.edits[0], "0xffff");
  });
  EXPECT_EQ(Image(0, 4), (std::vector<uint8_t>{0xAC, 0xFF, 0x53, 0xFF}));
  EXPECT_EQ(Image(4, 124), std::vector<uint8_t>(124, 0xFF));
  EXPECT_EQ(s->app.optionEdited, 0);
  EXPECT_FALSE(s->window["CheckBoxOpt"].checked);

  Ac78([](Ac78OptionModel& m) {
    m.edits[0] = "0x00F0";
    m.rop = 1;
  });
  EXPECT_EQ(Image(8, 4), (std::vector<uint8_t>{0xF0, 0x00, 0x0F, 0xFF}));
  EXPECT_EQ(Image(0, 4), (std::vector<uint8_t>{0x00, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(s->app.optionEdited, 1);
  EXPECT_TRUE(s->window["CheckBoxOpt"].checked);

  Ac78(
      [](Ac78OptionModel& m) {
        EXPECT_EQ(m.rop, 1);
        EXPECT_EQ(m.edits[0], "0x00f0");
        m.wdt = 1;
      },
      false);  // Cancel: nothing changes, the data is still shown
  EXPECT_EQ(Image(4, 1), std::vector<uint8_t>{0xFF});
  EXPECT_NE(s->info.Lines().back().find("Current Option: FF00 FFFF 00F0"), std::string::npos);

  Ac78([](Ac78OptionModel& m) {
    m.wdt = 1;
    m.edits[1] = "0x1234";
    m.edits[2] = "zz";
  });
  EXPECT_EQ(Image(4, 4), (std::vector<uint8_t>{0x33, 0xFF, 0xCC, 0xFF}));
  EXPECT_EQ(Image(12, 4), (std::vector<uint8_t>{0x34, 0x12, 0xCB, 0xED}));
  EXPECT_EQ(Image(16, 4), std::vector<uint8_t>(4, 0xFF));  // the failing field and after it
  EXPECT_EQ(s.host.boxes.back().text, "'zz' is not a valid integer value");
}

TEST_F(OptionDialogs, AucuDialog) {
  s->chip.vendor = kVendorAucuic;
  SetupAucu(*s);
  s.host.dialogScripts.push_back([](DialogModel& m) {
    auto& d = static_cast<AucuConfigModel&>(m);
    EXPECT_FALSE(d.uart1);
    d.uart1 = true;
    d.jtag = true;  // shown only: never written
    return true;
  });
  BtnOptionCfgClick(*s);
  EXPECT_EQ(s->optionImage[16], 0xFD);
  EXPECT_EQ(s->optionImage[20], 0xFF);
  EXPECT_EQ(s->optionImage[0], 0xFF);
  EXPECT_EQ(s->app.optionEdited, 1);
  AucuConfigModel shown;
  AucuFormShow(*s, shown);
  EXPECT_TRUE(shown.uart1);
  EXPECT_FALSE(shown.uart0);
}

}  // namespace
}  // namespace dravon
