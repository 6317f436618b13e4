#include "operations/commands.h"

#include <functional>

#include "chips/families.h"
#include "core/dialogs.h"
#include "core/info_list.h"
#include "core/main_window.h"
#include "link/commands.h"
#include "link/discovery.h"
#include "operations/chains.h"
#include "operations/results.h"
#include "persistence/serial_numbers.h"

namespace dravon {
namespace {

void ShowChipSettingPage(Station& s) {
  s.window["ViewPageCtrl"].index = 0;
}

bool ChipGuard(Station& s) {
  if (s.app.chipSelected) return true;
  s.host.ShowMessage(BoxKind::Information, s.texts.selectChipFirst);
  return false;
}

bool FileGuard(Station& s) {
  if (s.app.fileLoaded) return true;
  s.host.ShowMessage(BoxKind::Information, s.texts.loadFileFirst);
  return false;
}

bool ChannelZeroGuard(Station& s) {
  if (s.channels[0].found) return true;
  s.host.ShowMessage(BoxKind::Information, s.texts.connectDevice);
  return false;
}

// Auto and Prog: the serial number the panel shows goes into the image before any channel
// starts, once per click.
void PlaceSerialNumberFirst(Station& s) {
  if (s.window["CheckBoxSN"].checked && s.window["ChkBoxPCSN"].checked && GatherJobOptions(s)) {
    PlaceSerialNumber(s);
  }
}

enum class AutoFlag { Set, Clear, Keep };

struct FanOut {
  bool needsFile;
  bool emptyLine;
  bool ac78Option;  // the AutoChip option line before the channels start
  AutoFlag autoSequence;
  std::function<void(Station&, int)> start;
};

void Run(Station& s, const FanOut& f) {
  if (!ChipGuard(s)) return;
  if (f.needsFile && !FileGuard(s)) return;
  if (f.emptyLine) AddPlainLine(s, "");
  if (!GatherJobOptions(s)) return;
  if (f.ac78Option && s.chip.vendor == kVendorAutoChip) ShowAc78Option(s);
  for (int k = 0; k < s.app.channelCount && k < kChannelCount; ++k) {
    Channel& c = s.channels[k];
    c.rxCount = 0;
    if (f.autoSequence != AutoFlag::Keep) c.autoSequence = f.autoSequence == AutoFlag::Set;
    if (c.found && !c.busy) f.start(s, k);
  }
}

void Read(Station& s, bool switchPage, void (*start)(Station&, int)) {
  if (switchPage) ShowChipSettingPage(s);
  if (!ChipGuard(s)) return;
  if (!GatherJobOptions(s)) return;
  if (!ChannelZeroGuard(s)) return;
  start(s, 0);
}

}  // namespace

void AutoSpdBtnClick(Station& s) {
  ShowChipSettingPage(s);
  PlaceSerialNumberFirst(s);
  Run(s, {true, true, true, AutoFlag::Set, StartAutoProgram});
}

void SpdBtnDownLoadClick(Station& s) {
  ShowChipSettingPage(s);
  Run(s, {true, true, true, AutoFlag::Keep, StartJobDownload});
}

void SpdBtnBlankChkClick(Station& s) {
  ShowChipSettingPage(s);
  Run(s, {false, true, false, AutoFlag::Clear, StartBlankCheck});
}

void SpdBtnEraseClick(Station& s) {
  ShowChipSettingPage(s);
  Run(s, {false, true, false, AutoFlag::Clear,
          [](Station& st, int k) { StartErase(st, k, st.texts.eraseAnnouncement); }});
}

void SpdBtnProgClick(Station& s) {
  ShowChipSettingPage(s);
  PlaceSerialNumberFirst(s);
  Run(s, {true, true, false, AutoFlag::Clear, StartProgramMain});
}

void SpdBtnVerifyClick(Station& s) {
  ShowChipSettingPage(s);
  Run(s, {true, true, false, AutoFlag::Clear, StartVerify});
}

void SpdBtnWrtOPBClick(Station& s) {
  ShowChipSettingPage(s);
  Run(s, {false, true, false, AutoFlag::Clear, StartWriteOption});
}

void WriteEepDataMemory1Click(Station& s) {
  ShowChipSettingPage(s);
  Run(s, {true, false, false, AutoFlag::Clear, StartProgramEep});
}

void ReadChipMemory1Click(Station& s) {
  Read(s, true, StartReadMain);
}
void ReadEEPMemory1Click(Station& s) {
  Read(s, false, StartReadEep);
}
void ReadOptionByte1Click(Station& s) {
  Read(s, true, StartReadOption);
}
void ReadChipCheckSum1Click(Station& s) {
  Read(s, true, StartReadChecksum);
}

void ReadSpcAddressClick(Station& s) {
  ShowChipSettingPage(s);
  if (!ChipGuard(s) || !ChannelZeroGuard(s) || !GatherJobOptions(s)) return;
  RunSetAddressDialog(s);
  s.channels[0].state = ChannelState::ReadAddress;
  ArmChannel(s, 0, 500, s.chip.mainSize, ProgressMode::Tick);
  s.channels[0].gauge.value = 250;
  SendReadAddress(s, 0);
}

void ReadMG32xxChipID1Click(Station& s) {
  ShowChipSettingPage(s);
  if (!ChipGuard(s) || !ChannelZeroGuard(s)) return;
  s.channels[0].state = ChannelState::ReadChipInfo;
  AddInfoLine(s, s.texts.readChipInfoLine);
  ArmChannel(s, 0, 500, s.chip.mainSize, ProgressMode::Tick);
  SendChipAction(s, kCmdChipAction, kActionReadChipInfo, 0);
}

void StartOfflineProgrm1Click(Station& s) {
  AddInfoLine(s, s.texts.startOffline);
  s.window["ComboBoxCOM"].items.clear();
  for (int k = 0; k < s.app.channelCount && k < kChannelCount; ++k) {
    Channel& c = s.channels[k];
    c.rxCount = 0;
    c.found = 0;
    c.busy = 0;
    c.gauge.value = 0;
    if (c.port && c.port->IsOpen()) c.port->Close();
  }
  BuildPortList(s);
  const std::vector<std::string> list = s.window["ComboBoxCOM"].items;
  for (size_t i = 0; i < list.size() && i < kChannelCount; ++i) {
    Channel& c = s.channels[i];
    c.timeoutTicks = 300;
    if (c.port) {
      c.port->SetName(list[i]);
      std::string error;
      c.port->Open(error);
    }
    s.host.Wait(30);
    if (c.port && c.port->IsOpen()) SendStartOffline(s, static_cast<int>(i));
    if (i + 1 >= s.app.channelCount) break;
  }
}

}  // namespace dravon
