#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "chips/catalogue.h"
#include "chips/families.h"
#include "core/startup.h"
#include "images/checksums.h"
#include "images/object_readers.h"

namespace dravon::test {

void ScriptedHost::ShowMessage(BoxKind kind, const std::string& text) {
  boxes.push_back({ShownBox::Type::Message, kind, text});
}

bool ScriptedHost::NextAnswer(const char* what) {
  if (answers.empty()) {
    ADD_FAILURE() << "no answer queued for " << what;
    return false;
  }
  bool answer = answers.front();
  answers.pop_front();
  return answer;
}

bool ScriptedHost::AskLineError(const std::string& text) {
  boxes.push_back({ShownBox::Type::LineError, BoxKind::Error, text});
  return NextAnswer("line error box");
}

bool ScriptedHost::AskVerifyMismatch(const std::string& text) {
  boxes.push_back({ShownBox::Type::VerifyMismatch, BoxKind::Error, text});
  return NextAnswer("verify mismatch box");
}

bool ScriptedHost::AskConfirm(const std::string& text) {
  boxes.push_back({ShownBox::Type::Confirm, BoxKind::Warning, text});
  return NextAnswer("confirmation box");
}

std::optional<FileChoice> ScriptedHost::OpenFileDialog(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  if (fileChoices.empty()) {
    ADD_FAILURE() << "no file choice queued for " << request.title;
    return std::nullopt;
  }
  auto choice = fileChoices.front();
  fileChoices.pop_front();
  return choice;
}

std::optional<FileChoice> ScriptedHost::SaveFileDialog(const FileDialogRequest& request) {
  return OpenFileDialog(request);
}

bool ScriptedHost::RunDialog(DialogModel& model) {
  dialogsRun.emplace_back(model.DialogName());
  if (dialogScripts.empty()) {
    ADD_FAILURE() << "no script queued for dialog " << model.DialogName();
    return false;
  }
  auto script = std::move(dialogScripts.front());
  dialogScripts.pop_front();
  return script(model);
}

bool FakePortEnumerator::TryOpen(const std::string& name) {
  return std::find(unopenable.begin(), unopenable.end(), name) == unopenable.end();
}

void SetUpMl630Job(Station& s, size_t mainBytes, uint8_t pattern) {
  s.app.chipSelected = 1;
  s.chip.chipName = "ML630Q464";
  SetupLapis(s, "ML630Q464", 0);
  s.chip.vendor = kVendorLapis;
  s.chip.eepSizeSaved = s.chip.eepSize;  // as the chip dialog keeps it
  for (size_t i = 0; i < mainBytes; ++i)
    s.mainImage.bytes[i] = static_cast<uint8_t>(i * 13 + pattern);
  for (size_t i = 0; i < 0x800; ++i)
    s.eepImage[i] = static_cast<uint8_t>(i * 7 + pattern);
  ComputeMainUsedSize(s);
  ShowImageChecksums(s);
  s.app.fileLoaded = 1;
}

TestStation::TestStation(const Texts& texts)
    : station(MakeStation(Platform{host, clock, random, ports, {}}, texts)) {
  FormShow(*station, "/opt/dravonprog");
  // Start-up's own box (no firmware file in that folder) is tested on its own.
  host.boxes.clear();
}

}  // namespace dravon::test
