// The system's serial ports through QSerialPortInfo and QSerialPort.
#pragma once

#include "core/platform.h"

namespace dravon::ui {

class QtPortEnumerator final : public PortEnumerator {
 public:
  std::vector<PortInfo> SystemPorts() override;
  bool TryOpen(const std::string& name) override;
};

// Without a udev database Qt reports no USB vendor id, even for real adapters: read it from
// sysfs instead, walking up from /sys/class/tty/<name>/device to the USB device folder.
bool SysfsVendorId(const std::string& portName, uint16_t& vendorId);

}  // namespace dravon::ui
