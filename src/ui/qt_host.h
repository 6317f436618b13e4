// Modal interaction for the engine through Qt: message boxes, file dialogs, dialogs over models.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <string>

#include "core/platform.h"

class QWidget;

namespace dravon::ui {

QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

class QtHost final : public Host {
 public:
  using DialogRunner = std::function<bool(DialogModel&, QWidget* parent)>;

  void SetParent(QWidget* parent) { parent_ = parent; }
  void SetBoxTitle(const QString& title) { title_ = title; }
  // Each dialog the engine may ask for is registered by its model's name.
  void RegisterDialog(const std::string& name, DialogRunner runner);

  void ShowMessage(BoxKind kind, const std::string& text) override;
  bool AskLineError(const std::string& text) override;
  bool AskVerifyMismatch(const std::string& text) override;
  bool AskConfirm(const std::string& text) override;
  std::optional<FileChoice> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<FileChoice> SaveFileDialog(const FileDialogRequest& request) override;
  bool RunDialog(DialogModel& model) override;
  void Wait(int milliseconds) override;
  void CloseMainWindow() override;
  void SetClipboardText(const std::string& text) override;

 private:
  std::optional<FileChoice> RunFileDialog(const FileDialogRequest& request, bool save);

  QWidget* parent_ = nullptr;
  QString title_;
  std::map<std::string, DialogRunner, std::less<>> dialogs_;
};

}  // namespace dravon::ui
