#include "ui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "chips/catalogue.h"
#include "chips/option_dialogs.h"
#include "core/dialogs.h"
#include "core/info_list.h"
#include "core/lifecycle.h"
#include "core/main_window.h"
#include "core/startup.h"
#include "images/load_save.h"
#include "link/discovery.h"
#include "link/firmware_upgrade.h"
#include "link/receive.h"
#include "operations/commands.h"
#include "persistence/log_files.h"
#include "persistence/project_file.h"
#include "persistence/serial_numbers.h"
#include "ui/gauge_bar.h"
#include "ui/hex_table_model.h"
#include "ui/qt_host.h"

namespace dravon::ui {
namespace {

constexpr int kClientWidth = 917;
constexpr int kClientHeight = 587;
constexpr int kToolBarHeight = 41;
constexpr int kStatusHeight = 22;
constexpr int kRightColumnX = 344;
constexpr int kRightColumnWidth = 558;
constexpr int kMemoTop = 26;

QColor GaugeFill(GaugeColour colour) {
  return colour == GaugeColour::Red ? QColor(0xe0, 0x20, 0x20) : QColor(0x1e, 0x50, 0xe0);
}

// A spin box whose text editor the window listens to.
class SpinEdit final : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;
  QLineEdit* Editor() const { return lineEdit(); }
};

bool SameGauge(const Gauge& a, const Gauge& b) {
  return a.value == b.value && a.maximum == b.maximum && a.colour == b.colour;
}

QStringList ToQt(const std::vector<std::string>& items) {
  QStringList list;
  for (const std::string& item : items)
    list << dravon::ui::ToQt(item);
  return list;
}

}  // namespace

