#include "persistence/project_file.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "chips/catalogue.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/info_list.h"
#include "core/main_window.h"
#include "images/checksums.h"
#include "link/commands.h"
#include "link/packet_codec.h"
#include "persistence/serial_numbers.h"

namespace dravon {
namespace {

constexpr char kMagic[] = "Velmor";
constexpr uint8_t kVersion = 2;
constexpr uint8_t kTextKey = 0x2E;
constexpr uint8_t kCfgTagKey = 0xC6;
constexpr uint8_t kMfmTagKey = 0x1D;
constexpr uint8_t kEepTagKey = 0xF5;

constexpr char kSaveTitle[] = "Save to DravonQ40xx Project File";
constexpr char kSaveFilter[] = "Dravonxx Project File(*.pmw)|*.pmw|All FIles(*.*)|*.*";
constexpr char kOpenTitle[] = "Open DravonQ40xx Project File";
constexpr char kOpenFilter[] = "Dravonxx Project Files(*.pmw)|*.pmw|All FIles(*.*)|*.*";

// The largest file a reader needs: the header and key table, every section at its largest with
// its chunk keys, the sum and the trailing bytes. Anything after that is never read.
constexpr size_t kMaxProjectFileSize = kProjectHeaderSize + kProjectKeyTableSize + 4 +
                                       kProjectCfgSize + 4 + kMainImageSize +
                                       kMainImageSize / kProjectChunk + 3 + 4 + 1 + kEepImageSize +
                                       kEepImageSize / kProjectChunk + 4 + kProjectTrailerSize;

struct ModelRow {
  uint8_t code;
  const char* name;
};

// Codes 15 and 31, 27 and 44, 35 and 45 are served by the same model.
constexpr ModelRow kModelNameTable[] = {
    {3, "DravonQ40AC3"},  {5, "DravonQ40AC5"},  {7, "DravonQ40AM7"},  {9, "DravonQ40HT9"},
    {11, "DravonQ40NX1"}, {13, "DravonQ40NX3"}, {15, "DravonQ40SM"},  {16, "DravonQ40GD"},
    {19, "DravonQ40MM9"}, {21, "DravonQ40FM1"}, {22, "DravonQ40FM2"}, {27, "DravonQ40CX"},
    {29, "DravonQ40HK9"}, {31, "DravonQ40SM"},  {32, "DravonQ40LP2"}, {35, "DravonQ40LAP"},
    {37, "DravonQ40AU7"}, {39, "DravonQ40MR9"}, {44, "DravonQ40CX"},  {45, "DravonQ40LAP"},
    {46, "DravonQ40IN6"}, {48, "DravonQ40TI8"}, {51, "DravonQ40ST1"}, {53, "DravonQ40ST3"},
    {54, "DravonQ40RN4"}, {57, "DravonQ40NV7"}, {61, "DravonQ40PY1"}, {83, "DravonQ40S83"},
    {85, "DravonQ40U85"},
};

// Every byte written up to the trailing sum counts into it, as written.
class Writer {
 public:
  explicit Writer(Random& random) : random_(random) {}

