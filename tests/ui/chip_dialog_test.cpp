// The chip dialog and the option dialogs through the real Qt host, offscreen.
#include <gtest/gtest.h>

#include "ui_support.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "chips/option_dialogs.h"
#include "core/main_window.h"
#include "support/test_platform.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

namespace dravon::ui {
namespace {

using dravon::test::WhenDialogShows;

class RealDialogs : public ::testing::Test {
 protected:
  RealDialogs()
      : station(MakeStation(Platform{host, clock, random, ports, {}}, kEnglishTexts)),
        window(*station, DRAVON_PROGRAM_DIR) {
    RegisterDialogs(host);
    host.SetParent(&window);
    window.show();
    QApplication::processEvents();
  }
  template <class T>
  T* Find(const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
  }

  QtHost host;
  test::FixedClock clock;
  test::CountingRandom random;
  test::FakePortEnumerator ports;
  std::unique_ptr<Station> station;
  MainWindow window;
};

TEST_F(RealDialogs, ChoosingAnMl62qChipAdaptsTheWindow) {
  WhenDialogShows([](QWidget* d) {
    auto* list = d->findChild<QListWidget*>("ListBoxCP");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 28);
    EXPECT_EQ(list->currentItem()->text(), "ML630Q464");
    EXPECT_FALSE(d->findChild<QWidget*>("RadioGrpSelMF")->isVisible());
    list->setCurrentRow(list->row(list->findItems("ML62Q13x5", Qt::MatchExactly).first()));
    d->findChild<QPushButton*>("BitBtnOK")->click();
  });
  Find<QAbstractButton>("DevButton")->click();
  EXPECT_EQ(Find<QLineEdit>("MCUNameEdit")->text(), "ML62Q13x5");
  EXPECT_FALSE(Find<QAction>("ReadSpcAddress")->isVisible());
  EXPECT_FALSE(Find<QAction>("ReadOptionByte1")->isVisible());
  EXPECT_TRUE(Find<QCheckBox>("CheckBoxOpt")->isHidden());
  EXPECT_TRUE(Find<QPushButton>("BtnOptionCfg")->isHidden());
  EXPECT_TRUE(Find<QToolButton>("SpdBtnWrtOPB")->isHidden());
  EXPECT_FALSE(Find<QCheckBox>("ChkBoxPrgEEP")->isHidden());
  EXPECT_FALSE(Find<QCheckBox>("ChkBoxErsEEP")->isHidden());
  EXPECT_TRUE(Find<QAction>("ReadEEPMemory1")->isVisible());
  EXPECT_TRUE(Find<QTabWidget>("ViewPageCtrl")->isTabVisible(2));
  EXPECT_EQ(Find<QLabel>("DpCpInfX")->text(), "Main Flash=32768Byte, EEP=2048Bytes");
}

TEST_F(RealDialogs, LeavingWithNoChangesNothing) {
  WhenDialogShows([](QWidget* d) { d->findChild<QPushButton*>("BitBtnNO")->click(); });
  Find<QAbstractButton>("DevButton")->click();
  EXPECT_EQ(station->app.chipSelected, 0);
}

TEST_F(RealDialogs, Ac78WizardPanelsAndOk) {
  station->chip.vendor = 0;
  station->optionImage[0] = 0xAC;
  station->optionImage[1] = 0xFF;
  for (int i = 2; i < 128; ++i)
    station->optionImage[i] = 0xFF;
  station->optionImage[2] = 0x53;
  WhenDialogShows([](QWidget* d) {
    EXPECT_EQ(d->windowTitle(), "Config N32xx Option Byte Wizard");
    auto* rop = d->findChild<QComboBox*>("ComBoxROP");
    auto* panel = d->findChild<QLabel*>("PanelROP");
    EXPECT_EQ(panel->text(), "0xFFAC");
    rop->setCurrentIndex(1);
    EXPECT_EQ(panel->text(), "0xFF00");
    d->findChild<QComboBox*>("ComBoxWDT")->setCurrentIndex(1);
    EXPECT_EQ(d->findChild<QLabel*>("PanelWDT")->text(), "0xFF33");
    d->findChild<QLineEdit*>("EditERP0")->setText("0x00F0");
    d->findChild<QPushButton*>("BitBtnOK")->click();
  });
  BtnOptionCfgClick(*station);
  window.Repaint();
  EXPECT_EQ(station->optionImage[0], 0x00);
  EXPECT_EQ(station->optionImage[4], 0x33);
  EXPECT_EQ(station->optionImage[8], 0xF0);
  EXPECT_TRUE(Find<QCheckBox>("CheckBoxOpt")->isChecked());
}

TEST_F(RealDialogs, AucuDialogKeepsJtagAndInfoRegionDisabled) {
  station->chip.vendor = 3;
  std::fill(station->optionImage.begin(), station->optionImage.end(), 0xFF);
  WhenDialogShows([](QWidget* d) {
    EXPECT_FALSE(d->findChild<QCheckBox*>("ChkBoxDnJTAG")->isEnabled());
    EXPECT_FALSE(d->findChild<QCheckBox*>("ChkBoxDnRGN1")->isEnabled());
    d->findChild<QCheckBox*>("ChkBoxDnURT1")->setChecked(true);
    d->findChild<QPushButton*>("BitBtn2")->click();
  });
  BtnOptionCfgClick(*station);
  EXPECT_EQ(station->optionImage[16], 0xFD);
}

}  // namespace
}  // namespace dravon::ui
