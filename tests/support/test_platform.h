// Scripted stand-ins for everything the engine needs from outside, and a station built on them.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform.h"
#include "core/station.h"

namespace dravon::test {

struct ShownBox {
  enum class Type { Message, LineError, VerifyMismatch, Confirm };
  Type type;
  BoxKind kind;  // for messages
  std::string text;
};

// Records every box and answers questions and dialogs from queues; a question with no answer
// queued fails the test.
class ScriptedHost final : public Host {
 public:
  void ShowMessage(BoxKind kind, const std::string& text) override;
  bool AskLineError(const std::string& text) override;
  bool AskVerifyMismatch(const std::string& text) override;
  bool AskConfirm(const std::string& text) override;
  std::optional<FileChoice> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<FileChoice> SaveFileDialog(const FileDialogRequest& request) override;
  bool RunDialog(DialogModel& model) override;
  void Wait(int milliseconds) override { waitedMs += milliseconds; }
  void CloseMainWindow() override { ++closeRequests; }
  void SetClipboardText(const std::string& text) override { clipboard = text; }

  std::vector<ShownBox> boxes;
  std::deque<bool> answers;  // OK/Yes = true, Abort/No = false
  std::deque<std::optional<FileChoice>> fileChoices;
  std::vector<FileDialogRequest> fileRequests;
  std::deque<std::function<bool(DialogModel&)>> dialogScripts;
  std::vector<std::string> dialogsRun;
  long waitedMs = 0;
  int closeRequests = 0;
  std::string clipboard = "untouched";

 private:
  bool NextAnswer(const char* what);
};

class FixedClock final : public Clock {
 public:
  std::string LongTime() override { return time; }
  std::string ShortDate() override { return date; }
  std::string time = "14:03:22";
  std::string date = "2026-12-11";
};

// Counts up from a start value, wrapping inside the requested bound.
class CountingRandom final : public Random {
 public:
  uint32_t Below(uint32_t bound) override { return bound <= 1 ? 0 : next++ % bound; }
  uint32_t next = 0;
};

class FakePortEnumerator final : public PortEnumerator {
 public:
  std::vector<PortInfo> SystemPorts() override { return ports; }
  bool TryOpen(const std::string& name) override;
  std::vector<PortInfo> ports;
  std::vector<std::string> unopenable;
};

// A job as after choosing ML630Q464 (32 KiB main flash, 2 KiB data flash) and loading an object
// file: main flash bytes 0..mainBytes-1 are i * 13 + pattern, the data flash i * 7 + pattern,
// the checksums shown. The flash driver is not loaded.
void SetUpMl630Job(Station& station, size_t mainBytes, uint8_t pattern);

// A station of one edition on scripted parts, brought through the start-up resets.
struct TestStation {
  explicit TestStation(const Texts& texts = kEnglishTexts);
  Station& operator*() { return *station; }
  Station* operator->() { return station.get(); }

  ScriptedHost host;
  FixedClock clock;
  CountingRandom random;
  FakePortEnumerator ports;
  std::unique_ptr<Station> station;
};

}  // namespace dravon::test
