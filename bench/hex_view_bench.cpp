// The Main Flash grid over a whole 4 MiB image: time from rebuilding the grid to showing it and
// jumping to its last row, and the program's resident memory with the view open.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/hex_views.h"
#include "core/station.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"
#include "ui/qt_ports.h"

namespace {

long ResidentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  dravon::ui::QtHost host;
  dravon::SystemClock clock;
  dravon::SystemRandom random;
  dravon::ui::QtPortEnumerator ports;
  auto station =
      dravon::MakeStation(dravon::Platform{host, clock, random, ports, {}}, dravon::kEnglishTexts);
  dravon::ui::MainWindow window(*station, QApplication::applicationDirPath().toStdString());
  host.SetParent(&window);
  window.show();
  QApplication::processEvents();
  for (size_t i = 0; i < station->mainImage.bytes.size(); ++i) {
    station->mainImage.bytes[i] = static_cast<uint8_t>(i * 7);
  }
  auto* pages = window.findChild<QTabWidget*>(QStringLiteral("ViewPageCtrl"));
  auto* grid = window.findChild<QTableView*>(QStringLiteral("HexViewer"));

  std::vector<double> ms;
  for (int round = 0; round < 21; ++round) {
    pages->setCurrentIndex(0);
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    dravon::FillMainView(*station, 0, 4 * 1024 * 1024 - 1);
    window.Repaint();
    pages->setCurrentIndex(1);
    grid->scrollToBottom();
    QApplication::processEvents();
    grid->viewport()->repaint();
    ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  std::printf(
      "hex view, 4 MiB image (%d rows): fill + show + jump to last row: median %.2f ms "
      "(min %.2f, max %.2f) over %zu runs\n",
      grid->model()->rowCount(), ms[ms.size() / 2], ms.front(), ms.back(), ms.size());
  std::printf(
      "last row shown: %s\n",
      grid->verticalScrollBar()->value() == grid->verticalScrollBar()->maximum() ? "yes" : "no");
  std::printf("resident memory with the view open: %.1f MB\n", ResidentKiB() / 1024.0);
  return 0;
}
