// What the engine needs from outside: modal interaction, serial ports, the port list, the clock
// and a random source. The Qt shell supplies the real ones; tests supply scripted ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravon {

enum class BoxKind : uint8_t { Information, Warning, Error, Plain };

// Filter in the form "Description(*.ext)|*.ext|All FIles(*.*)|*.*".
struct FileDialogRequest {
  std::string title;
  std::string filter;
  std::string defaultExtension;  // without the dot; added to a name typed without one
  std::string initialPath;
  int filterIndex = 0;  // the filter selected at first
};

struct FileChoice {
  std::string path;
  int filterIndex = 0;  // 0-based position of the chosen filter pair
};

// Base of every dialog model the engine asks the host to show (chip selection, options ...).
class DialogModel {
 public:
  virtual ~DialogModel() = default;
  virtual std::string_view DialogName() const = 0;
};

class Host {
 public:
  virtual ~Host() = default;
  virtual void ShowMessage(BoxKind kind, const std::string& text) = 0;
  // The line-error box of the file readers: true for OK (go on), false for Abort.
  virtual bool AskLineError(const std::string& text) = 0;
  // The verify-mismatch box: true for Yes (go on), false for Abort.
  virtual bool AskVerifyMismatch(const std::string& text) = 0;
  // A yes/no question; true for Yes.
  virtual bool AskConfirm(const std::string& text) = 0;
  virtual std::optional<FileChoice> OpenFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<FileChoice> SaveFileDialog(const FileDialogRequest& request) = 0;
  // Shows the dialog of the model modally; true when the operator confirmed it.
  virtual bool RunDialog(DialogModel& model) = 0;
  // Blocks the engine's thread for the given time.
  virtual void Wait(int milliseconds) = 0;
  virtual void CloseMainWindow() = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
};

// One channel's serial connection. Received bytes, a lost port and receive errors come back
// to the engine through its receive entry points, always on the engine's thread.
class SerialPort {
 public:
  virtual ~SerialPort() = default;
  virtual void SetName(const std::string& name) = 0;
  virtual const std::string& Name() const = 0;
  // On failure returns false and puts the system's reason into error.
  virtual bool Open(std::string& error) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual bool Write(const uint8_t* bytes, size_t length) = 0;
};

struct PortInfo {
  std::string name;  // device path on Linux, COMn on Windows
  bool hasVendorId = false;
  uint16_t vendorId = 0;
};

class PortEnumerator {
 public:
  virtual ~PortEnumerator() = default;
  virtual std::vector<PortInfo> SystemPorts() = 0;
  // Opens and closes the port once; true when it could be opened.
  virtual bool TryOpen(const std::string& name) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local time in the locale's long time format ("14:03:22").
  virtual std::string LongTime() = 0;
  // The current local date in the locale's short date format.
  virtual std::string ShortDate() = 0;
};

class Random {
 public:
  virtual ~Random() = default;
  // A number in 0..bound-1 (bound >= 1).
  virtual uint32_t Below(uint32_t bound) = 0;
  // A random byte 0..254: 255 never occurs.
  uint8_t Byte() { return static_cast<uint8_t>(Below(255)); }
};

// A host for runs with nobody at a screen (tools, benchmarks, fuzzing): messages go to the
// sink, every question gets the same answer, and no dialog is shown.
class HeadlessHost : public Host {
 public:
  HeadlessHost(bool answer, std::function<void(const std::string&)> sink = {})
      : answer_(answer), sink_(std::move(sink)) {}
  void ShowMessage(BoxKind, const std::string& text) override {
    if (sink_) sink_(text);
  }
  bool AskLineError(const std::string& text) override { return Ask(text); }
  bool AskVerifyMismatch(const std::string& text) override { return Ask(text); }
  bool AskConfirm(const std::string& text) override { return Ask(text); }
  std::optional<FileChoice> OpenFileDialog(const FileDialogRequest&) override { return {}; }
  std::optional<FileChoice> SaveFileDialog(const FileDialogRequest&) override { return {}; }
  bool RunDialog(DialogModel&) override { return false; }
  void Wait(int) override {}
  void CloseMainWindow() override {}
  void SetClipboardText(const std::string&) override {}

 private:
  bool Ask(const std::string& text) {
    if (sink_) sink_(text);
    return answer_;
  }
  bool answer_;
  std::function<void(const std::string&)> sink_;
};

// Puts a host between the engine and the screen: once Enable() has run, nothing waits for a
// person. Every message and question goes to the report function (and each question is
// answered No / Abort); file dialogs and dialogs are not shown. Before that it passes all on.
class UnattendedHost final : public Host {
 public:
  explicit UnattendedHost(Host& inner) : inner_(inner) {}
  void Enable(std::function<void(const std::string&)> report) { report_ = std::move(report); }
  bool enabled() const { return static_cast<bool>(report_); }

  void ShowMessage(BoxKind kind, const std::string& text) override {
    if (report_) {
      report_(text);
    } else {
      inner_.ShowMessage(kind, text);
    }
  }
  bool AskLineError(const std::string& text) override {
    return report_ ? Refuse(text) : inner_.AskLineError(text);
  }
  bool AskVerifyMismatch(const std::string& text) override {
    return report_ ? Refuse(text) : inner_.AskVerifyMismatch(text);
  }
  bool AskConfirm(const std::string& text) override {
    return report_ ? Refuse(text) : inner_.AskConfirm(text);
  }
  std::optional<FileChoice> OpenFileDialog(const FileDialogRequest& request) override {
    if (report_) return {};
    return inner_.OpenFileDialog(request);
  }
  std::optional<FileChoice> SaveFileDialog(const FileDialogRequest& request) override {
    if (report_) return {};
    return inner_.SaveFileDialog(request);
  }
  bool RunDialog(DialogModel& model) override { return !report_ && inner_.RunDialog(model); }
  void Wait(int milliseconds) override { inner_.Wait(milliseconds); }
  void CloseMainWindow() override { inner_.CloseMainWindow(); }
  void SetClipboardText(const std::string& text) override { inner_.SetClipboardText(text); }

 private:
  bool Refuse(const std::string& text) {
    report_(text);
    return false;
  }
  Host& inner_;
  std::function<void(const std::string&)> report_;
};

// The platform's clock and generator, for a program run.
class SystemClock final : public Clock {
 public:
  std::string LongTime() override;
  std::string ShortDate() override;
};

class SystemRandom final : public Random {
 public:
  SystemRandom();
  uint32_t Below(uint32_t bound) override;

 private:
  uint64_t state_;
};

}  // namespace dravon
