#include "ui/dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "chips/catalogue.h"
#include "chips/option_dialogs.h"
#include "core/dialogs.h"
#include "core/numbers.h"
#include "images/object_readers.h"
#include "persistence/log_files.h"
#include "persistence/serial_numbers.h"

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

bool RunChipSelectDialog(DialogModel& base, QWidget* parent) {
  auto& model = static_cast<ChipSelectModel&>(base);
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("ChipSelForm"));
  dialog.setWindowTitle(ToQt(model.caption));
  dialog.setFixedSize(383, 413);
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("ListBoxCP"));
  list->setGeometry(8, 8, 217, 361);
  auto fill = [&model, list] {
    list->clear();
    for (const std::string& name : model.names)
      list->addItem(ToQt(name));
    list->setCurrentRow(model.selected);
  };
  fill();
  auto* vendors = new QGroupBox(ToQt(model.vendorCaption), &dialog);
  vendors->setObjectName(QStringLiteral("RadioGrpSelMF"));
  vendors->setGeometry(235, 8, 140, 170);
  auto* vendorLayout = new QVBoxLayout(vendors);
  auto* group = new QButtonGroup(vendors);
  for (size_t i = 0; i < model.vendorItems.size(); ++i) {
    auto* radio = new QRadioButton(ToQt(model.vendorItems[i]), vendors);
    group->addButton(radio, int(i));
    vendorLayout->addWidget(radio);
  }
  if (QAbstractButton* chosen = group->button(model.vendor)) chosen->setChecked(true);
  vendors->setVisible(model.vendorVisible);
  QObject::connect(group, &QButtonGroup::idClicked, &dialog, [&model, fill](int id) {
    model.vendor = id;
    RadioGrpSelMFClick(model);
    fill();
  });
  QObject::connect(list, &QListWidget::currentRowChanged, &dialog,
                   [&model](int row) { model.selected = row; });
  auto* ok = new QPushButton(ToQt(model.okCaption), &dialog);
  ok->setObjectName(QStringLiteral("BitBtnOK"));
  ok->setGeometry(250, 300, 110, 30);
  ok->setDefault(true);
  auto* no = new QPushButton(ToQt(model.noCaption), &dialog);
  no->setObjectName(QStringLiteral("BitBtnNO"));
  no->setGeometry(250, 340, 110, 30);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(no, &QPushButton::clicked, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  return dialog.exec() == QDialog::Accepted;
}

