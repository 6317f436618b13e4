// dravonprog: the PC control program of the DravonQ40LAP flash programmers.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <array>

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

  dravon::ui::QtHost host;
  dravon::ui::RegisterDialogs(host);
  dravon::SystemClock clock;
  dravon::SystemRandom random;
  dravon::ui::QtPortEnumerator portEnumerator;
  dravon::Platform platform{host, clock, random, portEnumerator, {}};
  std::array<dravon::ui::QtSerialPort, dravon::kChannelCount> ports;
  for (int k = 0; k < dravon::kChannelCount; ++k)
    platform.ports[k] = &ports[k];
  auto station = dravon::MakeStation(platform, kEdition);

  // "--all-vendors" offers every vendor's chips in the chip dialog; it is not one of the
  // positional arguments.
  for (const QString& argument : QApplication::arguments()) {
    if (argument == QLatin1String("--all-vendors")) station->app.allVendors = 1;
  }

  QString programDir = QDir::toNativeSeparators(QApplication::applicationDirPath());
  dravon::ui::MainWindow window(*station, dravon::ui::FromQt(programDir));
  host.SetParent(&window);
  for (int k = 0; k < dravon::kChannelCount; ++k) {
    ports[k].Attach(station.get(), k, [&window] { window.ScheduleRepaint(); });
  }
  host.SetBoxTitle(QString::fromUtf8(kEdition.applicationTitle));
  window.show();
  ScheduleScreenshot(window);
  ScheduleQuit(*station);
  return QApplication::exec();
}
