// The automatic sequence of a 512 KiB image on ten channels, through real serial ports against
// dravonsim paced at the 1 Mbaud 8N2 wire rate: the time it takes against the wire-time bound
// of the bytes each channel exchanged, and the program's CPU time meanwhile.
//   auto_wire_bench DRAVONSIM PROGRAM_FOLDER
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "chips/catalogue.h"
#include "core/main_window.h"
#include "core/platform.h"
#include "core/station.h"
#include "images/checksums.h"
#include "images/object_readers.h"
#include "operations/commands.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"
#include "ui/qt_ports.h"
#include "ui/qt_serial_port.h"

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: auto_wire_bench DRAVONSIM PROGRAM_FOLDER\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "dravon-auto-wire-bench";
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy(fs::path(argv[2]) / "VelmorDRVs", dir / "VelmorDRVs");
  fs::copy(fs::path(argv[2]) / "DravonLAPS.FWR", dir / "DravonLAPS.FWR");
  QProcess sim;
  sim.start(QString::fromUtf8(argv[1]),
            {"--units", "10", "--pace", "--dir", QString::fromStdString(dir.string())});
  QElapsedTimer wait;
  wait.start();
  while (!fs::exists(dir / "ConfigDqg.ini") && wait.elapsed() < 5000)
    app.processEvents();

  dravon::HeadlessHost host(true);
  dravon::SystemClock clock;
  dravon::SystemRandom random;
  dravon::ui::QtPortEnumerator enumerator;
  std::array<dravon::ui::QtSerialPort, dravon::kChannelCount> ports;
  dravon::Platform platform{host, clock, random, enumerator, {}};
  for (int k = 0; k < dravon::kChannelCount; ++k)
    platform.ports[k] = &ports[k];
  auto station = dravon::MakeStation(platform, dravon::kEnglishTexts);
  dravon::ui::MainWindow window(*station, dir.string() + "/");
  for (int k = 0; k < dravon::kChannelCount; ++k) {
    ports[k].Attach(station.get(), k, [&window] { window.ScheduleRepaint(); });
  }
  window.show();
  // Waits in a real event loop, as the program's own does: polling here would cost the CPU
  // that is being measured.
  auto runUntil = [](int ms, const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
      if (done()) loop.quit();
    });
    check.start(20);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (!done()) loop.exec();
    return done();
  };
  if (!runUntil(8000, [&] { return station->app.devicesFound == 10; })) {
    std::fprintf(stderr, "only %d units found\n", station->app.devicesFound);
    return 1;
  }

  // ML630Q448: 512 KiB of main flash, verified by reading it back on the PC.
  dravon::ChipSelectModel chip;
  dravon::ChipSelFormShow(*station, chip);
  chip.selected = 2;
  dravon::ChipSelOkClick(*station, chip);
  dravon::SetMcuNameText(*station, station->chip.chipName);
  for (size_t i = 0; i < 0x80000; ++i)
    station->mainImage.bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  dravon::ComputeMainUsedSize(*station);
  dravon::ShowImageChecksums(*station);
  station->app.fileLoaded = 1;
  std::array<uint64_t, dravon::kChannelCount> out{}, in{};
  for (int k = 0; k < 10; ++k) {
    out[k] = ports[k].BytesWritten();
    in[k] = ports[k].BytesRead();
  }

  const double cpu0 = CpuSeconds();
  QElapsedTimer run;
  run.start();
  dravon::AutoSpdBtnClick(*station);
  auto succeeded = [&] {
    int n = 0;
    for (const auto& l : station->info.Lines())
      n += l.find("Chip programming Successed!") != std::string::npos;
    return n;
  };
  const bool ok = runUntil(120000, [&] { return succeeded() == 10; });
  const double seconds = static_cast<double>(run.nsecsElapsed()) / 1e9;
  const double cpu = CpuSeconds() - cpu0;

  double bound = 0;
  uint64_t exchanged = 0;
  for (int k = 0; k < 10; ++k) {
    const uint64_t bytes = (ports[k].BytesWritten() - out[k]) + (ports[k].BytesRead() - in[k]);
    exchanged += bytes;
    bound = std::max(bound, static_cast<double>(bytes) * 11.0 / 1e6);
  }
  std::printf("auto sequence, 512 KiB on 10 channels, paced at 1 Mbaud 8N2: %s\n",
              ok ? "all 10 programmed" : "NOT all programmed");
  std::printf("time %.2f s, wire-time bound %.2f s (%.1f MB exchanged): %.1f %% over the bound\n",
              seconds, bound, static_cast<double>(exchanged) / 1e6, (seconds / bound - 1) * 100);
  std::printf("program CPU %.2f s: %.1f %% of one core\n", cpu, cpu / seconds * 100);
  sim.terminate();
  sim.waitForFinished(3000);
  fs::remove_all(dir);
  return ok ? 0 : 1;
}