bool RunAc78OptionDialog(DialogModel& base, QWidget* parent) {
  auto& model = static_cast<Ac78OptionModel&>(base);
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("AC78xOptBForm"));
  dialog.setWindowTitle(ToQt(model.caption));
  dialog.setFixedSize(569, 412);
  auto* grid = new QGridLayout(&dialog);
  auto addLabel = [&dialog](const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), &dialog);
    label->setObjectName(QString::fromLatin1(name));
    return label;
  };
  auto* rop = new QComboBox(&dialog);
  rop->setObjectName(QStringLiteral("ComBoxROP"));
  for (const std::string& item : model.ropItems)
    rop->addItem(ToQt(item));
  rop->setCurrentIndex(model.rop);
  auto* ropPanel = new QLabel(ToQt(Ac78RopPanel(model.rop)), &dialog);
  ropPanel->setObjectName(QStringLiteral("PanelROP"));
  ropPanel->setStyleSheet(
      QStringLiteral("color: #0000d0; border: 1px solid #a0a0a0; padding: 2px;"));
  QObject::connect(rop, &QComboBox::currentIndexChanged, &dialog,
                   [ropPanel](int i) { ropPanel->setText(ToQt(Ac78RopPanel(i))); });
  auto* wdt = new QComboBox(&dialog);
  wdt->setObjectName(QStringLiteral("ComBoxWDT"));
  for (const std::string& item : model.wdtItems)
    wdt->addItem(ToQt(item));
  wdt->setCurrentIndex(model.wdt);
  auto* wdtPanel = new QLabel(ToQt(Ac78WdtPanel(model.wdt)), &dialog);
  wdtPanel->setObjectName(QStringLiteral("PanelWDT"));
  wdtPanel->setStyleSheet(QStringLiteral("border: 1px solid #a0a0a0; padding: 2px;"));
  QObject::connect(wdt, &QComboBox::currentIndexChanged, &dialog,
                   [wdtPanel](int i) { wdtPanel->setText(ToQt(Ac78WdtPanel(i))); });
  grid->addWidget(addLabel("Label1", "读保护：  "), 0, 0);
  grid->addWidget(rop, 0, 1);
  grid->addWidget(ropPanel, 0, 2);
  grid->addWidget(addLabel("Label2", "WDT使能：  "), 1, 0);
  grid->addWidget(wdt, 1, 1);
  grid->addWidget(wdtPanel, 1, 2);
  const char* labels[6][2] = {{"Label3", "页写保护设置（0-15）：   "},
                              {"Label4", "页写保护设置（16-31）：   "},
                              {"Label5", "页写保护设置（32-47）：   "},
                              {"Label6", "页写保护设置（48-63）：   "},
                              {"Label7", "用户数据0：   "},
                              {"Label8", "用户数据1：   "}};
  const char* editNames[6] = {"EditERP0", "EditERP1",  "EditERP2",
                              "EditERP3", "EditUSER0", "EditUser1"};
  std::array<QLineEdit*, 6> edits{};
  for (int i = 0; i < 6; ++i) {
    grid->addWidget(addLabel(labels[i][0], labels[i][1]), 2 + i, 0);
    edits[i] = new QLineEdit(ToQt(model.edits[i]), &dialog);
    edits[i]->setObjectName(QString::fromLatin1(editNames[i]));
    grid->addWidget(edits[i], 2 + i, 1);
  }
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  cancel->setObjectName(QStringLiteral("BitBtnNG"));
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setObjectName(QStringLiteral("BitBtnOK"));
  grid->addWidget(cancel, 8, 1, Qt::AlignRight);
  grid->addWidget(ok, 8, 2);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return false;
  model.rop = rop->currentIndex();
  model.wdt = wdt->currentIndex();
  for (int i = 0; i < 6; ++i)
    model.edits[i] = FromQt(edits[i]->text());
  return true;
}

bool RunAucuConfigDialog(DialogModel& base, QWidget* parent) {
  auto& model = static_cast<AucuConfigModel&>(base);
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("AUCUxCfgForm"));
  dialog.setWindowTitle(ToQt(model.caption));
  dialog.setFixedSize(450, 230);
  auto* grid = new QGridLayout(&dialog);
  struct Box {
    const char* name;
    const char* caption;
    bool* value;
    bool enabled;
  };
  const Box boxes[] = {
      {"ChkBoxLFC", "启用生命周期权限管理", &model.lifeCycle, true},
      {"ChkBoxDnURT0", "禁用UART0", &model.uart0, true},
      {"ChkBoxDnURT1", "禁用UART1", &model.uart1, true},
      {"ChkBoxDnURT2", "禁用UART2", &model.uart2, true},
      {"ChkBoxDnJTAG", "禁用FUNC JTAG", &model.jtag, false},
      {"ChkBoxDnBOT", "禁用UART0 BOOT", &model.boot, true},
      {"ChkBoxDnRGN1", "锁定Info_rgn1", &model.infoRegion, false},
  };
  std::vector<std::pair<QCheckBox*, bool*>> checks;
  int row = 0;
  for (const Box& b : boxes) {
    auto* check = new QCheckBox(QString::fromUtf8(b.caption), &dialog);
    check->setObjectName(QString::fromLatin1(b.name));
    check->setChecked(*b.value);
    check->setEnabled(b.enabled);
    grid->addWidget(check, row / 2, row % 2);
    checks.emplace_back(check, b.value);
    ++row;
  }
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  cancel->setObjectName(QStringLiteral("BitBtn1"));
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setObjectName(QStringLiteral("BitBtn2"));
  grid->addWidget(cancel, 4, 0, Qt::AlignRight);
  grid->addWidget(ok, 4, 1);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return false;
  for (auto& [check, value] : checks)
    *value = check->isChecked();
  return true;
}

