// dravonprog: the PC control program of the DravonQ40LAP flash programmers.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <array>
#include <cstdio>

#include "core/info_list.h"
#include "core/lifecycle.h"
#include "core/platform.h"
#include "core/station.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"
#include "ui/qt_ports.h"
#include "ui/qt_serial_port.h"

namespace {

#ifdef DRAVON_EDITION_CHINESE
const dravon::Texts& kEdition = dravon::kChineseTexts;
#else
const dravon::Texts& kEdition = dravon::kEnglishTexts;
#endif

// For documentation and checks under a virtual display: DRAVONPROG_SCREENSHOT=file.png saves
// a picture of the main window shortly after it is shown, and ends the program.
void ScheduleScreenshot(QWidget& window) {
  QString path = qEnvironmentVariable("DRAVONPROG_SCREENSHOT");
  if (path.isEmpty()) return;
  QTimer::singleShot(800, &window, [&window, path] {
    window.grab().save(path);
    QApplication::quit();
  });
}

// For end-to-end tests: DRAVONPROG_QUIT_AFTER_MS=n closes the program after n milliseconds as
// the Exit command does, without asking.
void ScheduleQuit(dravon::Station& station) {
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue("DRAVONPROG_QUIT_AFTER_MS", &ok);
  if (!ok) return;
  QTimer::singleShot(ms, [&station] {
    station.app.exitConfirmed = 1;
    dravon::SpdBtnExitClick(station);
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kEdition.applicationTitle));
  QApplication::setApplicationDisplayName(QString::fromUtf8(kEdition.applicationTitle));

  dravon::ui::QtHost screen;
  dravon::ui::RegisterDialogs(screen);
  dravon::UnattendedHost host(screen);
  dravon::SystemClock clock;
  dravon::SystemRandom random;
  dravon::ui::QtPortEnumerator portEnumerator;
  dravon::Platform platform{host, clock, random, portEnumerator, {}};
  std::array<dravon::ui::QtSerialPort, dravon::kChannelCount> ports;
  for (int k = 0; k < dravon::kChannelCount; ++k)
    platform.ports[k] = &ports[k];
  auto station = dravon::MakeStation(platform, kEdition);

  // "--all-vendors" offers every vendor's chips in the chip dialog; it is not one of the
  // positional arguments (the project file, then "OFF" for an unattended run).
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == QLatin1String("--all-vendors")) {
      station->app.allVendors = 1;
    } else {
      station->app.arguments.push_back(dravon::ui::FromQt(arguments[i]));
    }
  }
  // Unattended, nothing may wait for a person: what a box would say goes to the information
  // list and to standard error. Decided before start-up, which may already have a box to show.
  const bool unattended = station->app.arguments.size() > 1 &&
                          QString::fromStdString(station->app.arguments[1]).toUpper() == "OFF";
  if (unattended) {
    dravon::Station* s = station.get();
    host.Enable([s](const std::string& text) {
      // Some reports put their text in the list themselves just before the box.
      const auto& lines = s->info.Lines();
      const bool listed =
          !lines.empty() && lines.back().size() >= text.size() &&
          lines.back().compare(lines.back().size() - text.size(), text.size(), text) == 0;
      if (!listed) dravon::AddInfoLine(*s, text);
      std::fprintf(stderr, "%s\n", text.c_str());
      std::fflush(stderr);
    });
  }

  QString programDir = QDir::toNativeSeparators(QApplication::applicationDirPath());
  dravon::ui::MainWindow window(*station, dravon::ui::FromQt(programDir));
  screen.SetParent(&window);
  for (int k = 0; k < dravon::kChannelCount; ++k) {
    ports[k].Attach(station.get(), k, [&window] { window.ScheduleRepaint(); });
  }
  screen.SetBoxTitle(QString::fromUtf8(kEdition.applicationTitle));
  window.show();
  ScheduleScreenshot(window);
  ScheduleQuit(*station);
  const int status = QApplication::exec();
  // A script learns from the exit status whether every programmer got its job.
  if (unattended) return station->app.downloadReported ? 0 : 1;
  return status;
}
