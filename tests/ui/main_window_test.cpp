// The main window under the offscreen platform, driven through its real widgets.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "core/info_list.h"
#include "core/main_window.h"
#include "operations/results.h"
#include "support/test_platform.h"
#include "ui/gauge_bar.h"
#include "ui/main_window.h"

namespace dravon::ui {
namespace {

class MainWindowTest : public ::testing::TestWithParam<const Texts*> {
 protected:
  MainWindowTest()
      : station(MakeStation(Platform{host, clock, random, ports, {}}, *GetParam())),
        window(*station, DRAVON_PROGRAM_DIR) {
    window.show();
    QApplication::processEvents();
  }

  template <class T>
  T* Find(const char* name) {
    T* w = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QPlainTextEdit* Memo() { return Find<QPlainTextEdit>("InfoMemo"); }
  void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
  void Type(const char* name, const char* text) {
    QLineEdit* edit = Find<QLineEdit>(name);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }
  void SetSpin(const char* name, int value) {
    QSpinBox* spin = Find<QSpinBox>(name);
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(value));
  }

  test::ScriptedHost host;
  test::FixedClock clock;
  test::CountingRandom random;
  test::FakePortEnumerator ports;
  std::unique_ptr<Station> station;
  MainWindow window;
};

TEST_P(MainWindowTest, StartsWithTheGreetingAndOneBarPerListedPort) {
  EXPECT_EQ(Memo()->toPlainText(), "> 14:03:22 Hello DravonQuev-MAR User! ------ ");
  EXPECT_TRUE(Memo()->isReadOnly());
  EXPECT_EQ(Memo()->height(), 436);
  EXPECT_TRUE(Find<dravon::ui::GaugeBar>("Gauge1")->isVisible());
  EXPECT_EQ(Find<dravon::ui::GaugeBar>("Gauge1")->y(), 466);
  for (int k = 2; k <= kChannelCount; ++k) {
    EXPECT_FALSE(
        window.findChild<dravon::ui::GaugeBar*>(QStringLiteral("Gauge%1").arg(k))->isVisible());
  }
  EXPECT_EQ(window.windowTitle(), "DravonQ40LAP Programmer Wizard");
  EXPECT_EQ(window.centralWidget()->size(), QSize(917, 587 - 22));

  station->app.channelCount = 10;
  ArrangeGauges(*station);
  window.Repaint();
  EXPECT_EQ(Memo()->height(), 262);
  EXPECT_TRUE(Find<dravon::ui::GaugeBar>("Gauge10")->isVisible());
  EXPECT_EQ(Find<dravon::ui::GaugeBar>("Gauge1")->y(), 292);
}

TEST_P(MainWindowTest, EveryControlWithItsDefault) {
  struct Spin {
    const char* name;
    int value, minimum, maximum, step;
    bool enabled;
  };
  const Spin spins[] = {
      {"SpinEditNum", 0, 0, 999999999, 100, false}, {"SpinEditRTM", 500, 100, 2000, 10, true},
      {"SpinEditIn", 510, 300, 1500, 30, true},     {"SpinEditOut", 510, 300, 2000, 30, true},
      {"SpinEditVddTim", 100, 10, 2000, 10, true},  {"SpinEditPWDTim", 100, 10, 2000, 10, true},
  };
  for (const Spin& s : spins) {
    QSpinBox* w = Find<QSpinBox>(s.name);
    EXPECT_EQ(w->value(), s.value) << s.name;
    EXPECT_EQ(w->minimum(), s.minimum) << s.name;
    EXPECT_EQ(w->maximum(), s.maximum) << s.name;
    EXPECT_EQ(w->singleStep(), s.step) << s.name;
    EXPECT_EQ(w->isEnabled(), s.enabled) << s.name;
  }
  struct Check {
    const char* name;
    bool checked, shown, enabled;
  };
  const Check checks[] = {
      {"ChkBoxErsEEP", false, false, true}, {"ChkBoxPrgEEP", false, false, true},
      {"CheckBoxOpt", false, false, true},  {"CheckBoxCtrl", false, true, true},
      {"ChkBoxBlkEr", false, true, true},   {"ChkBoxRunSHT", false, true, true},
      {"ChkBoxAuto", false, true, true},    {"SNOrderChk", true, true, false},
      {"CheckBoxSN", false, true, true},    {"ChkBoxPCSN", false, true, false},
      {"ChkBoxSNDP", false, true, true},    {"ChkBoxVDD", true, true, true},
      {"CheckBoxRun", false, true, true},
  };
  for (const Check& c : checks) {
    QCheckBox* w = Find<QCheckBox>(c.name);
    EXPECT_EQ(w->isChecked(), c.checked) << c.name;
    EXPECT_EQ(!w->isHidden(), c.shown) << c.name;
    EXPECT_EQ(w->isEnabled(), c.enabled) << c.name;
  }
  struct Edit {
    const char* name;
    const char* text;
    int maxLength;
    bool shown, enabled;
  };
  const Edit edits[] = {
      {"SNEdit1", "0x00000000", 10, true, false},
      {"GainEdit", "0x01", 4, true, false},
      {"AddrEdit", "0x0000FFF0", 10, true, false},
      {"EditDevAdr", "0x00", 4, false, true},
  };
  for (const Edit& e : edits) {
    QLineEdit* w = Find<QLineEdit>(e.name);
    EXPECT_EQ(w->text(), e.text) << e.name;
    EXPECT_EQ(w->maxLength(), e.maxLength) << e.name;
    EXPECT_EQ(!w->isHidden(), e.shown) << e.name;
    EXPECT_EQ(w->isEnabled(), e.enabled) << e.name;
  }
  struct Radio {
    const char* name;
    int count, index;
  };
  for (Radio r :
       {Radio{"RadioGpVolt", 2, 1}, Radio{"RadioGrpSpdF", 2, 0}, Radio{"RadioGrpRST", 3, 0}}) {
    QGroupBox* box = Find<QGroupBox>(r.name);
    auto radios = box->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), r.count) << r.name;
    EXPECT_TRUE(radios[r.index]->isChecked()) << r.name;
  }
  for (const char* name :
       {"SpdBtnExit", "SpdBtnOpen", "SpdBtnLoadMore", "SpdBtnLdPrj", "SpdBtnDownLoad", "AutoSpdBtn",
        "SpdBtnBlankChk", "SpdBtnErase", "SpdBtnProg", "SpdBtnVerify"}) {
    EXPECT_FALSE(Find<QToolButton>(name)->isHidden()) << name;
  }
  EXPECT_TRUE(Find<QToolButton>("SpdBtnWrtOPB")->isHidden());
  EXPECT_EQ(Find<QToolButton>("SpdBtnVerify")->toolTip(), "Do Chip Verification");
  struct Item {
    const char* name;
    const char* shortcut;
    bool visible;
  };
  const Item items[] = {
      {"Execute1", "F3", true},
      {"LoadEepDataFile1", "", false},
      {"SaveFile1", "F2", true},
      {"SaveEepDatatoFile1", "", false},
      {"SavetoProjectFile1", "Ctrl+F2", true},
      {"LoadFromProjectFile1", "Ctrl+F3", true},
      {"ShowChipOptionData1", "", true},
      {"ConfigLogFile1", "", true},
      {"Exit1", "Ctrl+X", true},
      {"Download1", "F4", true},
      {"AutoProgram1", "F5", true},
      {"BlankCheck1", "F7", true},
      {"EraseChip1", "F8", true},
      {"Programming1", "F9", true},
      {"VeriufyDownload1", "F10", true},
      {"WriteOptionByte1", "F11", false},
      {"WriteEepDataMemory1", "", false},
      {"DoFirmwareUpgrade1", "", true},
      {"ReadChipMemory1", "F12", true},
      {"ReadEEPMemory1", "", false},
      {"ReadOptionByte1", "Ctrl+O", false},
      {"ReadChipCheckSum1", "", true},
      {"ReadMG32xxChipID1", "Ctrl+I", true},
      {"ReadSpcAddress", "", true},
      {"StartOfflineProgrm1", "", true},
      {"About1", "F1", true},
      {"ClearInformation1", "", true},
      {"CopytoCli1", "", true},
      {"LoadFileOTP", "", true},
  };
  for (const Item& i : items) {
    QAction* a = Find<QAction>(i.name);
    EXPECT_EQ(a->shortcut().toString(), i.shortcut) << i.name;
    EXPECT_EQ(a->isVisible(), i.visible) << i.name;
  }
  QTabWidget* pages = Find<QTabWidget>("ViewPageCtrl");
  EXPECT_EQ(pages->currentIndex(), 0);
  EXPECT_FALSE(pages->isTabVisible(2));  // "Data Flash" until a chip has one
  EXPECT_EQ(Find<QTabWidget>("PageControlSet")->currentIndex(), 0);
  EXPECT_EQ(Find<QLabel>("InfoPanel")->text(), "Device = ??????");
  EXPECT_EQ(Find<QComboBox>("ComboBoxCOM")->count(), 0);
  EXPECT_EQ(Find<QLabel>("StatusPanel0")->text(),
            QString::fromUtf8(GetParam()->fileChecksumCaption));
}