bool RunFixedSnDialog(DialogModel& base, QWidget* parent) {
  auto& model = static_cast<FixedSnModel&>(base);
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("ConfigSNForm"));
  dialog.setWindowTitle(ToQt(model.caption));
  auto* grid = new QGridLayout(&dialog);
  auto* addressLabel = new QLabel(ToQt(model.addressLabel), &dialog);
  addressLabel->setObjectName(QStringLiteral("LabelAdrS"));
  auto* address = new QLineEdit(ToQt(model.addressText), &dialog);
  address->setObjectName(QStringLiteral("AddrEditSN"));
  address->setMaxLength(10);
  auto makeGroup = [&dialog](const char* name, const std::string& caption,
                             const std::vector<std::string>& items, int index) {
    auto* box = new QGroupBox(ToQt(caption), &dialog);
    box->setObjectName(QString::fromLatin1(name));
    auto* layout = new QGridLayout(box);
    auto* group = new QButtonGroup(box);
    for (size_t i = 0; i < items.size(); ++i) {
      auto* radio = new QRadioButton(ToQt(items[i]), box);
      group->addButton(radio, int(i));
      layout->addWidget(radio, 0, int(i));
    }
    if (QAbstractButton* b = group->button(index)) b->setChecked(true);
    return group;
  };
  QButtonGroup* area = makeGroup("RadioGrpSN", model.areaCaption, model.areaItems, model.area);
  QButtonGroup* format =
      makeGroup("RadioGroupFM", model.formatCaption, model.formatItems, model.format);
  QObject::connect(area, &QButtonGroup::idClicked, &dialog, [&model, address](int id) {
    model.area = id;
    FixedSnAreaClick(model);
    address->setText(ToQt(model.addressText));
  });
  auto* dataLabel = new QLabel(ToQt(model.dataLabel), &dialog);
  dataLabel->setObjectName(QStringLiteral("LabelCntDT"));
  auto* data = new QLineEdit(ToQt(model.data), &dialog);
  data->setObjectName(QStringLiteral("EditDataSN"));
  data->setMaxLength(255);
  // Letters are typed in upper case.
  QObject::connect(data, &QLineEdit::textEdited, data, [data](const QString& text) {
    if (text != text.toUpper()) {
      const int at = data->cursorPosition();
      data->setText(text.toUpper());
      data->setCursorPosition(at);
    }
  });
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  cancel->setObjectName(QStringLiteral("BitBtnCancel"));
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setObjectName(QStringLiteral("BitBtnOK"));
  grid->addWidget(addressLabel, 0, 0);
  grid->addWidget(address, 0, 1);
  grid->addWidget(area->parent() ? static_cast<QWidget*>(area->parent()) : nullptr, 1, 0, 1, 2);
  grid->addWidget(static_cast<QWidget*>(format->parent()), 2, 0, 1, 2);
  grid->addWidget(dataLabel, 3, 0, 1, 2);
  grid->addWidget(data, 4, 0, 1, 2);
  grid->addWidget(cancel, 5, 0, Qt::AlignRight);
  grid->addWidget(ok, 5, 1);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  const int result = dialog.exec();
  model.addressText = FromQt(address->text());
  model.format = format->checkedId() < 0 ? 0 : format->checkedId();
  model.data = FromQt(data->text());
  return result == QDialog::Accepted;
}

