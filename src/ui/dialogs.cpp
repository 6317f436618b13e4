#include "ui/dialogs.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/dialogs.h"
#include "core/numbers.h"
#include "images/object_readers.h"

namespace dravon::ui {
namespace {

// The About box's picture: a programmer unit with its socket, drawn here.
QPixmap AboutPicture() {
  QPixmap pixmap(96, 96);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(30, 80, 224));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(8, 20, 80, 56, 8, 8);
  p.setBrush(QColor(240, 240, 240));
  p.drawRect(28, 32, 40, 32);
  p.setBrush(QColor(40, 40, 40));
  for (int i = 0; i < 5; ++i) {
    p.drawRect(31 + i * 8, 28, 3, 6);
    p.drawRect(31 + i * 8, 62, 3, 6);
  }
  p.setBrush(QColor(0, 200, 80));
  p.drawEllipse(QPoint(16, 28), 3, 3);
  return pixmap;
}

}  // namespace

bool RunSetAddressDialog(DialogModel& base, QWidget* parent) {
  auto& model = static_cast<SetAddressModel&>(base);
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("SetAddressForm"));
  dialog.setWindowTitle(ToQt(model.caption));
  auto* grid = new QGridLayout(&dialog);
  auto* addressLabel = new QLabel(ToQt(model.addressLabel), &dialog);
  addressLabel->setObjectName(QStringLiteral("LabelAD"));
  auto* address = new QLineEdit(ToQt(model.addressText), &dialog);
  address->setObjectName(QStringLiteral("EditAddr"));
  auto* lengthLabel = new QLabel(ToQt(model.lengthLabel), &dialog);
  lengthLabel->setObjectName(QStringLiteral("LabelLL"));
  auto* length = new QSpinBox(&dialog);
  length->setObjectName(QStringLiteral("SpinEditRD"));
  length->setRange(int(model.lengthMinimum), int(model.lengthMaximum));
  length->setSingleStep(int(model.lengthStep));
  length->setValue(int(SpinBoxValue(model.lengthText, model.lengthMinimum, model.lengthMaximum)));
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setObjectName(QStringLiteral("BitBtnOK"));
  ok->setDefault(true);
  grid->addWidget(addressLabel, 0, 0);
  grid->addWidget(address, 0, 1);
  grid->addWidget(lengthLabel, 1, 0);
  grid->addWidget(length, 1, 1);
  grid->addWidget(ok, 2, 1, Qt::AlignRight);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  if (dialog.exec() != QDialog::Accepted) return false;
  model.addressText = FromQt(address->text());
  model.lengthText = FromQt(length->cleanText());
  return true;
}

bool RunAboutDialog(DialogModel& base, QWidget* parent) {
  auto& model = static_cast<AboutModel&>(base);
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("AboutForm"));
  dialog.setWindowTitle(ToQt(model.caption));
  auto* layout = new QVBoxLayout(&dialog);
  auto* picture = new QLabel(&dialog);
  picture->setPixmap(AboutPicture());
  picture->setAlignment(Qt::AlignCenter);
  layout->addWidget(picture);
  for (const std::string* line : {&model.title, &model.version, &model.date}) {
    auto* label = new QLabel(ToQt(*line), &dialog);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setDefault(true);
  layout->addWidget(ok, 0, Qt::AlignCenter);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  dialog.setFixedSize(dialog.sizeHint());
  return dialog.exec() == QDialog::Accepted;
}

bool RunBinOffsetDialog(DialogModel& base, QWidget* parent) {
  auto& model = static_cast<BinOffsetModel&>(base);
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("FormOfsAddr"));
  dialog.setWindowTitle(ToQt(model.caption));
  auto* layout = new QGridLayout(&dialog);
  auto* label = new QLabel(ToQt(model.label), &dialog);
  label->setObjectName(QStringLiteral("LabelOfsBin"));
  auto* edit = new QLineEdit(ToQt(model.addressText), &dialog);
  edit->setObjectName(QStringLiteral("EditOfsAddr"));
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setObjectName(QStringLiteral("BitBtnOK"));
  ok->setDefault(true);
  layout->addWidget(label, 0, 0);
  layout->addWidget(edit, 0, 1);
  layout->addWidget(ok, 1, 1, Qt::AlignRight);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  if (dialog.exec() != QDialog::Accepted) return false;
  model.addressText = FromQt(edit->text());
  return true;
}

void RegisterDialogs(QtHost& host) {
  host.RegisterDialog("TFormOfsAddr", RunBinOffsetDialog);
  host.RegisterDialog("TSetAddressForm", RunSetAddressDialog);
  host.RegisterDialog("TAboutForm", RunAboutDialog);
}

}  // namespace dravon::ui
