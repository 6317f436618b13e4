// The main window: shows the engine's information list and progress bars and forwards the
// operator's commands to the engine's handlers.
#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>

#include "core/station.h"

class QMenu;
class QPlainTextEdit;
class QProgressBar;

namespace dravon::ui {

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(Station& station, std::string programDir, QWidget* parent = nullptr);

  // Brings every widget in line with the engine's records; called after each engine call.
  void Repaint();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void RepaintInfoList();
  void RepaintGauges();
  void ShowInfoMenu(const QPoint& position);

  Station& station_;
  std::string programDir_;
  bool started_ = false;
  QPlainTextEdit* infoMemo_ = nullptr;
  QMenu* infoMenu_ = nullptr;
  std::array<QProgressBar*, kChannelCount> gauges_{};
  std::array<Gauge, kChannelCount> shownGauges_{};
  size_t shownLines_ = 0;
  uint64_t shownClears_ = 0;
};

}  // namespace dravon::ui
