#include "core/main_window.h"

#include <string>

#include "core/format.h"
#include "images/checksums.h"
#include "operations/commands.h"

namespace dravon {
namespace {

struct ControlDefault {
  const char* name;
  bool visible;
  bool enabled;
};

// Controls that only carry a caption and the default enabled/visible state.
constexpr ControlDefault kPlainControls[] = {
    {"SpdBtnExit", true, true},
    {"SpdBtnOpen", true, true},
    {"SpdBtnLoadMore", true, true},
    {"SpdBtnLdPrj", true, true},
    {"SpdBtnDownLoad", true, true},
    {"AutoSpdBtn", true, true},
    {"SpdBtnBlankChk", true, true},
    {"SpdBtnErase", true, true},
    {"SpdBtnProg", true, true},
    {"SpdBtnVerify", true, true},
    {"SpdBtnWrtOPB", false, true},
    {"ChipSett", true, true},
    {"TabSheetFlash", true, true},
    {"TabSheetEEP", false, true},
    {"GroupBoxChip", true, true},
    {"GroupBoxCfg", true, true},
    {"GroupBoxCom", true, true},
    {"TabSheetCP", true, true},
    {"TabSheetSN", true, true},
    {"TabSheetSG", true, true},
    {"LabelSelDev", true, true},
    {"BitBtnFindDev", true, true},
    {"InfoPanel", true, true},
    {"InfoMemo", true, true},
    {"LabelMcu", true, true},
    {"DevButton", true, true},
    {"LabelCpInf", true, true},
    {"DpCpInfX", true, true},
    {"BtnOptionCfg", false, true},
    {"LabelMaxNum", true, true},
    {"LabelTimIn", true, true},
    {"LabelTimOut", true, true},
    {"LabelSNC", true, true},
    {"LabelSnGain", true, true},
    {"LabelSNAddr", true, true},
    {"ButtonCfgSN", true, true},
    {"LabelDEVA", false, true},
    {"LabelPowUp", true, true},
    {"LabelPowDW", true, true},
    {"File1", true, true},
    {"Execute1", true, true},
    {"LoadEepDataFile1", false, true},
    {"SaveFile1", true, true},
    {"SaveEepDatatoFile1", false, true},
    {"SavetoProjectFile1", true, true},
    {"LoadFromProjectFile1", true, true},
    {"ShowChipOptionData1", true, true},
    {"ConfigLogFile1", true, true},
    {"Exit1", true, true},
    {"Execute2", true, true},
    {"Download1", true, true},
    {"AutoProgram1", true, true},
    {"BlankCheck1", true, true},
    {"EraseChip1", true, true},
    {"Programming1", true, true},
    {"VeriufyDownload1", true, true},
    {"WriteOptionByte1", false, true},
    {"WriteEepDataMemory1", false, true},
    {"DoFirmwareUpgrade1", true, true},
    {"ReadCommand", true, true},
    {"ReadChipMemory1", true, true},
    {"ReadEEPMemory1", false, true},
    {"ReadOptionByte1", false, true},
    {"ReadChipCheckSum1", true, true},
    {"ReadMG32xxChipID1", true, true},
    {"ReadSpcAddress", true, true},
    {"StartOfflineProgrm1", true, true},
    {"Help1", true, true},
    {"About1", true, true},
    {"ClearInformation1", true, true},
    {"CopytoCli1", true, true},
    {"LoadFileOTP", true, true},
};

struct CheckDefault {
  const char* name;
  bool checked;
  bool visible;
  bool enabled;
};

constexpr CheckDefault kCheckBoxes[] = {
    {"ChkBoxErsEEP", false, false, true}, {"ChkBoxPrgEEP", false, false, true},
    {"CheckBoxOpt", false, false, true},  {"CheckBoxCtrl", false, true, true},
    {"ChkBoxBlkEr", false, true, true},   {"ChkBoxRunSHT", false, true, true},
    {"ChkBoxAuto", false, true, true},    {"SNOrderChk", true, true, false},
    {"CheckBoxSN", false, true, true},    {"ChkBoxPCSN", false, true, false},
    {"ChkBoxSNDP", false, true, true},    {"ChkBoxVDD", true, true, true},
    {"CheckBoxRun", false, true, true},
};

struct SpinDefault {
  const char* name;
  int64_t value;
  int64_t minimum;
  int64_t maximum;
  int64_t step;
  bool enabled;
};

constexpr SpinDefault kSpinEdits[] = {
    {"SpinEditNum", 0, 0, 999999999, 100, false}, {"SpinEditRTM", 500, 100, 2000, 10, true},
    {"SpinEditIn", 510, 300, 1500, 30, true},     {"SpinEditOut", 510, 300, 2000, 30, true},
    {"SpinEditVddTim", 100, 10, 2000, 10, true},  {"SpinEditPWDTim", 100, 10, 2000, 10, true},
};

struct EditDefault {
  const char* name;
  const char* text;
  int maxLength;
  bool visible;
  bool enabled;
};

constexpr EditDefault kEdits[] = {
    {"SNEdit1", "0x00000000", 10, true, false},
    {"GainEdit", "0x01", 4, true, false},
    {"AddrEdit", "0x0000FFF0", 10, true, false},
    {"EditDevAdr", "0x00", 4, false, true},
};

void ApplyControlTexts(WindowModel& w, const ControlText* table, int count) {
  for (int i = 0; i < count; ++i) {
    Control& c = w[table[i].name];
    if (table[i].caption) c.caption = table[i].caption;
    if (table[i].items) c.items = SplitItems(table[i].items);
    if (table[i].hint) c.hint = table[i].hint;
  }
}

uint8_t SetBit(uint8_t byte, int bit, bool on) {
  return static_cast<uint8_t>(on ? (byte | (1u << bit)) : (byte & ~(1u << bit)));
}

}  // namespace

void BuildMainWindowModel(Station& s) {
  WindowModel& w = s.window;
  w.caption = s.texts.mainCaption;
  for (const ControlDefault& d : kPlainControls) {
    Control& c = w[d.name];
    c.visible = d.visible;
    c.enabled = d.enabled;
  }
  for (const CheckDefault& d : kCheckBoxes) {
    Control& c = w[d.name];
    c.checked = d.checked;
    c.visible = d.visible;
    c.enabled = d.enabled;
  }
  for (const SpinDefault& d : kSpinEdits) {
    Control& c = w[d.name];
    c.number = d.value;
    c.minimum = d.minimum;
    c.maximum = d.maximum;
    c.step = d.step;
    c.enabled = d.enabled;
  }
  for (const EditDefault& d : kEdits) {
    Control& c = w[d.name];
    c.text = d.text;
    c.maxLength = d.maxLength;
    c.visible = d.visible;
    c.enabled = d.enabled;
  }
  w["ViewPageCtrl"].index = 0;
  w["PageControlSet"].index = 0;
  w["RadioGpVolt"].index = 1;
  w["RadioGrpSpdF"].index = 0;
  w["RadioGrpRST"].index = 0;
  Control& mcu = w["MCUNameEdit"];
  mcu.maxLength = 16;
  Control& com = w["ComboBoxCOM"];
  com.index = -1;
  ApplyControlTexts(w, kCommonControlTexts, kCommonControlTextCount);
  ApplyEditionTexts(s);
  for (int k = 1; k <= kChannelCount; ++k)
    w["Gauge" + std::to_string(k)];
  ArrangeGauges(s);
}

void ApplyEditionTexts(Station& s) {
  WindowModel& w = s.window;
  const Texts& t = s.texts;
  ApplyControlTexts(w, t.controlTexts, t.controlTextCount);
  w["RadioGrpRST"].index = 0;
  if (w["ComboBoxCOM"].items.empty()) w["ComboBoxCOM"].text = t.comboBoxComText;
  if (s.chip.chipName.empty()) w["MCUNameEdit"].text = t.mcuNamePrompt;
  w.statusPanels[0] = t.fileChecksumCaption;
  w.statusPanels[1] = t.chipChecksumCaption;
}

void ArrangeGauges(Station& s) {
  struct Layout {
    int visible;
    int memoHeight;
    int tops[kChannelCount];
  };
  static constexpr Layout kOne = {1, 436, {466}};
  static constexpr Layout kFour = {4, 376, {408, 427, 446, 466}};
  static constexpr Layout kEight = {8, 300, {331, 350, 369, 389, 408, 427, 446, 466}};
  static constexpr Layout kTen = {10, 262, {292, 312, 331, 350, 369, 389, 408, 427, 446, 466}};
  int n = s.app.channelCount;
  const Layout& l = n <= 1 ? kOne : n <= 4 ? kFour : n <= 8 ? kEight : kTen;
  for (int k = 0; k < kChannelCount; ++k) {
    Control& g = s.window["Gauge" + std::to_string(k + 1)];
    g.visible = k < l.visible;
    g.height = 18;
    g.top = k < l.visible ? l.tops[k] : -1;
  }
  s.window["InfoMemo"].height = l.memoHeight;
}

std::optional<int64_t> ParseTypedNumber(Station& s, std::string_view text, IntegerWidth width) {
  auto value = ParseInteger(text, width);
  if (!value) s.host.ShowMessage(BoxKind::Error, Format(s.texts.notValidInteger, {text}));
  return value;
}

int64_t SpinEditValue(const Control& c) {
  return c.number < c.minimum ? c.minimum : c.number > c.maximum ? c.maximum : c.number;
}

bool GatherJobOptions(Station& s) {
  WindowModel& w = s.window;
  JobOptions& j = s.job;
  auto checked = [&w](const char* name) { return w[name].checked; };
  auto spin = [&w](const char* name) { return SpinEditValue(w[name]); };

  int volt = w["RadioGpVolt"].index;
  j.flags33 = static_cast<uint8_t>((j.flags33 & ~0x03) | (volt == 0 ? 0 : volt == 1 ? 1 : 2));
  j.flags33 = SetBit(j.flags33, 4, s.chip.blankIsZero != 0);
  j.flags33 = SetBit(j.flags33, 3, checked("ChkBoxBlkEr"));

  int reset = w["RadioGrpRST"].index;
  j.flags34 = static_cast<uint8_t>((j.flags34 & ~0x03) | (reset < 0 ? 0 : reset & 0x03));
  j.flags34 = SetBit(j.flags34, 7, !checked("ChkBoxVDD"));
  j.flags34 = SetBit(j.flags34, 2, checked("CheckBoxRun"));

  j.flags35 = 0x17;
  j.flags35 = SetBit(j.flags35, 6, checked("CheckBoxOpt"));
  if (checked("ChkBoxPrgEEP")) j.flags35 |= 0x28;

  j.programEep = checked("ChkBoxPrgEEP") ? 1 : 0;
  j.flags36 = SetBit(j.flags36, 1, checked("ChkBoxErsEEP"));
  j.programOption = checked("CheckBoxOpt") ? 1 : 0;
  j.autoDetect = checked("ChkBoxAuto") ? 15 : 0;

  j.chipInTime = static_cast<uint8_t>(spin("SpinEditIn") / 30);
  j.chipOutTime = static_cast<uint8_t>(spin("SpinEditOut") / 30);
  j.powerOnTime = static_cast<uint8_t>(spin("SpinEditVddTim") / 10);
  j.powerDownTime = static_cast<uint8_t>(spin("SpinEditPWDTim") / 10);

  j.flags32 = SetBit(j.flags32, 4, w["RadioGrpSpdF"].index != 0);
  j.flags32 = SetBit(j.flags32, 5, checked("ChkBoxRunSHT"));
  j.runTime = static_cast<uint16_t>(spin("SpinEditRTM") / 10);

  j.snFlags = checked("CheckBoxCtrl") ? 0x40 : 0x00;
  j.snFlags = SetBit(j.snFlags, 0, checked("CheckBoxSN"));
  j.snFlags = SetBit(j.snFlags, 2, checked("SNOrderChk"));
  j.maxCount = static_cast<uint32_t>(spin("SpinEditNum"));
  j.snLength = 4;

  auto gain = ParseTypedNumber(s, w["GainEdit"].text, IntegerWidth::Bits32);
  if (!gain) return false;
  j.snGain = static_cast<uint16_t>(*gain);
  auto initial = ParseTypedNumber(s, w["SNEdit1"].text, IntegerWidth::Bits64);
  if (!initial) return false;
  j.snInitial = static_cast<uint32_t>(*initial);
  auto address = ParseTypedNumber(s, w["AddrEdit"].text, IntegerWidth::Bits64);
  if (!address) return false;
  j.snAddress = static_cast<uint32_t>(*address);
  auto device = ParseTypedNumber(s, w["EditDevAdr"].text, IntegerWidth::Bits32);
  if (!device) return false;
  j.deviceAddress = static_cast<uint8_t>(*device);

  uint32_t last = s.chip.chipCode1 == 0xC0 ? 255 : 127;
  s.sums.optionSum = static_cast<uint16_t>(Acc32(s.optionImage, 0, last));
  s.sums.optionCrc = Crc16Range(s.optionImage, 0, last);
  return true;
}

void CheckBoxCtrlClick(Station& s) {
  s.window["SpinEditNum"].enabled = s.window["CheckBoxCtrl"].checked;
}

void ChkBoxAutoClick(Station& s) {
  bool on = s.window["ChkBoxAuto"].checked;
  s.window["SpinEditIn"].enabled = on;
  s.window["SpinEditOut"].enabled = on;
}

void FormKeyPress(Station& s, char key) {
  if (key == 13) AutoSpdBtnClick(s);
}

}  // namespace dravon