  void Byte(uint8_t b) {
    out_.push_back(b);
    sum_ += b;
  }
  void U16(uint16_t v) {
    Byte(static_cast<uint8_t>(v));
    Byte(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void Zero(size_t n) {
    for (size_t i = 0; i < n; ++i)
      Byte(0);
  }
  void Text(const std::string& text, size_t width) {
    const size_t n = std::min(text.size(), width);
    for (size_t i = 0; i < n; ++i)
      Byte(static_cast<uint8_t>(text[i]) ^ kTextKey);
    Zero(width - n);
  }
  void Tag(const char* tag, uint8_t key) {
    for (int i = 0; i < 3; ++i)
      Byte(static_cast<uint8_t>(tag[i]) ^ key);
  }
  uint8_t RandomByte() { return static_cast<uint8_t>(random_.Below(255)); }
  void KeyTable() {
    // The table holds one byte more than is stored; only its first 1,024 bytes are ever used.
    for (uint8_t& k : keys_)
      k = RandomByte();
    for (size_t i = 0; i < kProjectKeyTableSize; ++i)
      Byte(keys_[i]);
  }
  // Data under the key table and the section key, a fresh key after every 1,024 bytes.
  void Chunked(const uint8_t* data, size_t length) {
    uint8_t key = RandomByte();
    Byte(key);
    size_t i = 0;
    for (size_t n = 0; n < length; ++n) {
      Byte(data[n] ^ keys_[i] ^ key);
      if (++i == kProjectChunk) {
        key = RandomByte();
        Byte(key);
        i = 0;
      }
    }
  }
  std::vector<uint8_t> Finish() {
    const uint32_t sum = sum_;
    for (int i = 0; i < 4; ++i)
      out_.push_back(static_cast<uint8_t>(sum >> (8 * i)));
    for (size_t i = 0; i < kProjectTrailerSize; ++i)
      out_.push_back(RandomByte());
    return std::move(out_);
  }
  const std::array<uint8_t, kProjectKeyTableSize + 1>& keys() const { return keys_; }

 private:
  Random& random_;
  std::vector<uint8_t> out_;
  uint32_t sum_ = 0;
  std::array<uint8_t, kProjectKeyTableSize + 1> keys_{};
};

// Reads past the end yield zeros: the trailing sum then tells the file is short.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t Byte() {
    const uint8_t b = position_ < size_ ? data_[position_] : 0;
    ++position_;
    sum_ += b;
    return b;
  }
  uint16_t U16() {
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | (Byte() << 8));
  }
  uint32_t U32() {
    const uint32_t low = U16();
    return low | (static_cast<uint32_t>(U16()) << 16);
  }
  void Skip(size_t n) {
    for (size_t i = 0; i < n; ++i)
      Byte();
  }
  // A '.' is stored as 0x00 like the padding; a zero with more text after it inside the field
  // can only be a '.', so names keep their extensions.
  std::string Text(size_t width) {
    std::string raw(width, '\0');
    size_t length = 0;
    for (size_t i = 0; i < width; ++i) {
      raw[i] = static_cast<char>(Byte());
      if (raw[i] != 0) length = i + 1;
    }
    raw.resize(length);
    for (char& c : raw)
      c = static_cast<char>(static_cast<uint8_t>(c) ^ kTextKey);
    return raw;
  }
  bool Tag(const char* tag, uint8_t key) {
    bool same = true;
    for (int i = 0; i < 3; ++i)
      same = (static_cast<uint8_t>(Byte() ^ key) == static_cast<uint8_t>(tag[i])) && same;
    return same;
  }
  void Chunked(const uint8_t* keys, uint8_t* out, size_t length) {
    uint8_t key = Byte();
    size_t i = 0;
    for (size_t n = 0; n < length; ++n) {
      out[n] = Byte() ^ keys[i] ^ key;
      if (++i == kProjectChunk) {
        key = Byte();
        i = 0;
      }
    }
  }
  // The four bytes after the data, outside the sum.
  uint32_t TrailingSum() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i, ++position_) {
      const uint32_t b = position_ < size_ ? data_[position_] : 0;
      v |= b << (8 * i);
    }
    return v;
  }
  uint32_t sum() const { return sum_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  uint32_t sum_ = 0;
};

void Report(Station& s, const std::string& text) {
  AddInfoLine(s, text);
  // A project named on the command line loads without a box to click away.
  if (!s.app.autoProject) s.host.ShowMessage(BoxKind::Information, text);
}

