#include <gtest/gtest.h>

#include "core/startup.h"
#include "persistence/log_files.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using test::TempDir;
using test::TestStation;

TEST(LogConfig, FileLines) {
  LogConfig c;
  ParseLogConfig(
      "[ConfigLog]\r\nDnLog\r\nCustomer\r\nCusDef2\r\nSpcFile=D:\\logs\\line1.txt\r\n[EndCfg]\r\n",
      c);
  EXPECT_FALSE(c.enabled);
  EXPECT_EQ(c.creationMode, 1);
  EXPECT_EQ(c.customerMode, 2);
  EXPECT_EQ(c.customerFile, "D:\\logs\\line1.txt");

  LogConfig d;
  ParseLogConfig("[ConfigLog]\nenlog\n DnLog\nSpcFile=\n[EndCfg]\nDnLog\n", d);
  EXPECT_TRUE(d.enabled);  // lower case, a leading blank and lines after the end are ignored
  EXPECT_EQ(d.customerFile, "");

  LogConfig e;
  ParseLogConfig("[Other]\nDnLog\n", e);  // not ours: ignored whole
  EXPECT_TRUE(e.enabled);

  EXPECT_EQ(LogConfigText(LogConfig{}), "[ConfigLog]\r\nEnLog\r\nSystem\r\n[EndCfg]\r\n");
  EXPECT_EQ(
      LogConfigText(c),
      "[ConfigLog]\r\nDnLog\r\nCustomer\r\nCusDef2\r\nSpcFile=D:\\logs\\line1.txt\r\n[EndCfg]\r\n");
}

TEST(LogConfig, DialogRulesAndSaving) {
  TestStation s;
  TempDir dir;
  s->app.programDir = dir.path().string() + "/";
  s->logConfig.creationMode = 1;
  s.host.dialogScripts.push_back([](DialogModel& m) {
    auto& d = static_cast<LogConfigModel&>(m);
    EXPECT_EQ(d.creationMode, 0);  // every showing starts from the system file
    d.creationMode = 1;
    RadioGrpCreatClick(d);
    EXPECT_TRUE(d.fileEnabled);
    d.fileName.clear();
    return true;  // OK with no name: the message, and the dialog again
  });
  s.host.dialogScripts.push_back([](DialogModel& m) {
    auto& d = static_cast<LogConfigModel&>(m);
    d.fileName = "line.log";
    d.customerMode = 2;
    return true;
  });
  ConfigLogFile1Click(*s);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0].text, "Please input valid Log file name!");
  EXPECT_EQ(test::ReadFile(dir.File("GenLogX.cfg")),
            "[ConfigLog]\r\nEnLog\r\nCustomer\r\nCusDef2\r\nSpcFile=line.log\r\n[EndCfg]\r\n");

  // Opened and closed without a change: the file says system mode again.
  s.host.dialogScripts.push_back([](DialogModel&) { return false; });
  ConfigLogFile1Click(*s);
  EXPECT_EQ(test::ReadFile(dir.File("GenLogX.cfg")),
            "[ConfigLog]\r\nEnLog\r\nSystem\r\n[EndCfg]\r\n");

  LogConfigModel m;
  m.enabled = false;
  CheckBoxLogClick(m);
  EXPECT_FALSE(m.creationEnabled);
  EXPECT_FALSE(m.fileEnabled);
}

TEST(StartUp, ReadsTheLogConfigurationAndRemovesAStaleResultFile) {
  TestStation s;
  TempDir dir;
  test::WriteFile(dir.File("GenLogX.cfg"), "[ConfigLog]\r\nDnLog\r\n[EndCfg]\r\n");
  test::WriteFile(dir.File("ResDW.Txt"), "Download Success\r\n");
  FormShow(*s, dir.path().string());
  EXPECT_FALSE(s->logConfig.enabled);
  EXPECT_FALSE(std::filesystem::exists(dir.File("ResDW.Txt")));
}

}  // namespace
}  // namespace dravon
