#include "ui/qt_serial_port.h"

#include <QTimer>
#include <array>

#include "link/discovery.h"
#include "link/receive.h"
#include "operations/chains.h"
#include "ui/qt_host.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace dravon::ui {

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::OnReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::OnError);
  gatherTimer_.setSingleShot(true);
  gatherTimer_.setTimerType(Qt::PreciseTimer);
  connect(&gatherTimer_, &QTimer::timeout, this, &QtSerialPort::EndGather);
}

void QtSerialPort::Attach(Station* station, int channel, std::function<void()> changed) {
  station_ = station;
  channel_ = channel;
  changed_ = std::move(changed);
}

void QtSerialPort::SetName(const std::string& name) {
  name_ = name;
  port_.setPortName(ToQt(name));
}

bool QtSerialPort::Open(std::string& error) {
  if (port_.isOpen()) port_.close();
  StopGather();
  port_.setBaudRate(1000000);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::TwoStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) {
    error = FromQt(port_.errorString());
    return false;
  }
  // The modem lines stay inactive; a pseudo-terminal has none, which is no reason to fail.
  port_.setDataTerminalReady(false);
  port_.setRequestToSend(false);
  port_.clearError();
  lossReported_ = false;
  return true;
}

void QtSerialPort::Close() {
  if (port_.isOpen()) port_.close();
  StopGather();
}

bool QtSerialPort::IsOpen() const {
  return port_.isOpen();
}

bool QtSerialPort::Write(const uint8_t* bytes, size_t length) {
  if (!port_.isOpen()) return false;
  written_ += length;
  return port_.write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(length)) ==
         static_cast<qint64>(length);
}

void QtSerialPort::OnReadyRead() {
  if (gathering_) return;
  std::array<char, kMaxChunk> chunk;
  while (station_ && port_.isOpen() && port_.bytesAvailable() > 0) {
    const qint64 n = port_.read(chunk.data(), static_cast<qint64>(chunk.size()));
    if (n <= 0) break;
    read_ += static_cast<uint64_t>(n);
    ReceiveData(*station_, channel_, reinterpret_cast<const uint8_t*>(chunk.data()),
                static_cast<size_t>(n));
  }
  if (changed_) changed_();
  GatherIfLong();
}

void QtSerialPort::GatherIfLong() {
  if (!station_ || !port_.isOpen()) return;
  // 11 bits a byte at 1,000,000 baud. The wait stops short of the reply's end by more than a
  // USB packet, which an adapter may hold back uncounted, so its last bytes are handed over as
  // they come. Waits under 5 ms are not worth a timer.
  constexpr size_t kUncounted = 600;
  const size_t rest = std::min(BytesStillComing(*station_, channel_), kRxBufferSize);
  if (rest <= kUncounted) return;
  const int ms = static_cast<int>((rest - kUncounted) * 11 / 1000);
  if (ms < 5) return;
  // A read buffer of one byte makes QSerialPort stop reading the device once that byte is in.
  gathering_ = true;
  port_.setReadBufferSize(1);
  gatherTimer_.start(ms);
}

void QtSerialPort::EndGather() {
  if (!gathering_) return;
  gathering_ = false;
  port_.setReadBufferSize(0);
  // Takes in what gathered at once; when nothing did, the byte already buffered goes on.
  if (!port_.isOpen() || !port_.waitForReadyRead(0)) OnReadyRead();
}

void QtSerialPort::StopGather() {
  gatherTimer_.stop();
  gathering_ = false;
  port_.setReadBufferSize(0);
}

bool QtSerialPort::HungUp() const {
#ifdef Q_OS_UNIX
  pollfd p{static_cast<int>(port_.handle()), POLLIN, 0};
  if (p.fd < 0) return true;
  return ::poll(&p, 1, 0) >= 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
  return true;
#endif
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || lossReported_) return;
  if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
    if (port_.isOpen() && !HungUp() && error == QSerialPort::ReadError) {
      port_.clearError();
      if (station_) ReceiveError(*station_, channel_);
      return;
    }
    // The device is gone: Qt would go on signalling it without end. Close it from the event
    // loop, outside QSerialPort's own signal, and tell the engine once.
    lossReported_ = true;
    QTimer::singleShot(0, this, &QtSerialPort::Lost);
  }
}

void QtSerialPort::Lost() {
  port_.close();
  StopGather();
  if (station_) PortLost(*station_, channel_);
  if (changed_) changed_();
}

}  // namespace dravon::ui
