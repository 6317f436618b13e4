#include "core/lifecycle.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/dialogs.h"
#include "persistence/log_files.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

namespace fs = std::filesystem;
using test::ShownBox;
using test::TempDir;
using test::TestStation;

std::string ReadAll(const fs::path& p) { return test::ReadFile(p.string()); }

// Records what happened to it, in order, in a shared journal.
class JournalPort final : public SerialPort {
 public:
  JournalPort(std::vector<std::string>& journal, std::string name)
      : journal_(journal), name_(std::move(name)) {}
  void SetName(const std::string& name) override { name_ = name; }
  const std::string& Name() const override { return name_; }
  bool Open(std::string&) override { return open_ = true; }
  void Close() override {
    open_ = false;
    journal_.push_back("close " + name_);
  }
  bool IsOpen() const override { return open_; }
  bool Write(const uint8_t*, size_t) override { return true; }

 private:
  std::vector<std::string>& journal_;
  std::string name_;
  bool open_ = false;
};

TEST(SetAddressDialog, RoundsTheAddressAndKeepsTheLengthInRange) {
  TestStation s;
  s.host.dialogScripts.push_back([](DialogModel& m) {
    auto& d = static_cast<SetAddressModel&>(m);
    EXPECT_EQ(d.addressText, "0x00000000");
    EXPECT_EQ(d.lengthText, "64");
    EXPECT_EQ(d.lengthMaximum, 1024);
    d.addressText = "0x00001237";
    d.lengthText = "5000";
    return true;
  });
  RunSetAddressDialog(*s);
  EXPECT_EQ(s->readRequest.address, 0x00001230u);
  EXPECT_EQ(s->readRequest.length, 1024);

  s.host.dialogScripts.push_back([](DialogModel& m) {
    auto& d = static_cast<SetAddressModel&>(m);
    EXPECT_EQ(d.addressText, "0x00001230");  // shown the next time
    d.lengthText = "3";
    return true;
  });
  RunSetAddressDialog(*s);
  EXPECT_EQ(s->readRequest.length, 16);
}

TEST(SetAddressDialog, CloseBoxOrBadAddressKeepsThePreviousValues) {
  TestStation s;
  s->readRequest.address = 0x100;
  s.host.dialogScripts.push_back([](DialogModel& m) {
    static_cast<SetAddressModel&>(m).addressText = "0x2000";
    return false;  // closed with the close box
  });
  RunSetAddressDialog(*s);
  EXPECT_EQ(s->readRequest.address, 0x100u);
  EXPECT_EQ(s->readRequest.length, 64);

  s.host.dialogScripts.push_back([](DialogModel& m) {
    auto& d = static_cast<SetAddressModel&>(m);
    d.addressText = "12Q";
    d.lengthText = "128";
    return true;
  });
  RunSetAddressDialog(*s);
  EXPECT_EQ(s->readRequest.address, 0x100u);
  EXPECT_EQ(s->readRequest.length, 64);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0].text, "'12Q' is not a valid integer value");
}

class CloseTest : public ::testing::Test {
 protected:
  CloseTest() {
    Platform platform{host, clock, random, enumerator, {}};
    for (int k = 0; k < 3; ++k) {
      ports.push_back(std::make_unique<JournalPort>(journal, "port" + std::to_string(k)));
      platform.ports[k] = ports.back().get();
    }
    station = MakeStation(platform, kEnglishTexts);
    station->app.programDir = dir.path().string() + "/";
    ResetChannelTable(*station);
    std::string error;
    ports[0]->Open(error);
    ports[2]->Open(error);
    station->logConfig.creationMode = 1;
    station->logConfig.customerFile = "run.log";
  }

  test::ScriptedHost host;
  test::FixedClock clock;
  test::CountingRandom random;
  test::FakePortEnumerator enumerator;
  std::vector<std::string> journal;
  std::vector<std::unique_ptr<JournalPort>> ports;
  TempDir dir;
  std::unique_ptr<Station> station;
};

TEST_F(CloseTest, ClosesOpenPortsThenWritesTheLog) {
  AddPlainLine(*station, "line one");
  FormClose(*station);
  EXPECT_EQ(journal, (std::vector<std::string>{"close port0", "close port2"}));
  EXPECT_EQ(ReadAll(dir.path() / "run.log"), "line one\r\n");
}

TEST_F(CloseTest, WhileBusyAsksOnceAndNoMeansStay) {
  station->channels[1].busy = 1;
  host.answers = {false};
  EXPECT_FALSE(FormCloseQuery(*station));
  host.answers = {true};
  SpdBtnExitClick(*station);
  EXPECT_EQ(host.closeRequests, 1);
  EXPECT_EQ(journal.size(), 2u);
  EXPECT_TRUE(FormCloseQuery(*station));  // the window's own close does not ask again
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].text, "Programmers are still working. Exit anyway?");
}

TEST_F(CloseTest, IdleOrUnattendedNeverAsks) {
  EXPECT_TRUE(FormCloseQuery(*station));
  station->channels[0].busy = 1;
  station->app.unattended = 1;
  EXPECT_TRUE(FormCloseQuery(*station));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(CloseTest, CustomerLogModes) {
  AddPlainLine(*station, "first run");
  station->logConfig.customerMode = 2;
  WriteLogAtExit(*station);
  EXPECT_EQ(ReadAll(dir.path() / "run.log"), "Velmor Log File!\r\nfirst run\r\n");
  WriteLogAtExit(*station);
  EXPECT_EQ(ReadAll(dir.path() / "run.log"), "Velmor Log File!\r\nfirst run\r\nfirst run\r\n");
  station->logConfig.customerMode = 1;
  WriteLogAtExit(*station);
  EXPECT_EQ(ReadAll(dir.path() / "run.log"), "first run\r\n");

  station->logConfig.enabled = false;  // "Generate Log File " unticked: no log at all
  AddPlainLine(*station, "second");
  WriteLogAtExit(*station);
  EXPECT_EQ(ReadAll(dir.path() / "run.log"), "first run\r\n");

  station->logConfig.enabled = true;
  station->logConfig.customerFile = (dir.path() / "missing" / "x.log").string();
  station->logConfig.customerMode = 0;
  WriteLogAtExit(*station);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("x.log"), std::string::npos);
}

TEST_F(CloseTest, SystemLogNeedsMoreThanSixLines) {
  const char* home = std::getenv("HOME");
  std::string oldHome = home ? home : "";
  setenv("HOME", dir.path().c_str(), 1);
  station->logConfig.creationMode = 0;
  clock.date = "2026/12/11";
  clock.time = "14:03:22";
  station->info.Clear();
  for (int i = 0; i < 6; ++i)
    AddPlainLine(*station, "x");
  WriteLogAtExit(*station);
  fs::path folder = dir.path() / "QuelarxLogS";
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_empty(folder));
  AddPlainLine(*station, "seventh");
  WriteLogAtExit(*station);
  fs::path log = folder / "Quelox_2026_12_11_14_03_22.log";
  EXPECT_TRUE(fs::exists(log));
  EXPECT_EQ(ReadAll(log), "x\r\nx\r\nx\r\nx\r\nx\r\nx\r\nseventh\r\n");
  setenv("HOME", oldHome.c_str(), 1);
}

}  // namespace
}  // namespace dravon