void Commit(Station& s, const ProjectContents& p) {
  ChipProfile& c = s.chip;
  c.familyCode = p.familyCode;
  c.modelName = p.modelName;
  c.chipName = p.chipName;
  s.mainImage.fileName = p.fileName;
  s.sums.total = p.total;
  s.sums.fileAcc32 = p.fileAcc32;
  s.sums.eepFileAcc32 = p.eepFileAcc32;
  s.mainImage.fileStart = p.fileStart;
  s.mainImage.fileEnd = p.fileEnd;
  s.job.snGain = p.snGain;
  c.vendor = p.vendor;
  c.mainSize = p.mainSize;
  c.eepSize = p.eepSize;
  c.mainUsedSize = p.mainUsedSize;
  c.mainBase = p.mainBase;
  c.eepBase = p.eepBase;
  c.optionBase = p.optionBase;
  c.extraBase = p.extraBase;
  s.sums.mainSum = p.mainSum;
  s.sums.mainCrc = p.mainCrc;
  s.sums.eepSum = p.eepSum;
  s.sums.eepCrc = p.eepCrc;
  s.sums.optionSum = p.optionSum;
  s.sums.optionCrc = p.optionCrc;
  std::copy(p.block.begin(), p.block.end(), s.projectBlock.begin());
  // Beyond the stored lengths the images keep what they held.
  std::copy(p.main.begin(), p.main.end(), s.mainImage.bytes.begin());
  c.eepSizeSaved = p.eepSizeSaved;
  std::copy(p.eep.begin(), p.eep.end(), s.eepImage.begin());
}

}  // namespace

const char* ModelName(uint8_t familyCode) {
  for (const ModelRow& row : kModelNameTable) {
    if (row.code == familyCode) return row.name;
  }
  return "DravonQ40XXX";
}

int ParseProjectFile(const uint8_t* data, size_t size, ProjectContents& p) {
  Reader r(data, size);
  char magic[7] = {};
  for (int i = 0; i < 6; ++i)
    magic[i] = static_cast<char>(r.Byte());
  if (std::strcmp(magic, kMagic) != 0) return kProjectNotVelmor;

  p.version = r.Byte();
  p.familyCode = r.Byte();
  p.modelName = r.Text(16);
  p.chipName = r.Text(20);
  p.fileName = r.Text(48);
  r.Skip(32);
  p.total = r.U32();
  p.fileAcc32 = r.U32();
  p.eepFileAcc32 = r.U32();
  r.Skip(24);
  p.fileStart = r.U32();
  p.fileEnd = r.U32();
  p.snGain = r.U16();
  r.Skip(86);
  p.flags = r.Byte();
  p.vendor = r.Byte();
  p.mainSize = r.U32();
  p.eepSize = r.U32();
  p.mainUsedSize = r.U32();
  r.Skip(10);
  p.mainBase = r.U32();
  p.eepBase = r.U32();
  p.optionBase = r.U32();
  p.extraBase = r.U32();
  r.Skip(10);
  p.mainSum = static_cast<uint16_t>(r.U32());
  p.mainCrc = static_cast<uint16_t>(r.U32());
  p.eepSum = static_cast<uint16_t>(r.U32());
  p.eepCrc = static_cast<uint16_t>(r.U32());
  p.optionSum = static_cast<uint16_t>(r.U32());
  p.optionCrc = static_cast<uint16_t>(r.U32());
  r.Skip(24);
  std::array<uint8_t, kProjectKeyTableSize> keys{};
  for (uint8_t& k : keys)
    k = r.Byte();
  // A header asking for more than the images hold cannot be a good file.
  if (p.mainUsedSize > kMainImageSize) return kProjectCorrupted;

  int result = kProjectOk;
  p.block.assign(kProjectCfgSize, 0);
  if (!r.Tag("CFG", kCfgTagKey)) {
    result = kProjectNoCfg;
  } else {
    const uint8_t key = r.Byte();
    for (size_t i = 0; i < kProjectCfgSize; ++i)
      p.block[i] = r.Byte() ^ keys[i] ^ key;
  }
  p.main.clear();
  if (!r.Tag("MFM", kMfmTagKey)) {
    result = kProjectNoMfm;
  } else {
    p.main.resize(p.mainUsedSize);
    r.Chunked(keys.data(), p.main.data(), p.main.size());
  }
  p.eep.clear();
  p.eepSizeSaved = 0;
  if (!r.Tag("EEP", kEepTagKey)) {
    result = kProjectNoEep;
  } else {
    p.eepSizeSaved = r.U32();
    if (p.eepSizeSaved > kEepImageSize) return kProjectCorrupted;
    if (p.eepSizeSaved != 0) {
      p.eep.resize(p.eepSizeSaved);
      r.Chunked(keys.data(), p.eep.data(), p.eep.size());
    }
  }
  const uint32_t sum = r.sum();
  const uint32_t stored = r.TrailingSum();
  if (result != kProjectOk) return result;
  return stored == sum ? kProjectOk : kProjectCorrupted;
}

