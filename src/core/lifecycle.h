// Leaving the program: ports closed, then the log written.
#pragma once

#include "core/station.h"

namespace dravon {

// Exit command: closes every open port, then the window.
void SpdBtnExitClick(Station& station);
// Asked before the window closes: false keeps it open. While a programmer is working the
// operator is asked once; the unattended mode never asks.
bool FormCloseQuery(Station& station);
// The window is closing: every open port closed, then the log written.
void FormClose(Station& station);
void CloseAllPorts(Station& station);

}  // namespace dravon