bool RunLogConfigDialog(DialogModel& base, QWidget* parent) {
  auto& model = static_cast<LogConfigModel&>(base);
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("LogCfgForm"));
  dialog.setWindowTitle(ToQt(model.caption));
  auto* grid = new QGridLayout(&dialog);
  auto* enable = new QCheckBox(ToQt(model.enableCaption), &dialog);
  enable->setObjectName(QStringLiteral("CheckBoxLog"));
  enable->setChecked(model.enabled);
  auto group = [&dialog](const char* name, const std::string& caption,
                         const std::vector<std::string>& items, int index) {
    auto* box = new QGroupBox(ToQt(caption), &dialog);
    box->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(box);
    auto* buttons = new QButtonGroup(box);
    for (size_t i = 0; i < items.size(); ++i) {
      auto* radio = new QRadioButton(ToQt(items[i]), box);
      buttons->addButton(radio, int(i));
      layout->addWidget(radio);
    }
    if (QAbstractButton* b = buttons->button(index)) b->setChecked(true);
    return buttons;
  };
  QButtonGroup* creation =
      group("RadioGrpCreat", model.creationCaption, model.creationItems, model.creationMode);
  QButtonGroup* mode = group("RadioGrpMod", model.modeCaption, model.modeItems, model.customerMode);
  auto* label = new QLabel(ToQt(model.fileLabel), &dialog);
  label->setObjectName(QStringLiteral("LabelFNM"));
  auto* name = new QLineEdit(ToQt(model.fileName), &dialog);
  name->setObjectName(QStringLiteral("EditLogName"));
  auto* open = new QPushButton(ToQt(model.openCaption), &dialog);
  open->setObjectName(QStringLiteral("SpeedButtonOP"));
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setObjectName(QStringLiteral("OK"));
  auto paint = [&] {
    auto* creationBox = static_cast<QWidget*>(creation->parent());
    auto* modeBox = static_cast<QWidget*>(mode->parent());
    creationBox->setEnabled(model.creationEnabled);
    modeBox->setEnabled(model.modeEnabled);
    if (QAbstractButton* b = mode->button(model.customerMode)) b->setChecked(true);
    name->setEnabled(model.fileEnabled);
    open->setEnabled(model.fileEnabled);
  };
  paint();
  QObject::connect(enable, &QCheckBox::clicked, &dialog, [&](bool on) {
    model.enabled = on;
    CheckBoxLogClick(model);
    paint();
  });
  QObject::connect(creation, &QButtonGroup::idClicked, &dialog, [&](int id) {
    model.creationMode = id;
    RadioGrpCreatClick(model);
    paint();
  });
  QObject::connect(mode, &QButtonGroup::idClicked, &dialog,
                   [&](int id) { model.customerMode = id; });
  QObject::connect(open, &QPushButton::clicked, &dialog, [&] {
    QFileDialog files(&dialog);
    files.setNameFilter(QStringLiteral("All Log Files(*.Log,*.Txt) (*.log *.Txt)"));
    files.setDefaultSuffix(QStringLiteral("log"));
    if (files.exec() == QDialog::Accepted && !files.selectedFiles().isEmpty()) {
      name->setText(files.selectedFiles().first());
    }
  });
  grid->addWidget(enable, 0, 0, 1, 2);
  grid->addWidget(static_cast<QWidget*>(creation->parent()), 1, 0);
  grid->addWidget(static_cast<QWidget*>(mode->parent()), 1, 1);
  grid->addWidget(label, 2, 0, 1, 2);
  grid->addWidget(name, 3, 0);
  grid->addWidget(open, 3, 1);
  grid->addWidget(ok, 4, 1);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  const int result = dialog.exec();
  model.fileName = FromQt(name->text());
  return result == QDialog::Accepted;
}

void RegisterDialogs(QtHost& host) {
  host.RegisterDialog("TLogCfgForm", RunLogConfigDialog);
  host.RegisterDialog("TConfigSNForm", RunFixedSnDialog);
  host.RegisterDialog("TChipSelForm", RunChipSelectDialog);
  host.RegisterDialog("TAC78xOptBForm", RunAc78OptionDialog);
  host.RegisterDialog("TAUCUxCfgForm", RunAucuConfigDialog);
  host.RegisterDialog("TFormOfsAddr", RunBinOffsetDialog);
  host.RegisterDialog("TSetAddressForm", RunSetAddressDialog);
  host.RegisterDialog("TAboutForm", RunAboutDialog);
}

}  // namespace dravon::ui