TEST_P(MainWindowTest, GatherThroughTheWidgets) {
  ASSERT_TRUE(GatherJobOptions(*station));
  EXPECT_EQ(station->job.flags35, 0x17);
  EXPECT_EQ(station->job.runTime, 50);

  SetSpin("SpinEditOut", 2000);
  SetSpin("SpinEditIn", 300);
  Click("ChkBoxVDD");
  Click("CheckBoxCtrl");
  EXPECT_TRUE(Find<QSpinBox>("SpinEditNum")->isEnabled());
  Click("CheckBoxSN");
  EXPECT_TRUE(Find<QLineEdit>("SNEdit1")->isEnabled());
  EXPECT_TRUE(Find<QCheckBox>("ChkBoxPCSN")->isEnabled());
  Type("SNEdit1", "4294967295");
  station->window["ChkBoxPrgEEP"].visible = true;
  station->window["CheckBoxOpt"].visible = true;
  window.Repaint();
  Click("ChkBoxPrgEEP");
  Click("CheckBoxOpt");
  ASSERT_TRUE(GatherJobOptions(*station));
  EXPECT_EQ(station->job.chipOutTime, 66);
  EXPECT_EQ(station->job.chipInTime, 10);
  EXPECT_EQ(station->job.flags34 & 0x80, 0x80);
  EXPECT_EQ(station->job.flags35, 0x7F);
  EXPECT_EQ(station->job.snFlags, 0x45);
  EXPECT_EQ(station->job.snInitial, 0xFFFFFFFFu);

  Type("GainEdit", "0x1G");
  uint16_t gain = station->job.snGain;
  EXPECT_FALSE(GatherJobOptions(*station));
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().text, "'0x1G' is not a valid integer value");
  EXPECT_EQ(station->job.snGain, gain);
}

