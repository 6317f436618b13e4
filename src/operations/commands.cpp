#include "operations/commands.h"

#include "core/info_list.h"
#include "core/main_window.h"

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

}  // namespace

void AutoSpdBtnClick(Station& s) {
  ShowChipSettingPage(s);
  if (!ChipGuard(s) || !FileGuard(s)) return;
  AddPlainLine(s, "");
  if (!GatherJobOptions(s)) return;
}

}  // namespace dravon