std::vector<uint8_t> BuildProjectFile(Station& s, uint8_t familyCode, uint8_t flags) {
  const ChipProfile& c = s.chip;
  const Checksums& sums = s.sums;
  Writer w(s.random);
  for (int i = 0; i < 6; ++i)
    w.Byte(static_cast<uint8_t>(kMagic[i]));
  w.Byte(kVersion);
  w.Byte(c.familyCode);
  w.Text(ModelName(familyCode), 16);
  w.Text(c.chipName, 20);
  w.Text(s.mainImage.fileName, 48);
  w.Zero(32);
  w.U32(sums.total);
  w.U32(sums.fileAcc32);
  w.U32(sums.eepFileAcc32);
  w.Zero(20);
  w.U32(s.job.maxCount);
  w.U32(s.mainImage.fileStart);
  w.U32(s.mainImage.fileEnd);
  w.U16(s.job.snGain);
  w.Zero(86);
  w.Byte(flags);
  w.Byte(c.vendor);
  w.U32(c.mainSize);
  w.U32(c.eepSize);
  const uint32_t used = std::min<uint32_t>(c.mainUsedSize, kMainImageSize);
  w.U32(used);
  w.Zero(10);
  w.U32(c.mainBase);
  w.U32(c.eepBase);
  w.U32(c.optionBase);
  w.U32(c.extraBase);
  w.Zero(10);
  w.U32(sums.mainSum);
  w.U32(sums.mainCrc);
  w.U32(sums.eepSum);
  w.U32(sums.eepCrc);
  w.U32(sums.optionSum);
  w.U32(sums.optionCrc);
  w.Zero(24);
  w.KeyTable();

  w.Tag("CFG", kCfgTagKey);
  const uint8_t key = w.RandomByte();
  w.Byte(key);
  // The job block is built in channel 0's packet area; what a running command left there stays.
  auto& packet = s.channels[0].packet;
  std::array<uint8_t, 8 + kJobBlockSize> kept{};
  std::copy_n(packet.begin(), kept.size(), kept.begin());
  BuildJobBlock(s, 0);
  std::array<uint8_t, kProjectCfgSize> block{};
  std::copy_n(packet.begin() + 8, kJobBlockSize, block.begin());
  std::copy(kept.begin(), kept.end(), packet.begin());
  for (size_t i = 0; i < kProjectCfgSize; ++i)
    w.Byte(block[i] ^ w.keys()[i] ^ key);

  w.Tag("MFM", kMfmTagKey);
  w.Chunked(s.mainImage.bytes.data(), used);

  w.Tag("EEP", kEepTagKey);
  const uint32_t eep = std::min<uint32_t>(c.eepSizeSaved, kEepImageSize);
  w.U32(eep);
  if (eep != 0) w.Chunked(s.eepImage.data(), eep);
  return w.Finish();
}

bool WriteProjectFile(Station& s, const std::string& path, uint8_t familyCode) {
  const uint8_t flags =
      static_cast<uint8_t>((s.window["ChkBoxSNDP"].checked ? kProjectSnDecimal : 0) |
                           (s.window["ChkBoxPCSN"].checked ? kProjectOnlineSn : 0) |
                           (s.chip.usesDriver ? kProjectUsesDriver : 0));
  const std::vector<uint8_t> bytes = BuildProjectFile(s, familyCode, flags);
  SafeFileWriter out(path);
  out.Write(bytes.data(), bytes.size());
  if (!out.Commit()) {
    s.host.ShowMessage(BoxKind::Error, Format(s.texts.fileWriteError, {path, out.error()}));
    return false;
  }
  const std::string text = s.texts.projectCreated + path;
  s.host.ShowMessage(BoxKind::Information, text);
  AddInfoLine(s, text);
  return true;
}

