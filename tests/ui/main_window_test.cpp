// The main window under the offscreen platform: what the operator sees after start-up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "core/info_list.h"
#include "operations/results.h"
#include "support/test_platform.h"
#include "ui/main_window.h"

namespace dravon::ui {
namespace {

class MainWindowTest : public ::testing::TestWithParam<const Texts*> {
 protected:
  MainWindowTest()
      : station(MakeStation(Platform{host, clock, random, ports, {}}, *GetParam())),
        window(*station, "/opt/dravonprog") {
    window.show();
    QApplication::processEvents();
  }

  QPlainTextEdit* Memo() { return window.findChild<QPlainTextEdit*>("InfoMemo"); }

  test::ScriptedHost host;
  test::FixedClock clock;
  test::CountingRandom random;
  test::FakePortEnumerator ports;
  std::unique_ptr<Station> station;
  MainWindow window;
};

TEST_P(MainWindowTest, StartsWithTheGreetingAndTenBars) {
  ASSERT_NE(Memo(), nullptr);
  EXPECT_EQ(Memo()->toPlainText(), "> 14:03:22 Hello DravonQuev-MAR User! ------ ");
  EXPECT_TRUE(Memo()->isReadOnly());
  for (int k = 1; k <= kChannelCount; ++k) {
    auto* bar = window.findChild<QProgressBar*>(QStringLiteral("Gauge%1").arg(k));
    ASSERT_NE(bar, nullptr) << k;
    EXPECT_TRUE(bar->isVisible());
  }
  EXPECT_EQ(window.windowTitle(), "DravonQ40LAP Programmer Wizard");
  EXPECT_NE(window.findChild<QAction*>("ClearInformation1"), nullptr);
  EXPECT_NE(window.findChild<QAction*>("CopytoCli1"), nullptr);
}

TEST_P(MainWindowTest, RepaintFollowsTheEngine) {
  ArmChannel(*station, 6, 500, 8192, ProgressMode::Block);
  ReportResult(*station, 0x31, 6);
  window.Repaint();
  auto* bar = window.findChild<QProgressBar*>("Gauge7");
  EXPECT_EQ(bar->maximum(), 8);
  EXPECT_EQ(bar->value(), 8);
  EXPECT_TRUE(bar->styleSheet().contains("#e02020"));
  EXPECT_TRUE(Memo()->toPlainText().endsWith(
      QString::fromUtf8(GetParam() == &kEnglishTexts ? "C7 : Chip Data Verify error!"
                                                      : "C7 : 芯片数据校验错误!")));

  window.findChild<QAction*>("ClearInformation1")->trigger();
  EXPECT_TRUE(Memo()->toPlainText().isEmpty());
  AddInfoLine(*station, "after");
  window.Repaint();
  EXPECT_EQ(Memo()->toPlainText(), "> 14:03:22 after");
}

INSTANTIATE_TEST_SUITE_P(Editions, MainWindowTest,
                         ::testing::Values(&kEnglishTexts, &kChineseTexts),
                         [](const auto& info) { return std::string(info.param->editionName); });

}  // namespace
}  // namespace dravon::ui

int main(int argc, char** argv) {
  // Widget tests never need a display, also when the test list is read at build time.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
