// The whole job as an operator does it, through the real serial ports: four units of dravonsim
// on pseudo-terminals, the chip chosen in its dialog, a HEX file loaded through the file
// dialog, AutoProg pressed; every bar ends blue with "Chip programming Successed!".
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>
#include <array>
#include <filesystem>

#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "ui/dialogs.h"
#include "ui/gauge_bar.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"
#include "ui/qt_serial_port.h"
#include "ui_support.h"

namespace dravon::ui {
namespace {

using dravon::test::WhenDialogShows;
namespace fs = std::filesystem;

TEST(AutoProgramEndToEnd, FourUnitsOnPseudoTerminals) {
  test::TempDir dir;
  fs::copy(fs::path(DRAVON_PROGRAM_DIR) / "VelmorDRVs", dir.path() / "VelmorDRVs");
  fs::copy(fs::path(DRAVON_PROGRAM_DIR) / "DravonLAPS.FWR", dir.path() / "DravonLAPS.FWR");
  QProcess sim;
  sim.start(QString::fromUtf8(DRAVONSIM),
            {"--units", "4", "--pace", "--dir", QString::fromStdString(dir.path().string())});
  ASSERT_TRUE(sim.waitForStarted());
  QElapsedTimer wait;
  wait.start();
  while (!fs::exists(dir.path() / "ConfigDqg.ini") && wait.elapsed() < 5000) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  ASSERT_TRUE(fs::exists(dir.path() / "ConfigDqg.ini"));

  QtHost host;
  RegisterDialogs(host);
  test::FixedClock clock;
  test::CountingRandom random;
  test::FakePortEnumerator enumerator;
  std::array<QtSerialPort, kChannelCount> ports;
  Platform platform{host, clock, random, enumerator, {}};
  for (int k = 0; k < kChannelCount; ++k)
    platform.ports[k] = &ports[k];
  auto station = MakeStation(platform, kEnglishTexts);
  MainWindow window(*station, dir.path().string() + "/");
  host.SetParent(&window);
  for (int k = 0; k < kChannelCount; ++k) {
    ports[k].Attach(station.get(), k, [&window] { window.ScheduleRepaint(); });
  }
  window.show();
  auto runFor = [](int ms, const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms && !done())
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  };
  ASSERT_TRUE(runFor(5000, [&] { return station->app.devicesFound == 4; }));

  WhenDialogShows<QDialog>([](QDialog* d) {
    d->findChild<QPushButton*>("BitBtnOK")->click();  // ML630Q464 is offered first
  });
  window.findChild<QAbstractButton*>("DevButton")->click();
  ASSERT_EQ(station->chip.chipName, "ML630Q464");

  const std::string hex = dir.File("firmware.hex");
  {
    std::string text;
    std::vector<uint8_t> image(6000);
    for (size_t i = 0; i < image.size(); ++i)
      image[i] = static_cast<uint8_t>(i * 13 + 1);
    for (size_t a = 0; a < image.size(); a += 16) {
      const size_t n = std::min<size_t>(16, image.size() - a);
      char buf[80];
      unsigned sum = static_cast<unsigned>(n + (a >> 8) + (a & 0xFF));
      std::snprintf(buf, sizeof buf, ":%02zX%04zX00", n, a);
      text += buf;
      for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", image[a + i]);
        text += buf;
        sum += image[a + i];
      }
      std::snprintf(buf, sizeof buf, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
      text += buf;
    }
    test::WriteFile(hex, ":020000041000EA\r\n" + text + ":00000001FF\r\n");
  }
  WhenDialogShows<QFileDialog>([hex](QFileDialog* d) {
    d->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(hex));
    QMetaObject::invokeMethod(d, "accept");
  });
  window.findChild<QAbstractButton*>("SpdBtnOpen")->click();
  ASSERT_EQ(station->app.fileLoaded, 1);

  window.findChild<QAbstractButton*>("AutoSpdBtn")->click();
  auto done = [&] {
    int n = 0;
    for (const auto& l : station->info.Lines())
      n += l.find("Chip programming Successed!") != std::string::npos;
    return n == 4;
  };
  EXPECT_TRUE(runFor(30000, done));
  window.Repaint();
  for (int k = 1; k <= 4; ++k) {
    auto* bar = window.findChild<dravon::ui::GaugeBar*>(QStringLiteral("Gauge%1").arg(k));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(bar->fill() == QColor(0x1e, 0x50, 0xe0)) << k;
  }
  const QString shot = qEnvironmentVariable("DRAVON_E2E_SCREENSHOT");
  if (!shot.isEmpty()) window.grab().save(shot);
  window.close();
  sim.terminate();
  sim.waitForFinished(3000);
}

}  // namespace
}  // namespace dravon::ui