int ReadProjectFile(Station& s, const std::string& path, uint8_t* flags) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileStart(path, kMaxProjectFileSize, bytes, error)) {
    // A system error, not a verdict on the file: shown also for a command-line project.
    const std::string text = Format(s.texts.fileOpenError, {path, error});
    AddInfoLine(s, text);
    s.host.ShowMessage(BoxKind::Error, text);
    return kProjectUnreadable;
  }
  ProjectContents contents;
  const int result = ParseProjectFile(bytes.data(), bytes.size(), contents);
  if (result == kProjectNotVelmor) {
    Report(s, s.texts.projectNotVelmor);
  } else if (result != kProjectOk) {
    Report(s, s.texts.projectCorrupted);
  } else {
    Commit(s, contents);
    if (flags) *flags = contents.flags;
    Report(s, s.texts.projectOpenSuccess);
  }
  return result;
}

void ApplyProjectBlock(Station& s) {
  const uint8_t* b = s.projectBlock.data();
  ChipProfile& c = s.chip;
  JobOptions& j = s.job;
  Checksums& sums = s.sums;
  c.configByte1 = b[5];
  j.deviceAddress = b[6];
  c.familyCode = b[7];
  c.chipCode1 = b[8];
  c.chipCode2 = b[9];
  j.autoDetect = b[11];
  c.configByte8 = b[12];
  c.configByte9 = b[13];
  j.flags32 = b[36];
  j.flags33 = b[37];
  j.flags34 = b[38];
  j.flags35 = b[39];
  j.flags36 = b[40];
  j.flags37 = b[41];
  j.flags38 = b[42];
  j.flags39 = b[43];
  j.powerOnTime = b[44];
  j.powerDownTime = b[45];
  j.chipInTime = b[46];
  j.chipOutTime = b[47];
  c.sectorSize = GetU16(b + 48);
  c.configWord46 = GetU16(b + 50);
  sums.mainCrc = GetU16(b + 52);
  sums.mainSum = GetU16(b + 54);
  sums.eepCrc = GetU16(b + 56);
  sums.eepSum = GetU16(b + 58);
  sums.optionCrc = GetU16(b + 60);
  sums.optionSum = GetU16(b + 62);
  c.configByte64 = b[68];
  c.configByte65 = b[69];
  c.configWord66 = GetU16(b + 70);
  j.runTime = GetU16(b + 72);
  j.snFlags = b[84];
  j.snLength = b[85];
  j.maxCount = GetU32(b + 86);
  j.snAddress = GetU32(b + 92);
  j.snInitial = GetU32(b + 96);
  c.eepEnd = c.eepBase + c.eepSize - 1;
  c.mainEnd = c.mainBase + c.mainSize - 1;
  std::fill(s.optionImage.begin(), s.optionImage.end(), 0xFF);
  std::copy_n(b + 112, 128, s.optionImage.begin());
  if (c.chipCode1 == 0xC0) std::copy_n(b + 304, 128, s.optionImage.begin() + 128);
}

