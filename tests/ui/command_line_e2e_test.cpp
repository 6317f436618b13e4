// The real program run from a production script: "dravonprog job.pmw off" against four units of
// dravonsim downloads the job to every unit, writes ResDW.Txt and ends with status 0; a run that
// cannot succeed ends by itself without a result; with one argument the program downloads,
// starts off-line programming and stays open.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/main_window.h"
#include "persistence/project_file.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Installation {
  Installation() {
    prog = dir.path() / "prog";
    home = dir.path() / "home";
    fs::create_directories(prog);
    fs::create_directories(home);
    fs::copy(DRAVONPROG, prog / "dravonprog");
    fs::copy(fs::path(DRAVON_PROGRAM_DIR) / "VelmorDRVs", prog / "VelmorDRVs");
    fs::copy(fs::path(DRAVON_PROGRAM_DIR) / "DravonLAPS.FWR", prog / "DravonLAPS.FWR");
  }

  // ML630Q464, 20 KiB of data, serial numbers from 100 with gain 2.
  void SaveProject(const fs::path& path) {
    test::TestStation t;
    Station& s = *t;
    test::SetUpMl630Job(s, 20 * 1024, 3);
    s.window["CheckBoxSN"].checked = true;
    s.window["SNEdit1"].text = "100";
    s.window["GainEdit"].text = "2";
    ASSERT_TRUE(GatherJobOptions(s));
    ASSERT_TRUE(WriteProjectFile(s, path.string(), s.chip.familyCode));
    imageAcc = 0;
    for (size_t i = 0; i < 20 * 1024; ++i)
      imageAcc += s.mainImage.bytes[i];
  }

  void StartSim() {
    sim.start(QString::fromUtf8(DRAVONSIM),
              {"--units", "4", "--pace", "--dir", QString::fromStdString(prog.string())});
    ASSERT_TRUE(sim.waitForStarted());
    for (int i = 0; i < 100 && !fs::exists(prog / "ConfigDqg.ini"); ++i)
      sim.waitForReadyRead(50);
    ASSERT_TRUE(fs::exists(prog / "ConfigDqg.ini"));
  }
  // What dravonsim says each unit was given, once it has been stopped.
  std::vector<std::string> StopSim() {
    sim.terminate();
    sim.waitForFinished(5000);
    std::vector<std::string> units;
    for (const QString& line : QString::fromUtf8(sim.readAllStandardOutput()).split('\n')) {
      if (line.startsWith("unit ")) units.push_back(line.toStdString());
    }
    return units;
  }

  // Runs the program with these arguments; the exit status, or -1 when it did not end in time.
  int RunProgram(const QStringList& arguments, int waitMs, std::string* errors = nullptr) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", QString::fromStdString(home.string()));
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString((prog / "dravonprog").string()), arguments);
    if (!p.waitForStarted()) return -2;
    const bool ended = p.waitForFinished(waitMs);
    if (!ended) {
      p.kill();
      p.waitForFinished(3000);
    }
    if (errors) *errors = p.readAllStandardError().toStdString();
    return ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }

  test::TempDir dir;
  fs::path prog;
  fs::path home;
  QProcess sim;
  uint32_t imageAcc = 0;
};

TEST(CommandLineEndToEnd, UnattendedDownloadToFourUnits) {
  Installation in;
  const fs::path job = in.prog / "job.pmw";
  in.SaveProject(job);
  in.StartSim();
  // "off" in any case; the script learns the outcome from the status and ResDW.Txt.
  EXPECT_EQ(in.RunProgram({QString::fromStdString(job.string()), "off"}, 60000), 0);
  EXPECT_EQ(ReadText(in.prog / "ResDW.Txt"), "Download Success");
  const auto units = in.StopSim();
  ASSERT_EQ(units.size(), 4u);
  for (int u = 0; u < 4; ++u) {
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "unit %d: job good, serial numbers from %d step 8, main 20480 bytes ACC32 "
                  "0x%08X, off-line not started",
                  u, 100 + 2 * u, in.imageAcc);
    EXPECT_EQ(units[u], expected);
  }
}

TEST(CommandLineEndToEnd, FailingRunEndsWithoutAResult) {
  Installation in;
  in.StartSim();
  std::ofstream(in.prog / "ResDW.Txt") << "Download Success";
  std::string errors;
  const int status = in.RunProgram(
      {QString::fromStdString((in.prog / "missing.pmw").string()), "OFF"}, 30000, &errors);
  EXPECT_NE(status, 0);
  EXPECT_NE(status, -1) << "the program did not end by itself";
  EXPECT_FALSE(fs::exists(in.prog / "ResDW.Txt"));
  EXPECT_NE(errors.find("missing.pmw is not found!"), std::string::npos) << errors;
  in.StopSim();
}

TEST(CommandLineEndToEnd, OneArgumentDownloadsStartsOfflineAndStaysOpen) {
  Installation in;
  const fs::path job = in.prog / "job.pmw";
  in.SaveProject(job);
  in.StartSim();
  // Still running after 8 s: the operator closes it.
  EXPECT_EQ(in.RunProgram({QString::fromStdString(job.string())}, 8000), -1);
  EXPECT_FALSE(fs::exists(in.prog / "ResDW.Txt"));
  const auto units = in.StopSim();
  ASSERT_EQ(units.size(), 4u);
  for (const std::string& u : units)
    EXPECT_NE(u.find("job good"), std::string::npos) << u;
  for (const std::string& u : units)
    EXPECT_NE(u.find("off-line started"), std::string::npos) << u;
}

}  // namespace
}  // namespace dravon
