// The Qt dialogs over their engine models.
#include <gtest/gtest.h>

#include "ui_support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "core/dialogs.h"
#include "ui/dialogs.h"

namespace dravon::ui {
namespace {

using dravon::test::WhenDialogShows;

TEST(SetAddressDialog, OkHandsBackWhatWasTyped) {
  SetAddressModel model;
  model.caption = "Specify Read Address";
  model.addressText = "0x00000000";
  model.lengthText = "64";
  WhenDialogShows([](QWidget* d) {
    EXPECT_EQ(d->windowTitle(), "Specify Read Address");
    auto* spin = d->findChild<QSpinBox*>("SpinEditRD");
    EXPECT_EQ(spin->value(), 64);
    EXPECT_EQ(spin->maximum(), 1024);
    EXPECT_EQ(spin->singleStep(), 16);
    d->findChild<QLineEdit*>("EditAddr")->setText("0x00001237");
    spin->setValue(5000);
    d->findChild<QPushButton*>("BitBtnOK")->click();
  });
  EXPECT_TRUE(RunSetAddressDialog(model, nullptr));
  EXPECT_EQ(model.addressText, "0x00001237");
  EXPECT_EQ(model.lengthText, "1024");
}

TEST(SetAddressDialog, CloseBoxHandsBackNothing) {
  SetAddressModel model;
  model.addressText = "0x00000100";
  model.lengthText = "64";
  WhenDialogShows([](QWidget* d) {
    d->findChild<QLineEdit*>("EditAddr")->setText("0x2000");
    d->close();
  });
  EXPECT_FALSE(RunSetAddressDialog(model, nullptr));
  EXPECT_EQ(model.addressText, "0x00000100");
}

TEST(AboutDialog, ShowsTitleAndVersion) {
  AboutModel model;
  model.caption = "About";
  model.title = "DravonQ40LAP Flash MCU Programmer";
  model.version = "Version V1.3";
  model.date = "Release Date: 2026-12-11";
  WhenDialogShows([](QWidget* d) {
    EXPECT_EQ(d->windowTitle(), "About");
    QStringList texts;
    for (auto* label : d->findChildren<QLabel*>())
      texts << label->text();
    EXPECT_TRUE(texts.contains("DravonQ40LAP Flash MCU Programmer"));
    EXPECT_TRUE(texts.contains("Version V1.3"));
    d->findChild<QPushButton*>()->click();
  });
  EXPECT_TRUE(RunAboutDialog(model, nullptr));
}

}  // namespace
}  // namespace dravon::ui