void ShowSettings(Station& s) {
  ChipProfile& c = s.chip;
  JobOptions& j = s.job;
  WindowModel& w = s.window;
  auto bit = [](uint32_t value, int n) { return ((value >> n) & 1) != 0; };
  c.imageOffset = c.mainBase & 0xFFFFF;
  c.blankIsZero = bit(j.flags33, 4) ? 1 : 0;
  w["RadioGpVolt"].index = j.flags33 & 3;
  w["ChkBoxBlkEr"].checked = bit(j.flags33, 3);
  w["RadioGrpRST"].index = j.flags34 & 3;
  w["ChkBoxVDD"].checked = !bit(j.flags34, 7);
  w["CheckBoxRun"].checked = bit(j.flags34, 2);
  w["RadioGrpSpdF"].index = bit(j.flags32, 4) ? 1 : 0;
  w["ChkBoxRunSHT"].checked = bit(j.flags32, 5);
  w["SpinEditRTM"].number = int64_t{j.runTime} * 10;
  j.programOption = bit(j.flags35, 6) ? 1 : 0;
  w["CheckBoxOpt"].checked = j.programOption != 0;
  // The job block tells the programmer to program the data flash by this bit; the download of
  // a command-line project must send that data flash too.
  j.programEep = bit(j.flags35, 3) ? 1 : 0;
  w["ChkBoxPrgEEP"].checked = j.programEep != 0;
  w["ChkBoxErsEEP"].checked = bit(j.flags36, 1);
  w["ChkBoxAuto"].checked = j.autoDetect != 0;
  w["SpinEditIn"].number = int64_t{j.chipInTime} * 30;
  w["SpinEditOut"].number = int64_t{j.chipOutTime} * 30;
  w["SpinEditVddTim"].number = int64_t{j.powerOnTime} * 10;
  w["SpinEditPWDTim"].number = int64_t{j.powerDownTime} * 10;
  w["SpinEditNum"].number = j.maxCount;
  w["CheckBoxCtrl"].checked = bit(j.snFlags, 6);
  w["CheckBoxSN"].checked = bit(j.snFlags, 0);
  w["SNOrderChk"].checked = bit(j.snFlags, 2);
  w["GainEdit"].text = Format("%d", {j.snGain});
  w["SNEdit1"].text =
      w["ChkBoxSNDP"].checked ? Format("%u", {j.snInitial}) : Format("0x%0.8x", {j.snInitial});
  w["AddrEdit"].text = Format("0x%0.8x", {j.snAddress});
  w["EditDevAdr"].text = Format("0x%0.2x", {j.deviceAddress});
  // The panel's enabling follows the restored boxes, as if they had been clicked.
  CheckBoxCtrlClick(s);
  ChkBoxAutoClick(s);
  CheckBoxSNClick(s);
}

int LoadProject(Station& s, const std::string& path) {
  AddInfoLine(s, Format(s.texts.projectLoading, {path}) + s.clock.ShortDate());
  uint8_t flags = 0;
  const int result = ReadProjectFile(s, path, &flags);
  if (result != kProjectOk) return result;
  s.app.fileLoaded = 1;
  s.app.chipSelected = 1;
  s.chip.usesDriver = (flags & kProjectUsesDriver) ? 1 : 0;
  s.window["ChkBoxPCSN"].checked = (flags & kProjectOnlineSn) != 0;
  s.window["ChkBoxSNDP"].checked = (flags & kProjectSnDecimal) != 0;
  ApplyProjectBlock(s);
  // The checksums and grids below read the image from this offset.
  s.chip.imageOffset = s.chip.mainBase & 0xFFFFF;
  SetMcuNameText(s, s.chip.chipName);
  ShowImageChecksums(s);
  ShowSettings(s);
  const size_t slash = s.mainImage.fileName.find_last_of("/\\");
  s.window.statusPanels[2] =
      slash == std::string::npos ? s.mainImage.fileName : s.mainImage.fileName.substr(slash + 1);
  s.window.statusPanels[0] = Format(s.texts.fileChecksumValue, {s.sums.fileAcc32});
  s.window.statusPanels[1] = Format(s.texts.chipChecksumValue, {s.sums.total});
  return kProjectOk;
}

void SavetoProjectFile1Click(Station& s) {
  FileDialogRequest request;
  request.title = kSaveTitle;
  request.filter = kSaveFilter;
  request.defaultExtension = "pmw";
  if (!s.app.chipSelected) {
    s.host.ShowMessage(BoxKind::Information, s.texts.selectChipFirst);
    return;
  }
  if (!s.app.fileLoaded) {
    s.host.ShowMessage(BoxKind::Information, s.texts.loadFileFirst);
    return;
  }
  const auto choice = s.host.SaveFileDialog(request);
  if (!choice) return;
  if (!GatherJobOptions(s)) return;
  WriteProjectFile(s, choice->path, s.chip.familyCode);
}

void SpdBtnLdPrjClick(Station& s) {
  FileDialogRequest request;
  request.title = kOpenTitle;
  request.filter = kOpenFilter;
  request.defaultExtension = "pmw";
  const auto choice = s.host.OpenFileDialog(request);
  if (choice) LoadProject(s, choice->path);
}

}  // namespace dravon