MainWindow::MainWindow(Station& station, std::string programDir, QWidget* parent)
    : QMainWindow(parent), station_(station), programDir_(std::move(programDir)) {
  setObjectName(QStringLiteral("GenMFrmARM"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  BuildMenus();

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(kClientWidth, kClientHeight - kStatusHeight);
  setCentralWidget(client);

  auto* toolBar = new QWidget(client);
  toolBar->setObjectName(QStringLiteral("PanelBtns"));
  toolBar->setGeometry(0, 0, kClientWidth, kToolBarHeight);
  auto* toolLayout = new QHBoxLayout(toolBar);
  toolLayout->setContentsMargins(4, 1, 4, 1);
  toolLayout->setSpacing(2);
  BuildToolBar();
  for (const char* name :
       {"SpdBtnExit", "SpdBtnOpen", "SpdBtnLoadMore", "SpdBtnLdPrj", "SpdBtnDownLoad", "AutoSpdBtn",
        "SpdBtnBlankChk", "SpdBtnErase", "SpdBtnProg", "SpdBtnVerify", "SpdBtnWrtOPB"}) {
    if (auto* b = findChild<QToolButton*>(name)) toolLayout->addWidget(b);
  }
  toolLayout->addStretch(1);

  viewPages_ = new QTabWidget(client);
  viewPages_->setObjectName(QStringLiteral("ViewPageCtrl"));
  viewPages_->setGeometry(0, kToolBarHeight, kClientWidth,
                          kClientHeight - kStatusHeight - kToolBarHeight);
  Bind("ViewPageCtrl", Kind::Tab, viewPages_);
  connect(viewPages_, &QTabWidget::currentChanged, this,
          [this](int index) { station_.window["ViewPageCtrl"].index = index; });

  auto* chipPage = new QWidget;
  chipPage->setObjectName(QStringLiteral("ChipSett"));
  viewPages_->addTab(chipPage, QString());
  Bind("ChipSett", Kind::Tab, chipPage, viewPages_);
  BuildChipSettingPage(chipPage);

  auto* flashPage = new QWidget;
  flashPage->setObjectName(QStringLiteral("TabSheetFlash"));
  viewPages_->addTab(flashPage, QString());
  Bind("TabSheetFlash", Kind::Tab, flashPage, viewPages_);
  mainModel_ = new HexTableModel(station_, HexGrid::MainFlash, this);
  BuildHexGrid(flashPage, "HexViewer", mainModel_);

  auto* eepPage = new QWidget;
  eepPage->setObjectName(QStringLiteral("TabSheetEEP"));
  viewPages_->addTab(eepPage, QString());
  Bind("TabSheetEEP", Kind::Tab, eepPage, viewPages_);
  eepModel_ = new HexTableModel(station_, HexGrid::DataFlash, this);
  QTableView* eepGrid = BuildHexGrid(eepPage, "EEPDataView", eepModel_);
  eepMenu_ = new QMenu(this);
  eepMenu_->setObjectName(QStringLiteral("PopupMenuOTP"));
  AddAction(eepMenu_, "LoadFileOTP", {}, [this] { LoadEepDataFile1Click(station_); });
  eepGrid->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(eepGrid, &QWidget::customContextMenuRequested, this,
          [this, eepGrid](const QPoint& at) { eepMenu_->exec(eepGrid->mapToGlobal(at)); });

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar1"));
  status->setSizeGripEnabled(false);
  const int widths[3] = {180, 180, 300};
  for (int i = 0; i < 3; ++i) {
    statusPanels_[i] = new QLabel(status);
    statusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    statusPanels_[i]->setFixedWidth(widths[i]);
    status->addWidget(statusPanels_[i]);
  }
  setStatusBar(status);

  // Timer1: time-outs and time-based progress every 10 ms; Timer2: searching for programmers
  // every 50 ms until all have answered.
  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  connect(timer1_, &QTimer::timeout, this, &MainWindow::OnTimer1);
  timer2_ = new QTimer(this);
  timer2_->setObjectName(QStringLiteral("Timer2"));
  connect(timer2_, &QTimer::timeout, this, &MainWindow::OnTimer2);

  qApp->installEventFilter(this);
  Repaint();
  // The client area keeps its size; the menu bar and the status bar come on top of it.
  setFixedSize(kClientWidth, kClientHeight - kStatusHeight + menuBar()->sizeHint().height() +
                                 status->sizeHint().height());
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
}

void MainWindow::Bind(const char* name, Kind kind, QObject* object, QTabWidget* tabs) {
  object->setObjectName(QString::fromLatin1(name));
  bindings_.push_back({name, kind, object, tabs, Control{}, false});
}

void MainWindow::Run(const std::function<void()>& handler) {
  handler();
  Repaint();
}

QLabel* MainWindow::AddLabel(QWidget* parent, const char* name, int x, int y, int w) {
  auto* label = new QLabel(parent);
  label->move(x, y);
  if (w > 0) label->setFixedWidth(w);
  Bind(name, Kind::Label, label);
  return label;
}

QAbstractButton* MainWindow::AddButton(QAbstractButton* button, const char* name,
                                       std::function<void()> handler) {
  Bind(name, Kind::Button, button);
  if (handler) connect(button, &QAbstractButton::clicked, this, [this, handler] { Run(handler); });
  return button;
}

QAbstractButton* MainWindow::AddCheck(QWidget* parent, const char* name, int x, int y, int w,
                                      std::function<void()> handler) {
  auto* box = new QCheckBox(parent);
  box->setGeometry(x, y, w, 20);
  Bind(name, Kind::Check, box);
  std::string key = name;
  connect(box, &QCheckBox::clicked, this, [this, key, handler](bool on) {
    station_.window[key].checked = on;
    Run(handler ? handler : [] {});
  });
  return box;
}

QSpinBox* MainWindow::AddSpin(QWidget* parent, const char* name, int x, int y, int w) {
  auto* spin = new SpinEdit(parent);
  spin->setGeometry(x, y, w, 22);
  Bind(name, Kind::Spin, spin);
  std::string key = name;
  auto follow = [this, key, spin] {
    Control& c = station_.window[key];
    c.number = SpinBoxValue(FromQt(spin->cleanText()), c.minimum, c.maximum);
  };
  // Typing that is not a number yet (empty, "5" below the minimum) reads as the minimum, and
  // arrows and wheel change the value directly.
  connect(spin->Editor(), &QLineEdit::textEdited, this, follow);
  connect(spin, &QSpinBox::valueChanged, this, follow);
  connect(spin, &QSpinBox::editingFinished, this, [this] { Repaint(); });
  return spin;
}

QLineEdit* MainWindow::AddEdit(QWidget* parent, const char* name, int x, int y, int w) {
  auto* edit = new QLineEdit(parent);
  edit->setGeometry(x, y, w, 22);
  Bind(name, Kind::Edit, edit);
  std::string key = name;
  connect(edit, &QLineEdit::textEdited, this,
          [this, key](const QString& text) { station_.window[key].text = FromQt(text); });
  return edit;
}

QGroupBox* MainWindow::AddRadio(QWidget* parent, const char* name, int x, int y, int w, int h) {
  auto* box = new QGroupBox(parent);
  box->setGeometry(x, y, w, h);
  // Two choices stack; three sit in two columns so the longer captions fit.
  auto* layout = new QGridLayout(box);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setSpacing(0);
  auto* group = new QButtonGroup(box);
  group->setObjectName(QString::fromLatin1(name) + "Buttons");
  Bind(name, Kind::Radio, box);
  std::string key = name;
  connect(group, &QButtonGroup::idClicked, this,
          [this, key](int id) { Run([this, key, id] { station_.window[key].index = id; }); });
  return box;
}

QAction* MainWindow::AddAction(QMenu* menu, const char* name, QKeySequence shortcut,
                               std::function<void()> handler) {
  QAction* action = menu->addAction(QString());
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  Bind(name, Kind::Action, action);
  if (handler) connect(action, &QAction::triggered, this, [this, handler] { Run(handler); });
  return action;
}

void MainWindow::BuildToolBar() {
  struct Tool {
    const char* name;
    QStyle::StandardPixmap icon;
    std::function<void()> handler;
  };
  const Tool tools[] = {
      {"SpdBtnExit", QStyle::SP_DialogCloseButton, [this] { SpdBtnExitClick(station_); }},
      {"SpdBtnOpen", QStyle::SP_DialogOpenButton, [this] { FileOpenBtnClick(station_); }},
      {"SpdBtnLoadMore", QStyle::SP_FileDialogNewFolder, [this] { SpdBtnLoadMoreClick(station_); }},
      {"SpdBtnLdPrj", QStyle::SP_DirOpenIcon, [this] { SpdBtnLdPrjClick(station_); }},
      {"SpdBtnDownLoad", QStyle::SP_ArrowDown, [this] { SpdBtnDownLoadClick(station_); }},
      {"AutoSpdBtn", QStyle::SP_MediaPlay, [this] { AutoSpdBtnClick(station_); }},
      {"SpdBtnBlankChk", QStyle::SP_FileIcon, [this] { SpdBtnBlankChkClick(station_); }},
      {"SpdBtnErase", QStyle::SP_TrashIcon, [this] { SpdBtnEraseClick(station_); }},
      {"SpdBtnProg", QStyle::SP_ArrowRight, [this] { SpdBtnProgClick(station_); }},
      {"SpdBtnVerify", QStyle::SP_DialogApplyButton, [this] { SpdBtnVerifyClick(station_); }},
      {"SpdBtnWrtOPB", QStyle::SP_FileDialogDetailedView, [this] { SpdBtnWrtOPBClick(station_); }},
  };
  for (const Tool& t : tools) {
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIcon(style()->standardIcon(t.icon));
    button->setFixedHeight(kToolBarHeight - 4);
    AddButton(button, t.name, t.handler);
  }
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  auto addMenu = [this, bar](const char* name) {
    QMenu* menu = bar->addMenu(QString());
    Bind(name, Kind::Menu, menu);
    return menu;
  };
  QMenu* file = addMenu("File1");
  AddAction(file, "Execute1", QKeySequence(Qt::Key_F3), [this] { FileOpenBtnClick(station_); });
  AddAction(file, "LoadEepDataFile1", {}, [this] { LoadEepDataFile1Click(station_); });
  file->addSeparator();
  AddAction(file, "SaveFile1", QKeySequence(Qt::Key_F2), [this] { FileSaveBtnClick(station_); });
  AddAction(file, "SaveEepDatatoFile1", {}, [this] { SaveEepDatatoFile1Click(station_); });
  file->addSeparator();
  AddAction(file, "SavetoProjectFile1", QKeySequence(Qt::CTRL | Qt::Key_F2),
            [this] { SavetoProjectFile1Click(station_); });
  AddAction(file, "LoadFromProjectFile1", QKeySequence(Qt::CTRL | Qt::Key_F3),
            [this] { SpdBtnLdPrjClick(station_); });
  file->addSeparator();
  AddAction(file, "ShowChipOptionData1", {}, [this] { ShowChipOptionData1Click(station_); });
  AddAction(file, "ConfigLogFile1", {}, [this] { ConfigLogFile1Click(station_); });
  file->addSeparator();
  AddAction(file, "Exit1", QKeySequence(Qt::CTRL | Qt::Key_X),
            [this] { SpdBtnExitClick(station_); });

  QMenu* command = addMenu("Execute2");
  AddAction(command, "Download1", QKeySequence(Qt::Key_F4),
            [this] { SpdBtnDownLoadClick(station_); });
  command->addSeparator();
  AddAction(command, "AutoProgram1", QKeySequence(Qt::Key_F5),
            [this] { AutoSpdBtnClick(station_); });
  command->addSeparator();
  AddAction(command, "BlankCheck1", QKeySequence(Qt::Key_F7),
            [this] { SpdBtnBlankChkClick(station_); });
  AddAction(command, "EraseChip1", QKeySequence(Qt::Key_F8),
            [this] { SpdBtnEraseClick(station_); });
  AddAction(command, "Programming1", QKeySequence(Qt::Key_F9),
            [this] { SpdBtnProgClick(station_); });
  AddAction(command, "VeriufyDownload1", QKeySequence(Qt::Key_F10),
            [this] { SpdBtnVerifyClick(station_); });
  command->addSeparator();
  AddAction(command, "WriteOptionByte1", QKeySequence(Qt::Key_F11),
            [this] { SpdBtnWrtOPBClick(station_); });
  AddAction(command, "WriteEepDataMemory1", {}, [this] { WriteEepDataMemory1Click(station_); });
  command->addSeparator();
  AddAction(command, "DoFirmwareUpgrade1", {}, [this] {
    DoFirmwareUpgrade(station_);
    if (station_.app.upgradePending) {
      station_.app.timer2Enabled = 1;
      timer2_->start(50);
    }
  });

  QMenu* read = addMenu("ReadCommand");
  AddAction(read, "ReadChipMemory1", QKeySequence(Qt::Key_F12),
            [this] { ReadChipMemory1Click(station_); });
  AddAction(read, "ReadEEPMemory1", {}, [this] { ReadEEPMemory1Click(station_); });
  AddAction(read, "ReadOptionByte1", QKeySequence(Qt::CTRL | Qt::Key_O),
            [this] { ReadOptionByte1Click(station_); });
  AddAction(read, "ReadChipCheckSum1", {}, [this] { ReadChipCheckSum1Click(station_); });
  AddAction(read, "ReadMG32xxChipID1", QKeySequence(Qt::CTRL | Qt::Key_I),
            [this] { ReadMG32xxChipID1Click(station_); });
  AddAction(read, "ReadSpcAddress", {}, [this] { ReadSpcAddressClick(station_); });

  QAction* offline = bar->addAction(QString());
  Bind("StartOfflineProgrm1", Kind::Action, offline);
  connect(offline, &QAction::triggered, this,
          [this] { Run([this] { StartOfflineProgrm1Click(station_); }); });

  QMenu* help = addMenu("Help1");
  AddAction(help, "About1", QKeySequence(Qt::Key_F1), [this] { About1Click(station_); });

  infoMenu_ = new QMenu(this);
  infoMenu_->setObjectName(QStringLiteral("PopupMenu2"));
  AddAction(infoMenu_, "ClearInformation1", {}, [this] { ClearInformation1Click(station_); });
  AddAction(infoMenu_, "CopytoCli1", {},
            [this] { CopytoCli1Click(station_, FromQt(infoMemo_->textCursor().selectedText())); });
}

void MainWindow::BuildChipSettingPage(QWidget* page) {
  auto* chip = new QGroupBox(page);
  chip->setGeometry(4, 2, 332, 196);
  Bind("GroupBoxChip", Kind::Group, chip);
  BuildChipGroup(chip);

  auto* cfg = new QGroupBox(page);
  cfg->setGeometry(4, 200, 332, 220);
  Bind("GroupBoxCfg", Kind::Group, cfg);
  BuildConfigGroup(cfg);

  auto* com = new QGroupBox(page);
  com->setGeometry(4, 422, 332, 64);
  Bind("GroupBoxCom", Kind::Group, com);
  BuildCommGroup(com);

  QLabel* panel = AddLabel(page, "InfoPanel", kRightColumnX, 2, kRightColumnWidth);
  panel->setFixedHeight(22);
  panel->setStyleSheet(QStringLiteral("color: #d00000; font-weight: bold;"));

  infoMemo_ = new QPlainTextEdit(page);
  infoMemo_->setObjectName(QStringLiteral("InfoMemo"));
  infoMemo_->setReadOnly(true);
  infoMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  infoMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  infoMemo_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(infoMemo_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { infoMenu_->exec(infoMemo_->mapToGlobal(at)); });

  for (int k = 0; k < kChannelCount; ++k) {
    auto* bar = new GaugeBar(page);
    bar->setObjectName(QStringLiteral("Gauge%1").arg(k + 1));
    bar->SetGauge(0, 100, GaugeFill(GaugeColour::Blue));
    gauges_[k] = bar;
  }
}

void MainWindow::BuildChipGroup(QGroupBox* box) {
  AddLabel(box, "LabelMcu", 8, 24);
  QLineEdit* mcu = AddEdit(box, "MCUNameEdit", 86, 20, 200);
  mcu->setReadOnly(true);
  auto* dev = new QPushButton(QStringLiteral("..."), box);
  dev->setGeometry(290, 20, 32, 22);
  AddButton(dev, "DevButton", [this] { DevButtonClick(station_); });
  AddLabel(box, "LabelCpInf", 8, 50);
  AddLabel(box, "DpCpInfX", 86, 50, 236);
  AddRadio(box, "RadioGpVolt", 8, 72, 150, 62);
  AddRadio(box, "RadioGrpSpdF", 168, 72, 154, 62);
  AddCheck(box, "ChkBoxErsEEP", 8, 140, 150);
  AddCheck(box, "ChkBoxPrgEEP", 168, 140, 154);
  AddCheck(box, "CheckBoxOpt", 8, 166, 150);
  auto* option = new QPushButton(box);
  option->setGeometry(168, 164, 154, 24);
  AddButton(option, "BtnOptionCfg", [this] { BtnOptionCfgClick(station_); });
}

void MainWindow::BuildConfigGroup(QGroupBox* box) {
  auto* tabs = new QTabWidget(box);
  tabs->setGeometry(6, 18, 320, 196);
  Bind("PageControlSet", Kind::Tab, tabs);
  connect(tabs, &QTabWidget::currentChanged, this,
          [this](int index) { station_.window["PageControlSet"].index = index; });

  auto* cp = new QWidget;
  tabs->addTab(cp, QString());
  Bind("TabSheetCP", Kind::Tab, cp, tabs);
  AddLabel(cp, "LabelMaxNum", 6, 10);
  AddSpin(cp, "SpinEditNum", 150, 6, 150);
  AddCheck(cp, "CheckBoxCtrl", 6, 34, 160, [this] { CheckBoxCtrlClick(station_); });
  AddCheck(cp, "ChkBoxBlkEr", 170, 34, 136);
  AddCheck(cp, "ChkBoxRunSHT", 6, 58, 180);
  AddSpin(cp, "SpinEditRTM", 200, 56, 100);
  AddCheck(cp, "ChkBoxAuto", 6, 82, 200, [this] { ChkBoxAutoClick(station_); });
  AddLabel(cp, "LabelTimIn", 6, 110);
  AddSpin(cp, "SpinEditIn", 200, 106, 100);
  AddLabel(cp, "LabelTimOut", 6, 138);
  AddSpin(cp, "SpinEditOut", 200, 134, 100);

  auto* sn = new QWidget;
  tabs->addTab(sn, QString());
  Bind("TabSheetSN", Kind::Tab, sn, tabs);
  AddLabel(sn, "LabelSNC", 6, 10);
  AddEdit(sn, "SNEdit1", 96, 6, 100);
  AddLabel(sn, "LabelSnGain", 204, 10);
  AddEdit(sn, "GainEdit", 262, 6, 44);
  AddLabel(sn, "LabelSNAddr", 6, 38);
  AddEdit(sn, "AddrEdit", 96, 34, 100);
  AddCheck(sn, "SNOrderChk", 6, 62, 150);
  AddCheck(sn, "CheckBoxSN", 160, 62, 146, [this] { CheckBoxSNClick(station_); });
  AddCheck(sn, "ChkBoxPCSN", 6, 86, 150);
  AddCheck(sn, "ChkBoxSNDP", 160, 86, 146, [this] { ChkBoxSNDPClick(station_); });
  auto* fill = new QPushButton(sn);
  fill->setGeometry(6, 112, 150, 24);
  AddButton(fill, "ButtonCfgSN", [this] { ButtonCfgSNClick(station_); });
  AddLabel(sn, "LabelDEVA", 6, 146);
  AddEdit(sn, "EditDevAdr", 110, 142, 44);

  auto* sg = new QWidget;
  tabs->addTab(sg, QString());
  Bind("TabSheetSG", Kind::Tab, sg, tabs);
  AddCheck(sg, "ChkBoxVDD", 6, 6, 300);
  AddCheck(sg, "CheckBoxRun", 6, 30, 300);
  AddLabel(sg, "LabelPowUp", 6, 60);
  AddSpin(sg, "SpinEditVddTim", 150, 56, 90);
  AddLabel(sg, "LabelPowDW", 6, 88);
  AddSpin(sg, "SpinEditPWDTim", 150, 84, 90);
  AddRadio(sg, "RadioGrpRST", 6, 108, 300, 58);
}

void MainWindow::BuildCommGroup(QGroupBox* box) {
  AddLabel(box, "LabelSelDev", 8, 26);
  auto* combo = new QComboBox(box);
  combo->setGeometry(110, 22, 110, 24);
  combo->setEditable(false);
  Bind("ComboBoxCOM", Kind::Combo, combo);
  connect(combo, &QComboBox::activated, this,
          [this](int index) { station_.window["ComboBoxCOM"].index = index; });
  auto* find = new QPushButton(box);
  find->setGeometry(226, 20, 100, 28);
  AddButton(find, "BitBtnFindDev", [this] {
    BitBtnFindDevClick(station_);
    // A new search keeps looking, as at start-up, until every listed port has answered.
    station_.app.timer2Enabled = 1;
    timer2_->start(50);
  });
}

QTableView* MainWindow::BuildHexGrid(QWidget* page, const char* name, HexTableModel* model) {
  auto* grid = new QTableView(page);
  grid->setObjectName(QString::fromLatin1(name));
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(grid);
  grid->setModel(model);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(20);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mono.setPixelSize(12);
  grid->setFont(mono);
  grid->horizontalHeader()->setFont(mono);
  // Never narrower than the classic layout, wide enough for the font in use.
  QFontMetrics metrics(mono);
  auto width = [&metrics](const char* sample, int least) {
    return std::max(least, metrics.horizontalAdvance(QLatin1String(sample)) + 10);
  };
  grid->horizontalHeader()->setDefaultSectionSize(width("FF", 25));
  grid->horizontalHeader()->resizeSection(0, width("0x00000000", 73));
  grid->horizontalHeader()->resizeSection(kHexColumns - 1, width("0123456789ABCDEF", 130));
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  return grid;
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (started_) return;
  started_ = true;
  Run([this] { FormShow(station_, programDir_); });
  timer1_->start(10);
  if (station_.app.timer2Enabled) timer2_->start(50);
}

void MainWindow::ScheduleRepaint() {
  repaintDue_ = true;
}

void MainWindow::OnTimer1() {
  // Only what the tick changed is worth a repaint: a busy channel waiting for its reply does
  // not move its bar.
  const size_t lines = station_.info.Lines().size();
  std::array<Gauge, kChannelCount> before;
  for (int k = 0; k < kChannelCount; ++k)
    before[k] = station_.channels[k].gauge;
  Timer1Tick(station_);
  Timer1Automation(station_);
  bool moved = lines != station_.info.Lines().size();
  for (int k = 0; k < kChannelCount; ++k) {
    const Gauge& g = station_.channels[k].gauge;
    moved = moved || g.value != before[k].value || g.colour != before[k].colour;
  }
  // Repaints ride on every fourth tick: 25 a second is smooth, and costs no wake-ups of its own.
  repaintDue_ = repaintDue_ || moved;
  if (repaintDue_ && ++ticksSincePaint_ >= kTicksPerRepaint) Repaint();
}

void MainWindow::OnTimer2() {
  Timer2Timer(station_);
  if (!station_.app.timer2Enabled) timer2_->stop();
  Repaint();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    if (!FormCloseQuery(station_)) {
      event->ignore();
      return;
    }
    closing_ = true;
    FormClose(station_);
  }
  event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Enter typed anywhere in the window, also in an edit field, runs Auto; the key goes on. An
  // unaccepted key travels up to the parents, so each press is taken at its first receiver.
  if (event->type() == QEvent::KeyRelease) lastKeyPress_ = nullptr;
  if (event->type() == QEvent::KeyPress && event != lastKeyPress_) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this) {
      lastKeyPress_ = event;
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        Run([this] { FormKeyPress(station_, 13); });
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Repaint() {
  repaintDue_ = false;
  ticksSincePaint_ = 0;
  setWindowTitle(dravon::ui::ToQt(station_.window.caption));
  for (Binding& b : bindings_)
    PaintBinding(b);
  RepaintInfoList();
  RepaintGauges();
  RepaintStatusBar();
  mainModel_->Refresh();
  eepModel_->Refresh();
}

void MainWindow::PaintBinding(Binding& b) {
  const Control* found = station_.window.Find(b.name);
  if (!found) return;
  const Control& c = *found;
  // Widgets the engine did not change are left alone; spin boxes and edits are compared with
  // what they show, since the operator types into them.
  const bool operatorSets =
      b.kind == Kind::Spin || b.kind == Kind::Edit || (b.kind == Kind::Tab && b.tabs == nullptr);
  if (b.painted && c == b.shown && !operatorSets) return;
  b.painted = true;
  b.shown = c;
  const QString caption = dravon::ui::ToQt(c.caption);
  const QString hint = dravon::ui::ToQt(c.hint);
  QSignalBlocker block(b.object);
  switch (b.kind) {
    case Kind::Label: {
      auto* w = static_cast<QLabel*>(b.object);
      w->setText(caption);
      w->adjustSize();
      w->setVisible(c.visible);
      w->setEnabled(c.enabled);
      break;
    }
    case Kind::Button:
    case Kind::Check: {
      auto* w = static_cast<QAbstractButton*>(b.object);
      if (!caption.isEmpty()) w->setText(caption);
      w->setToolTip(hint);
      if (b.kind == Kind::Check) w->setChecked(c.checked);
      w->setVisible(c.visible);
      w->setEnabled(c.enabled);
      break;
    }
    case Kind::Radio: {
      auto* box = static_cast<QGroupBox*>(b.object);
      box->setTitle(caption);
      box->setToolTip(hint);
      auto* group = box->findChild<QButtonGroup*>();
      QStringList items = ToQt(c.items);
      QList<QAbstractButton*> buttons = group->buttons();
      bool same = buttons.size() == items.size();
      for (qsizetype i = 0; same && i < items.size(); ++i)
        same = buttons[i]->text() == items[i];
      if (!same) {
        for (QAbstractButton* old : buttons)
          delete old;
        for (qsizetype i = 0; i < items.size(); ++i) {
          auto* radio = new QRadioButton(items[i], box);
          radio->setObjectName(
              QStringLiteral("%1Item%2").arg(QString::fromStdString(b.name)).arg(i));
          group->addButton(radio, int(i));
          auto* grid = static_cast<QGridLayout*>(box->layout());
          if (items.size() > 2) {
            grid->addWidget(radio, int(i) / 2, int(i) % 2);
          } else {
            grid->addWidget(radio, int(i), 0);
          }
        }
      }
      if (QAbstractButton* chosen = group->button(c.index)) {
        chosen->setChecked(true);
      } else if (QAbstractButton* current = group->checkedButton()) {
        group->setExclusive(false);
        current->setChecked(false);
        group->setExclusive(true);
      }
      box->setVisible(c.visible);
      box->setEnabled(c.enabled);
      break;
    }
    case Kind::Spin: {
      auto* w = static_cast<QSpinBox*>(b.object);
      // Setting an unchanged range still repaints the box: only changes are passed on.
      if (w->minimum() != int(c.minimum) || w->maximum() != int(c.maximum))
        w->setRange(int(c.minimum), int(c.maximum));
      if (w->singleStep() != int(c.step)) w->setSingleStep(int(c.step));
      if (w->value() != SpinEditValue(c) || w->cleanText().isEmpty())
        w->setValue(int(SpinEditValue(c)));
      w->setVisible(c.visible);
      w->setEnabled(c.enabled);
      break;
    }
    case Kind::Edit: {
      auto* w = static_cast<QLineEdit*>(b.object);
      // The limit is for typing; a read-only field shows whole what the program puts there.
      if (c.maxLength > 0 && !w->isReadOnly()) w->setMaxLength(c.maxLength);
      QString text = dravon::ui::ToQt(c.text);
      if (w->text() != text) w->setText(text);
      w->setVisible(c.visible);
      w->setEnabled(c.enabled);
      break;
    }
    case Kind::Combo: {
      auto* w = static_cast<QComboBox*>(b.object);
      QStringList items = ToQt(c.items);
      QStringList shown;
      for (int i = 0; i < w->count(); ++i)
        shown << w->itemText(i);
      if (shown != items) {
        w->clear();
        w->addItems(items);
      }
      w->setPlaceholderText(dravon::ui::ToQt(c.text));
      w->setCurrentIndex(c.index);
      w->setVisible(c.visible);
      w->setEnabled(c.enabled);
      break;
    }
    case Kind::Group:
      static_cast<QGroupBox*>(b.object)->setTitle(caption);
      break;
    case Kind::Action: {
      auto* a = static_cast<QAction*>(b.object);
      a->setText(caption);
      a->setVisible(c.visible);
      a->setEnabled(c.enabled);
      break;
    }
    case Kind::Menu: {
      auto* m = static_cast<QMenu*>(b.object);
      m->setTitle(caption);
      m->menuAction()->setVisible(c.visible);
      break;
    }
    case Kind::Tab: {
      if (b.tabs == nullptr) {
        auto* tabs = static_cast<QTabWidget*>(b.object);
        if (c.index >= 0 && c.index < tabs->count() && tabs->currentIndex() != c.index) {
          tabs->setCurrentIndex(c.index);
        }
      } else {
        int at = b.tabs->indexOf(static_cast<QWidget*>(b.object));
        QSignalBlocker blockTabs(b.tabs);
        b.tabs->setTabText(at, caption);
        b.tabs->setTabVisible(at, c.visible);
      }
      break;
    }
  }
}

void MainWindow::RepaintInfoList() {
  const InfoList& info = station_.info;
  if (info.ClearCount() != shownClears_) {
    infoMemo_->clear();
    shownClears_ = info.ClearCount();
    shownLines_ = 0;
  }
  const auto& lines = info.Lines();
  if (shownLines_ == lines.size()) return;
  for (; shownLines_ < lines.size(); ++shownLines_) {
    infoMemo_->appendPlainText(dravon::ui::ToQt(lines[shownLines_]));
  }
  // The newest line is the one the operator needs to see.
  infoMemo_->verticalScrollBar()->setValue(infoMemo_->verticalScrollBar()->maximum());
}

void MainWindow::RepaintGauges() {
  const Control& memo = station_.window["InfoMemo"];
  infoMemo_->setGeometry(kRightColumnX, kMemoTop, kRightColumnWidth, std::max(memo.height, 40));
  for (int k = 0; k < kChannelCount; ++k) {
    GaugeBar* bar = gauges_[k];
    const Control& place = station_.window["Gauge" + std::to_string(k + 1)];
    bar->setVisible(place.visible);
    if (place.top >= 0) bar->setGeometry(kRightColumnX, place.top, kRightColumnWidth, place.height);
    const Gauge& g = station_.channels[k].gauge;
    if (SameGauge(g, shownGauges_[k])) continue;
    bar->SetGauge(g.value, g.maximum, GaugeFill(g.colour));
    shownGauges_[k] = g;
  }
}

void MainWindow::RepaintStatusBar() {
  for (int i = 0; i < 3; ++i) {
    QString text = dravon::ui::ToQt(station_.window.statusPanels[i]);
    if (statusPanels_[i]->text() != text) statusPanels_[i]->setText(text);
  }
}

}  // namespace dravon::ui
