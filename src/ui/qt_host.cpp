#include "ui/qt_host.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QThread>

namespace dravon::ui {

QString ToQt(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

std::string FromQt(const QString& text) { return text.toUtf8().toStdString(); }

void QtHost::RegisterDialog(const std::string& name, DialogRunner runner) {
  dialogs_[name] = std::move(runner);
}

void QtHost::ShowMessage(BoxKind kind, const std::string& text) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (kind) {
    case BoxKind::Information:
      icon = QMessageBox::Information;
      break;
    case BoxKind::Warning:
      icon = QMessageBox::Warning;
      break;
    case BoxKind::Error:
      icon = QMessageBox::Critical;
      break;
    case BoxKind::Plain:
      break;
  }
  QMessageBox box(icon, title_, ToQt(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtHost::AskLineError(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, title_, ToQt(text), QMessageBox::Ok | QMessageBox::Abort,
                  parent_);
  return box.exec() == QMessageBox::Ok;
}

bool QtHost::AskVerifyMismatch(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, title_, ToQt(text), QMessageBox::Yes | QMessageBox::Abort,
                  parent_);
  return box.exec() == QMessageBox::Yes;
}

bool QtHost::AskConfirm(const std::string& text) {
  QMessageBox box(QMessageBox::Question, title_, ToQt(text), QMessageBox::Yes | QMessageBox::No,
                  parent_);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<FileChoice> QtHost::OpenFileDialog(const FileDialogRequest& request) {
  return RunFileDialog(request, false);
}

std::optional<FileChoice> QtHost::SaveFileDialog(const FileDialogRequest& request) {
  return RunFileDialog(request, true);
}

std::optional<FileChoice> QtHost::RunFileDialog(const FileDialogRequest& request, bool save) {
  // "Text(*.a)|*.a;*.b|All(*.*)|*.*" becomes Qt's "Text(*.a) (*.a *.b)" entries.
  QStringList parts = ToQt(request.filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    filters << parts[i] + " (" + patterns + ")";
  }
  QFileDialog dialog(parent_, ToQt(request.title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (request.filterIndex > 0 && request.filterIndex < filters.size()) {
      dialog.selectNameFilter(filters[request.filterIndex]);
    }
  }
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(ToQt(request.defaultExtension));
  if (!request.initialPath.empty()) dialog.selectFile(ToQt(request.initialPath));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  FileChoice choice;
  choice.path = FromQt(dialog.selectedFiles().first());
  choice.filterIndex = std::max<int>(0, int(filters.indexOf(dialog.selectedNameFilter())));
  return choice;
}

bool QtHost::RunDialog(DialogModel& model) {
  auto it = dialogs_.find(model.DialogName());
  if (it == dialogs_.end()) {
    qWarning("no dialog registered for model %.*s", int(model.DialogName().size()),
             model.DialogName().data());
    return false;
  }
  return it->second(model, parent_);
}

void QtHost::Wait(int milliseconds) {
  if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtHost::CloseMainWindow() {
  if (parent_) parent_->close();
}

void QtHost::SetClipboardText(const std::string& text) {
  QApplication::clipboard()->setText(ToQt(text));
}

}  // namespace dravon::ui
