#include "ui/qt_ports.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#include "ui/qt_host.h"

namespace dravon::ui {

std::vector<PortInfo> QtPortEnumerator::SystemPorts() {
  std::vector<PortInfo> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    PortInfo port;
#ifdef Q_OS_WIN
    port.name = FromQt(info.portName());
#else
    port.name = FromQt(info.systemLocation());
#endif
    if (info.hasVendorIdentifier()) {
      port.hasVendorId = true;
      port.vendorId = info.vendorIdentifier();
    } else {
      port.hasVendorId = SysfsVendorId(FromQt(info.portName()), port.vendorId);
    }
    ports.push_back(std::move(port));
  }
  return ports;
}

bool QtPortEnumerator::TryOpen(const std::string& name) {
  QSerialPort port;
  port.setPortName(ToQt(name));
  if (!port.open(QIODevice::ReadWrite)) return false;
  port.close();
  return true;
}

bool SysfsVendorId(const std::string& portName, uint16_t& vendorId) {
#ifdef Q_OS_LINUX
  QFileInfo device(QStringLiteral("/sys/class/tty/%1/device").arg(ToQt(portName)));
  if (!device.exists()) return false;
  QString dir = device.canonicalFilePath();
  for (int depth = 0; depth < 8 && dir.size() > 1; ++depth) {
    QFile idVendor(dir + QStringLiteral("/idVendor"));
    if (idVendor.open(QIODevice::ReadOnly)) {
      bool ok = false;
      uint value = QString::fromLatin1(idVendor.read(16)).trimmed().toUInt(&ok, 16);
      if (ok && value <= 0xFFFF) {
        vendorId = static_cast<uint16_t>(value);
        return true;
      }
      return false;
    }
    dir = QFileInfo(dir).path();
  }
#else
  (void)portName;
  (void)vendorId;
#endif
  return false;
}

}  // namespace dravon::ui
