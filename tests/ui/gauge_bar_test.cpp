// The channel bars repaint only when what they show changes: ten of them move at once while a
// job runs, and every needless paint is CPU the receive path does not get.
#include "ui/gauge_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>

namespace dravon::ui {
namespace {

struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    paints += e->type() == QEvent::Paint;
    return false;
  }
};

TEST(GaugeBar, RepaintsOnlyWhenThePictureChanges) {
  GaugeBar bar;
  bar.setGeometry(0, 0, 102, 18);  // 100 pixels inside the frame
  const QColor blue(0x1e, 0x50, 0xe0);
  bar.SetGauge(0, 1000, blue);
  bar.show();
  QApplication::processEvents();
  PaintCounter counter;
  bar.installEventFilter(&counter);

  struct Step {
    int value;
    int maximum;
    QColor fill;
    bool paints;
  };
  const Step steps[] = {
      {5, 1000, blue, false},               // half a pixel, still 0 %
      {10, 1000, blue, true},               // 1 % and one pixel
      {19, 1000, blue, false},              // same pixel, same percentage
      {19, 1000, QColor(Qt::red), true},    // colour
      {1000, 1000, QColor(Qt::red), true},  // full
      {2000, 1000, QColor(Qt::red), false}  // past the end shows full
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.value);
    counter.paints = 0;
    bar.SetGauge(s.value, s.maximum, s.fill);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints > 0, s.paints);
  }
  EXPECT_EQ(bar.Percent(), 100);
  bar.SetGauge(3, 0, blue);
  EXPECT_EQ(bar.Percent(), 0);  // no maximum yet: nothing done
}

}  // namespace
}  // namespace dravon::ui
