#include "core/lifecycle.h"

#include <algorithm>

#include "persistence/log_files.h"

namespace dravon {

void CloseAllPorts(Station& s) {
  for (Channel& c : s.channels) {
    if (c.port && c.port->IsOpen()) c.port->Close();
  }
}

bool FormCloseQuery(Station& s) {
  if (s.app.exitConfirmed || s.app.unattended) return true;
  bool working = std::any_of(s.channels.begin(), s.channels.end(),
                             [](const Channel& c) { return c.busy != 0; });
  if (!working) return true;
  if (!s.host.AskConfirm(s.texts.exitWhileBusy)) return false;
  s.app.exitConfirmed = 1;
  return true;
}

void SpdBtnExitClick(Station& s) {
  if (!FormCloseQuery(s)) return;
  s.app.exitConfirmed = 1;
  CloseAllPorts(s);
  s.host.CloseMainWindow();
}

void FormClose(Station& s) {
  CloseAllPorts(s);
  WriteLogAtExit(s);
}

}  // namespace dravon
