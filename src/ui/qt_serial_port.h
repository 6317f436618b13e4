// One channel's serial port through QSerialPort: 1,000,000 baud, 8 data bits, no parity, two
// stop bits, no flow control. Received bytes go to the engine at most 2,048 at a time; while a
// block of chip data is arriving, its bytes gather in the port instead of waking the program for
// every USB packet. A port that goes away is closed and reported once.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <functional>
#include <string>

#include "core/platform.h"
#include "core/station.h"

namespace dravon::ui {

class QtSerialPort final : public QObject, public SerialPort {
  Q_OBJECT

 public:
  explicit QtSerialPort(QObject* parent = nullptr);

  // The station and channel the received bytes go to; changed() runs after each event.
  void Attach(Station* station, int channel, std::function<void()> changed);

  void SetName(const std::string& name) override;
  const std::string& Name() const override { return name_; }
  bool Open(std::string& error) override;
  void Close() override;
  bool IsOpen() const override;
  bool Write(const uint8_t* bytes, size_t length) override;
  // Bytes that went out and came in since the program started.
  uint64_t BytesWritten() const { return written_; }
  uint64_t BytesRead() const { return read_; }

 private:
  void OnReadyRead();
  // A long reply under way: its next bytes wait in the port until it can be nearly whole.
  void GatherIfLong();
  void EndGather();
  void StopGather();
  void OnError(QSerialPort::SerialPortError error);
  void Lost();
  bool HungUp() const;

  QSerialPort port_;
  std::string name_;
  Station* station_ = nullptr;
  int channel_ = 0;
  std::function<void()> changed_;
  bool lossReported_ = false;
  bool gathering_ = false;
  QTimer gatherTimer_;
  uint64_t written_ = 0;
  uint64_t read_ = 0;
};

}  // namespace dravon::ui
