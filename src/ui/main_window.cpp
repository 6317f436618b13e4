#include "ui/main_window.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QShowEvent>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "core/info_list.h"
#include "core/startup.h"
#include "ui/qt_host.h"

namespace dravon::ui {
namespace {

QString GaugeStyle(GaugeColour colour) {
  const char* rgb = colour == GaugeColour::Red ? "#e02020" : "#1e50e0";
  return QStringLiteral("QProgressBar { border: 1px solid #808080; background: #ffffff; "
                        "text-align: center; }"
                        "QProgressBar::chunk { background-color: %1; }")
      .arg(QLatin1String(rgb));
}

bool SameGauge(const Gauge& a, const Gauge& b) {
  return a.value == b.value && a.maximum == b.maximum && a.colour == b.colour;
}

}  // namespace

MainWindow::MainWindow(Station& station, std::string programDir, QWidget* parent)
    : QMainWindow(parent), station_(station), programDir_(std::move(programDir)) {
  setObjectName(QStringLiteral("GenMFrmARM"));
  setWindowTitle(QString::fromUtf8(station.texts.mainCaption));
  setFixedSize(917, 587);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(1);

  infoMemo_ = new QPlainTextEdit(central);
  infoMemo_->setObjectName(QStringLiteral("InfoMemo"));
  infoMemo_->setReadOnly(true);
  infoMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  infoMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  infoMemo_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(infoMemo_, &QWidget::customContextMenuRequested, this, &MainWindow::ShowInfoMenu);
  layout->addWidget(infoMemo_, 1);

  infoMenu_ = new QMenu(this);
  infoMenu_->setObjectName(QStringLiteral("PopupMenu2"));
  QAction* clear = infoMenu_->addAction(QString::fromUtf8(station.texts.clearInformation));
  clear->setObjectName(QStringLiteral("ClearInformation1"));
  connect(clear, &QAction::triggered, this, [this] {
    ClearInformation1Click(station_);
    Repaint();
  });
  QAction* copy = infoMenu_->addAction(QString::fromUtf8(station.texts.copyInformation));
  copy->setObjectName(QStringLiteral("CopytoCli1"));
  connect(copy, &QAction::triggered, this, [this] {
    CopytoCli1Click(station_, FromQt(infoMemo_->textCursor().selectedText()));
    Repaint();
  });

  for (int k = 0; k < kChannelCount; ++k) {
    auto* bar = new QProgressBar(central);
    bar->setObjectName(QStringLiteral("Gauge%1").arg(k + 1));
    bar->setFixedHeight(18);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setStyleSheet(GaugeStyle(GaugeColour::Blue));
    layout->addWidget(bar);
    gauges_[k] = bar;
  }
  setCentralWidget(central);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (started_) return;
  started_ = true;
  FormShow(station_, programDir_);
  Repaint();
}

void MainWindow::Repaint() {
  RepaintInfoList();
  RepaintGauges();
}

void MainWindow::RepaintInfoList() {
  const InfoList& info = station_.info;
  if (info.ClearCount() != shownClears_) {
    infoMemo_->clear();
    shownClears_ = info.ClearCount();
    shownLines_ = 0;
  }
  const auto& lines = info.Lines();
  for (; shownLines_ < lines.size(); ++shownLines_) {
    infoMemo_->appendPlainText(ToQt(lines[shownLines_]));
  }
}

void MainWindow::RepaintGauges() {
  for (int k = 0; k < kChannelCount; ++k) {
    const Gauge& g = station_.channels[k].gauge;
    if (SameGauge(g, shownGauges_[k])) continue;
    QProgressBar* bar = gauges_[k];
    if (g.colour != shownGauges_[k].colour) bar->setStyleSheet(GaugeStyle(g.colour));
    int maximum = std::max(0, g.maximum);
    bar->setRange(0, maximum);
    bar->setValue(std::clamp(g.value, 0, maximum));
    shownGauges_[k] = g;
  }
}

void MainWindow::ShowInfoMenu(const QPoint& position) {
  infoMenu_->exec(infoMemo_->mapToGlobal(position));
}

}  // namespace dravon::ui
