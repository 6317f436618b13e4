#pragma once

#include <QColor>
#include <QStaticText>
#include <QWidget>

namespace dravon::ui {

// A channel's progress bar: a frame, the filled part and the percentage. It repaints only when
// what it shows changes (the filled width in pixels, the percentage or the colour), so a block
// reply that does not move the bar by a pixel costs nothing to paint.
class GaugeBar final : public QWidget {
  Q_OBJECT

 public:
  explicit GaugeBar(QWidget* parent = nullptr);

  void SetGauge(int value, int maximum, QColor fill);
  int value() const { return value_; }
  int maximum() const { return maximum_; }
  QColor fill() const { return fill_; }
  int Percent() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int FilledWidth() const;

  int value_ = 0;
  int maximum_ = 100;
  QColor fill_;
  int shownPercent_ = -1;
  int shownWidth_ = -1;
  QStaticText text_;
};

}  // namespace dravon::ui
