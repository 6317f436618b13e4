#include "images/load_save.h"

#include <filesystem>
#include <fstream>

#include "core/file_io.h"
#include "core/format.h"
#include "core/info_list.h"
#include "images/object_readers.h"
#include "images/object_writers.h"

namespace dravon {
namespace {

const char kOpenFilter[] =
    "All Files (*.*)|*.*|All Binary Files (*.Bin)|*.Bin|All Intel Hex Files (*.Hex)|*.Hex|"
    "All Motorola Hex Files(*.S19)|*.S19;|All Hex/Binary Files (*.Hex,*.S1*,*.Bin)|"
    "*.Hex;*.S1*;*.Bin";
const char kOpenEepFilter[] =
    "All Binary Files (*.Bin)|*.bin|All Object Files(*.S19,*.HEX)|*.S19;*.HEX|"
    "All Hex/Binary Files (*.HEX,*.S1*,*.Bin)|*.Hex;*.S1*;*.Bin";
const char kSaveFilter[] =
    "All Binary Files(*.BIN)|*.BIN|Intel Hex Files(*.HEX)|*.HEX|"
    "Motorola S-record Files(*.mot)|*.S19";

bool ChipGuard(Station& s) {
  if (s.app.chipSelected) return true;
  s.host.ShowMessage(BoxKind::Information, s.texts.selectChipFirst);
  return false;
}

uint8_t Blank(const Station& s) { return s.chip.blankIsZero ? 0x00 : 0xFF; }

std::optional<std::string> AskObjectFile(Station& s) {
  FileDialogRequest request;
  request.filter = kOpenFilter;
  request.defaultExtension = "BIN";
  request.filterIndex = 4;
  auto choice = s.host.OpenFileDialog(request);
  if (!choice) return std::nullopt;
  return choice->path;
}

// A file that cannot be read changes nothing: checked before the images are cleared.
bool Readable(Station& s, const std::string& path) {
  errno = 0;
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (in) return true;
  s.host.ShowMessage(BoxKind::Error, Format(s.texts.fileOpenError, {path, LastSystemError()}));
  return false;
}

void ReportWrite(Station& s, const std::string& path, const std::string& error) {
  if (!error.empty()) s.host.ShowMessage(BoxKind::Error, Format(s.texts.fileWriteError, {path, error}));
}

}  // namespace

void FileOpenBtnClick(Station& s) {
  if (!ChipGuard(s)) return;
  auto path = AskObjectFile(s);
  if (!path || !Readable(s, *path)) return;
  AddInfoLine(s, Format(s.texts.fileHasBeenLoaded, {*path}));
  FillImage(s.eepImage.data(), s.eepImage.size(), Blank(s));
  FillImage(s.mainImage.bytes.data(), s.mainImage.bytes.size(), Blank(s));
  s.window.statusPanels[2] = *path;
  s.mainImage.fileName = Utf8Path(*path).filename().string();
  LoadObjectFile(s, *path);
}

void SpdBtnLoadMoreClick(Station& s) {
  if (!ChipGuard(s)) return;
  auto path = AskObjectFile(s);
  if (!path || !Readable(s, *path)) return;
  AddInfoLine(s, Format(s.texts.fileHasBeenLoaded, {*path}));
  LoadObjectFile(s, *path);
}

void LoadEepDataFile1Click(Station& s) {
  if (!ChipGuard(s)) return;
  FileDialogRequest request;
  request.filter = kOpenEepFilter;
  request.defaultExtension = "bin";
  auto choice = s.host.OpenFileDialog(request);
  if (!choice || !Readable(s, choice->path)) return;
  size_t n = std::min<size_t>(s.chip.eepSize, s.eepImage.size());
  FillImage(s.eepImage.data(), n, Blank(s));
  AddInfoLine(s, Format(s.texts.eepFileHasBeenLoaded, {choice->path}));
  LoadEepFile(s, choice->path);
}

void FileSaveBtnClick(Station& s) {
  if (!s.app.fileLoaded) return;
  FileDialogRequest request;
  request.filter = kSaveFilter;
  request.defaultExtension = "bin";
  auto choice = s.host.SaveFileDialog(request);
  if (!choice) return;
  const ChipProfile& c = s.chip;
  const std::vector<uint8_t>& image = s.mainImage.bytes;
  std::string error;
  if (choice->filterIndex == 1) {
    error = WriteHexFile(choice->path, image, c.mainBase - c.imageOffset, c.mainBase, c.mainEnd);
  } else if (choice->filterIndex == 2) {
    error = WriteSRecordFile(choice->path, image, c.mainBase - c.imageOffset, c.mainBase, c.mainEnd);
  } else {
    error = WriteBinaryFile(choice->path, image, c.imageOffset,
                            uint64_t{c.imageOffset} + c.mainEnd - c.mainBase);
  }
  ReportWrite(s, choice->path, error);
}

void SaveEepDatatoFile1Click(Station& s) {
  FileDialogRequest request;
  request.filter = kSaveFilter;
  request.defaultExtension = "bin";
  auto choice = s.host.SaveFileDialog(request);
  if (!choice) return;
  std::string error;
  if (s.chip.eepSize == 0) {
    error = WriteBinaryFile(choice->path, s.eepImage, 1, 0);
  } else {
    error = WriteBinaryFile(choice->path, s.eepImage, 0, s.chip.eepSize - 1);
  }
  ReportWrite(s, choice->path, error);
}

}  // namespace dravon
