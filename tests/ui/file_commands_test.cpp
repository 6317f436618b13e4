// Loading a HEX file and saving the image as BIN, HEX and S-records through the real file
// dialogs, the way an operator does it.
#include <gtest/gtest.h>

#include "ui_support.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "images/object_readers.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

namespace dravon::ui {
namespace {

using dravon::test::WhenDialogShows;

void AnswerFileDialog(const std::string& path, int filter = -1) {
  WhenDialogShows<QFileDialog>([path, filter](QFileDialog* dialog) {
    if (filter >= 0) dialog->selectNameFilter(dialog->nameFilters()[filter]);
    // Typed into the name field, as the operator does; accept() checks it like Enter would.
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

TEST(FileCommands, LoadHexThenSaveInEveryFormat) {
  test::TempDir dir;
  QtHost host;
  RegisterDialogs(host);
  test::FixedClock clock;
  test::CountingRandom random;
  test::FakePortEnumerator ports;
  auto station = MakeStation(Platform{host, clock, random, ports, {}}, kEnglishTexts);
  MainWindow window(*station, DRAVON_PROGRAM_DIR);
  host.SetParent(&window);
  window.show();
  QApplication::processEvents();

  WhenDialogShows<QDialog>([](QDialog* d) {
    auto* list = d->findChild<QListWidget*>("ListBoxCP");
    list->setCurrentRow(list->row(list->findItems("ML62Q15x4", Qt::MatchExactly).first()));
    d->findChild<QPushButton*>("BitBtnOK")->click();
  });
  window.findChild<QAbstractButton*>("DevButton")->click();

  const std::string hex = dir.File("app.hex");
  test::WriteFile(hex,
                  ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
                  ":040010001122334442\r\n"
                  ":00000001FF\r\n");
  AnswerFileDialog(hex);
  window.findChild<QAbstractButton*>("SpdBtnOpen")->click();
  EXPECT_EQ(station->app.fileLoaded, 1);
  EXPECT_EQ(station->mainImage.bytes[0x13], 0x44);
  EXPECT_EQ(window.findChild<QLabel*>("StatusPanel2")->text().toStdString(), hex);
  EXPECT_TRUE(window.findChild<QLabel*>("StatusPanel0")->text().startsWith("File CheckSum: 0x"));
  EXPECT_EQ(window.findChild<QTableView*>("HexViewer")->model()->rowCount(), 64);

  struct Save {
    const char* name;
    int filter;
    std::string begins;
  };
  for (const Save& save :
       {Save{"out.bin", 0, std::string("\x00\x01\x02\x03", 4)},
        Save{"out.hex", 1, ":020000040000FA"}, Save{"out.s28", 2, "S224000000000102"}}) {
    AnswerFileDialog(dir.File(save.name), save.filter);
    window.findChild<QAction*>("SaveFile1")->trigger();
    EXPECT_EQ(test::ReadFile(dir.File(save.name)).substr(0, save.begins.size()), save.begins)
        << save.name;
  }
  EXPECT_EQ(test::ReadFile(dir.File("out.bin")).size(), 0x20000u);

  // The job as a project: saved under a name typed without extension, opened in a fresh window.
  AnswerFileDialog(dir.File("job"));
  QString created;
  WhenDialogShows<QMessageBox>([&created](QMessageBox* box) {
    created = box->text();
    box->accept();
  });
  window.findChild<QAction*>("SavetoProjectFile1")->trigger();
  EXPECT_EQ(created.toStdString(), "Created Project File : " + dir.File("job.pmw"));

  auto other = MakeStation(Platform{host, clock, random, ports, {}}, kEnglishTexts);
  MainWindow second(*other, DRAVON_PROGRAM_DIR);
  host.SetParent(&second);
  second.show();
  QApplication::processEvents();
  AnswerFileDialog(dir.File("job.pmw"));
  QString opened;
  WhenDialogShows<QMessageBox>([&opened](QMessageBox* box) {
    opened = box->text();
    box->accept();
  });
  second.findChild<QAbstractButton*>("SpdBtnLdPrj")->click();
  EXPECT_EQ(opened, "Project File Open Success!");
  EXPECT_EQ(second.findChild<QLineEdit*>("MCUNameEdit")->text(), "ML62Q15x4");
  EXPECT_EQ(other->mainImage.bytes[0x13], 0x44);
  EXPECT_EQ(second.findChild<QLabel*>("StatusPanel2")->text(), "app.hex");
  EXPECT_EQ(second.findChild<QLabel*>("StatusPanel0")->text(),
            window.findChild<QLabel*>("StatusPanel0")->text());
  host.SetParent(&window);
}

}  // namespace
}  // namespace dravon::ui
