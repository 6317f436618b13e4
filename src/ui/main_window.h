// The main window: widgets named after the engine's controls, painted from the window model,
// with operator input copied into the model before the engine's handlers run.
#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/station.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTimer;

namespace dravon::ui {

class GaugeBar;
class HexTableModel;

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(Station& station, std::string programDir, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Brings every widget in line with the engine's records; called after each engine call.
  void Repaint();
  // Runs an engine handler with the operator's input already in the model, then repaints.
  void Run(const std::function<void()>& handler);
  // A repaint with the next 40 ms tick, for events that come often (received bytes).
  void ScheduleRepaint();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Kind { Label, Button, Check, Radio, Spin, Edit, Combo, Group, Action, Menu, Tab };
  struct Binding {
    std::string name;
    Kind kind;
    QObject* object;
    QTabWidget* tabs = nullptr;  // for Tab: the page control holding the page
    Control shown;               // what the widget shows now
    bool painted = false;
  };

  void BuildToolBar();
  void BuildMenus();
  void BuildChipSettingPage(QWidget* page);
  void BuildChipGroup(QGroupBox* box);
  void BuildConfigGroup(QGroupBox* box);
  void BuildCommGroup(QGroupBox* box);
  QTableView* BuildHexGrid(QWidget* page, const char* name, HexTableModel* model);

  QLabel* AddLabel(QWidget* parent, const char* name, int x, int y, int w = -1);
  QAbstractButton* AddButton(QAbstractButton* button, const char* name,
                             std::function<void()> handler);
  QAbstractButton* AddCheck(QWidget* parent, const char* name, int x, int y, int w,
                            std::function<void()> handler = {});
  QSpinBox* AddSpin(QWidget* parent, const char* name, int x, int y, int w);
  QLineEdit* AddEdit(QWidget* parent, const char* name, int x, int y, int w);
  QGroupBox* AddRadio(QWidget* parent, const char* name, int x, int y, int w, int h);
  QAction* AddAction(QMenu* menu, const char* name, QKeySequence shortcut,
                     std::function<void()> handler);
  void Bind(const char* name, Kind kind, QObject* object, QTabWidget* tabs = nullptr);

  void PaintBinding(Binding& b);
  void RepaintInfoList();
  void RepaintGauges();
  void RepaintStatusBar();

  void OnTimer1();
  void OnTimer2();

  Station& station_;
  std::string programDir_;
  QTimer* timer1_ = nullptr;
  QTimer* timer2_ = nullptr;
  static constexpr int kTicksPerRepaint = 4;
  bool repaintDue_ = false;
  int ticksSincePaint_ = 0;
  bool started_ = false;
  bool closing_ = false;
  const QEvent* lastKeyPress_ = nullptr;
  std::vector<Binding> bindings_;
  QTabWidget* viewPages_ = nullptr;
  QPlainTextEdit* infoMemo_ = nullptr;
  QMenu* infoMenu_ = nullptr;
  QMenu* eepMenu_ = nullptr;
  std::array<GaugeBar*, kChannelCount> gauges_{};
  std::array<Gauge, kChannelCount> shownGauges_{};
  std::array<QLabel*, 3> statusPanels_{};
  HexTableModel* mainModel_ = nullptr;
  HexTableModel* eepModel_ = nullptr;
  size_t shownLines_ = 0;
  uint64_t shownClears_ = 0;
};

}  // namespace dravon::ui
