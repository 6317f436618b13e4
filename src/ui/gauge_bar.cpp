#include "ui/gauge_bar.h"

#include <QPainter>
#include <algorithm>

namespace dravon::ui {

GaugeBar::GaugeBar(QWidget* parent) : QWidget(parent) {
  // The bar paints every pixel it owns, so nothing beneath it is repainted with it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  text_.setTextFormat(Qt::PlainText);
  text_.setPerformanceHint(QStaticText::AggressiveCaching);
}

int GaugeBar::Percent() const {
  if (maximum_ <= 0) return 0;
  return static_cast<int>(static_cast<int64_t>(std::clamp(value_, 0, maximum_)) * 100 / maximum_);
}

int GaugeBar::FilledWidth() const {
  const int inner = std::max(0, width() - 2);
  if (maximum_ <= 0) return 0;
  return static_cast<int>(static_cast<int64_t>(std::clamp(value_, 0, maximum_)) * inner / maximum_);
}

void GaugeBar::SetGauge(int value, int maximum, QColor fill) {
  value_ = value;
  maximum_ = maximum;
  if (fill != fill_ || Percent() != shownPercent_ || FilledWidth() != shownWidth_) {
    fill_ = fill;
    update();
  }
}

void GaugeBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  shownWidth_ = -1;
}

void GaugeBar::paintEvent(QPaintEvent*) {
  const int percent = Percent();
  if (percent != shownPercent_) text_.setText(QStringLiteral("%1%").arg(percent));
  shownPercent_ = percent;
  shownWidth_ = FilledWidth();

  QPainter p(this);
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  p.setPen(QColor(0x80, 0x80, 0x80));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  const QRect filled(inner.left(), inner.top(), shownWidth_, inner.height());
  const QRect empty(inner.left() + shownWidth_, inner.top(), inner.width() - shownWidth_,
                    inner.height());
  p.fillRect(filled, fill_);
  p.fillRect(empty, Qt::white);
  // The percentage reads white over the filled part and black over the rest.
  const QSizeF size = text_.size();
  const QPointF at(inner.left() + (inner.width() - size.width()) / 2,
                   inner.top() + (inner.height() - size.height()) / 2);
  p.setClipRect(filled);
  p.setPen(Qt::white);
  p.drawStaticText(at, text_);
  p.setClipRect(empty);
  p.setPen(Qt::black);
  p.drawStaticText(at, text_);
}

}  // namespace dravon::ui