TEST_P(MainWindowTest, SpinBoxesStayInRange) {
  SetSpin("SpinEditRTM", 5);
  EXPECT_EQ(station->window["SpinEditRTM"].number, 100);
  SetSpin("SpinEditRTM", 700);
  EXPECT_EQ(station->window["SpinEditRTM"].number, 700);
  QSpinBox* spin = Find<QSpinBox>("SpinEditRTM");
  spin->selectAll();
  QTest::keyClick(spin, Qt::Key_Backspace);
  EXPECT_EQ(station->window["SpinEditRTM"].number, 100);
  SetSpin("SpinEditRTM", 9999);  // the box refuses the digit that would leave the range
  EXPECT_LE(station->window["SpinEditRTM"].number, 2000);
}

TEST_P(MainWindowTest, EnterInAnEditFieldRunsAuto) {
  Click("CheckBoxSN");
  Find<QTabWidget>("PageControlSet")->setCurrentIndex(1);
  QLineEdit* edit = Find<QLineEdit>("SNEdit1");
  edit->setFocus();
  QApplication::processEvents();
  Find<QTabWidget>("ViewPageCtrl")->setCurrentIndex(1);
  QTest::keyClick(edit, Qt::Key_Return);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, GetParam()->selectChipFirst);
  EXPECT_EQ(Find<QTabWidget>("ViewPageCtrl")->currentIndex(), 0);
}

TEST_P(MainWindowTest, RepaintFollowsTheEngine) {
  ArmChannel(*station, 0, 500, 8192, ProgressMode::Block);
  ReportResult(*station, 0x31, 0);
  window.Repaint();
  auto* bar = Find<dravon::ui::GaugeBar>("Gauge1");
  EXPECT_EQ(bar->maximum(), 8);
  EXPECT_EQ(bar->value(), 8);
  EXPECT_TRUE(bar->fill() == QColor(0xe0, 0x20, 0x20));
  EXPECT_TRUE(Memo()->toPlainText().endsWith(QString::fromUtf8(
      GetParam() == &kEnglishTexts ? "C1 : Chip Data Verify error!" : "C1 : 芯片数据校验错误!")));

  Find<QAction>("ClearInformation1")->trigger();
  EXPECT_TRUE(Memo()->toPlainText().isEmpty());
  AddInfoLine(*station, "after");
  window.Repaint();
  EXPECT_EQ(Memo()->toPlainText(), "> 14:03:22 after");
}

TEST_P(MainWindowTest, CopyWithoutSelectionLeavesTheClipboard) {
  Find<QAction>("CopytoCli1")->trigger();
  EXPECT_EQ(host.clipboard, "untouched");
  Memo()->selectAll();
  Find<QAction>("CopytoCli1")->trigger();
  EXPECT_EQ(host.clipboard, "> 14:03:22 Hello DravonQuev-MAR User! ------ ");
}

TEST_P(MainWindowTest, ClosingWhileBusyAsksAndNoKeepsTheWindow) {
  station->channels[0].busy = 1;
  host.answers = {false};
  window.close();
  EXPECT_TRUE(window.isVisible());
  host.answers = {true};
  window.close();
  EXPECT_FALSE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Editions, MainWindowTest,
                         ::testing::Values(&kEnglishTexts, &kChineseTexts),
                         [](const auto& info) { return std::string(info.param->editionName); });

}  // namespace
}  // namespace dravon::ui
