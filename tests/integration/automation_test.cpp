// The command line on simulated units: a project named on it is loaded and downloaded once every
// listed programmer has answered; unattended ("OFF"), the run ends by itself with ResDW.Txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/main_window.h"
#include "core/startup.h"
#include "link/discovery.h"
#include "persistence/project_file.h"
#include "support/sim_bench.h"

namespace dravon {
namespace {

using sim::Fault;
using sim::UnitOptions;
using test::SimBench;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Automation {
  explicit Automation(int units) : b(std::vector<UnitOptions>(units)) {
    resultFile = b.dir.File("ResDW.Txt");
    project = b.dir.File("job.pmw");
    // The program's folder holds the flash drivers the chip needs.
    std::filesystem::copy(std::string(DRAVON_PROGRAM_DIR) + "VelmorDRVs",
                          b.dir.path() / "VelmorDRVs");
  }

  // A job for ML630Q464 with serial numbers from 100, gain 2, saved as job.pmw.
  void SaveProject() {
    Station& s = b.station();
    test::SetUpMl630Job(s, 20 * 1024, 7);
    s.window["CheckBoxSN"].checked = true;
    s.window["SNEdit1"].text = "100";
    s.window["GainEdit"].text = "2";
    ASSERT_TRUE(GatherJobOptions(s));
    ASSERT_TRUE(WriteProjectFile(s, project, s.chip.familyCode));
    image.assign(s.mainImage.bytes.begin(), s.mainImage.bytes.begin() + 20 * 1024);
  }

  // Starts the program anew with these arguments and runs it, Timer2 every 50 ms.
  void Start(std::vector<std::string> arguments) {
    b->app.arguments = std::move(arguments);
    FormShow(b.station(), b.dir.path().string());
    b.host.boxes.clear();
  }
  void Run(double ms) {
    for (double t = 0; t < ms; t += 50) {
      if (b->app.timer2Enabled) Timer2Timer(b.station());
      b.Step(50);
      if (b.host.closeRequests > 0) return;
    }
  }
  int Count(int unit, uint8_t command) {
    const auto c = b.unit(unit).Commands();
    return static_cast<int>(std::count(c.begin(), c.end(), command));
  }

  SimBench b;
  std::string resultFile;
  std::string project;
  std::vector<uint8_t> image;
};

TEST(Automation, CommandLineArguments) {
  struct Case {
    std::vector<std::string> arguments;
    uint8_t autoProject;
    uint8_t unattended;
    const char* mode;
  };
  const Case cases[] = {
      {{}, 0, 0, ""},
      {{"a.pmw"}, 1, 0, ""},
      {{"a.pmw", "off"}, 1, 1, "OFF"},
      {{"a.pmw", "Off", "more"}, 1, 1, "OFF"},
      {{"a.pmw", "on"}, 1, 0, "ON"},
  };
  for (const Case& c : cases) {
    SimBench b({});
    b->app.arguments = c.arguments;
    FormShow(b.station(), b.dir.path().string());
    EXPECT_EQ(b->app.autoProject, c.autoProject);
    EXPECT_EQ(b->app.unattended, c.unattended);
    EXPECT_EQ(b->app.modeArg, c.mode);
    if (!c.arguments.empty()) {
      EXPECT_EQ(b->app.projectPath, c.arguments[0]);
    }
  }
}

TEST(Automation, UnattendedDownloadWritesTheResultAndCloses) {
  Automation a(4);
  a.SaveProject();
  test::WriteFile(a.resultFile, "stale");
  a.Start({a.project, "off"});
  EXPECT_FALSE(std::filesystem::exists(a.resultFile));  // start-up removed the old result
  a.Run(20000);
  ASSERT_EQ(a.b.host.closeRequests, 1);
  EXPECT_EQ(a.b->app.downloadReported, 1);
  EXPECT_EQ(ReadText(a.resultFile), "Download Success");
  for (int u = 0; u < 4; ++u) {
    SCOPED_TRACE(u);
    const auto& job = a.b.unit(u).Job();
    EXPECT_TRUE(job.received && job.blockGood);
    EXPECT_EQ(job.snInitial, 100u + 2u * static_cast<uint32_t>(u));
    EXPECT_EQ(job.snStep, 8);
    const auto& main = a.b.unit(u).DownloadedMain();
    ASSERT_GE(main.size(), a.image.size());
    EXPECT_TRUE(std::equal(a.image.begin(), a.image.end(), main.begin()));
    EXPECT_EQ(a.Count(u, 0x8A), 0);  // unattended: no off-line start
  }
}

TEST(Automation, OneArgumentDownloadsOnceAndStaysOpen) {
  Automation a(2);
  a.SaveProject();
  a.Start({a.project});
  a.Run(20000);
  EXPECT_EQ(a.b.host.closeRequests, 0);
  for (int u = 0; u < 2; ++u) {
    EXPECT_EQ(a.Count(u, 0x53), 1);
    EXPECT_EQ(a.Count(u, 0x8A), 1);
  }
  EXPECT_FALSE(std::filesystem::exists(a.resultFile));
  // A manual search restarts Timer2; the project is not downloaded a second time.
  BitBtnFindDevClick(a.b.station());
  a.Run(3000);
  for (int u = 0; u < 2; ++u)
    EXPECT_EQ(a.Count(u, 0x53), 1);
}

TEST(Automation, UnattendedRunsThatCannotSucceedEndWithoutAResult) {
  {
    SCOPED_TRACE("project file missing");
    Automation a(2);
    test::WriteFile(a.resultFile, "stale");
    a.Start({a.b.dir.File("none.pmw"), "OFF"});
    a.Run(2000);
    EXPECT_EQ(a.b.host.closeRequests, 1);
    EXPECT_EQ(a.b->app.downloadReported, 0);
    EXPECT_FALSE(std::filesystem::exists(a.resultFile));
    ASSERT_FALSE(a.b.host.boxes.empty());
    EXPECT_NE(a.b.host.boxes.back().text.find("none.pmw is not found!"), std::string::npos);
  }
  {
    SCOPED_TRACE("one unit's download fails");
    Automation a(3);
    a.SaveProject();
    a.Start({a.project, "off"});
    Timer2Timer(a.b.station());  // the search; the replies come within the next step
    a.b.Step(20);
    ASSERT_EQ(a.b->app.devicesFound, 3);
    a.b.unit(1).SetFault(Fault::WrongCrc, true);
    a.Run(20000);
    EXPECT_EQ(a.b.host.closeRequests, 1);
    EXPECT_EQ(a.b->app.downloadReported, 0);
    EXPECT_FALSE(std::filesystem::exists(a.resultFile));
    EXPECT_EQ(a.b.host.boxes.back().text, "The job download failed on 1 of 3 programmers!");
  }
  {
    SCOPED_TRACE("a listed programmer never answers");
    Automation a(2);
    a.SaveProject();
    a.b.unit(1).SetFault(Fault::NoReply, true);
    a.Start({a.project, "off"});
    a.Run(40000);
    EXPECT_EQ(a.b.host.closeRequests, 1);
    EXPECT_EQ(a.b.host.boxes.back().text,
              "Only 1 of 2 programmers answered; the download was not started!");
  }
}

}  // namespace
}  // namespace dravon
