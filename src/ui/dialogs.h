// The Qt dialogs that show the engine's dialog models.
#pragma once

#include "ui/qt_host.h"

namespace dravon::ui {

// Registers every dialog the engine may ask the host for.
void RegisterDialogs(QtHost& host);

bool RunSetAddressDialog(DialogModel& model, QWidget* parent);
bool RunAboutDialog(DialogModel& model, QWidget* parent);
bool RunBinOffsetDialog(DialogModel& model, QWidget* parent);
bool RunChipSelectDialog(DialogModel& model, QWidget* parent);
bool RunAc78OptionDialog(DialogModel& model, QWidget* parent);
bool RunAucuConfigDialog(DialogModel& model, QWidget* parent);

}  // namespace dravon::ui
