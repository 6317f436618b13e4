#include "images/object_readers.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>

#include "core/file_io.h"
#include "core/format.h"
#include "core/hex_views.h"
#include "core/info_list.h"
#include "core/main_window.h"
#include "images/checksums.h"

namespace dravon {
namespace {

// Each character's value as a digit: letters count from 10 whatever their case and position in
// the alphabet, anything else counts its code minus '0'. No validation: a wrong character gives
// a wrong value, which the record checksum then rejects.
constexpr std::array<int8_t, 256> MakeNibbles() {
  std::array<int8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    int v = c - 48;
    if (c >= 'A' && c <= 'Z') v = c - 55;
    if (c >= 'a' && c <= 'z') v = c - 87;
    t[c] = static_cast<int8_t>(v);
  }
  return t;
}
constexpr std::array<int8_t, 256> kNibble = MakeNibbles();

bool RegionHas(uint32_t base, uint32_t end, uint32_t a) {
  if (base == 0xFFFFFFFF && end == 0xFFFFFFFF) return false;
  return a >= base && a <= end;
}

void Store(std::vector<uint8_t>& image, uint32_t index, const uint8_t* data, size_t count) {
  if (index >= image.size()) return;
  size_t n = std::min(count, image.size() - index);
  std::memcpy(image.data() + index, data, n);
}

// Decodes n bytes from the hex pairs at text[at..] and returns their 8-bit sum; the caller has
// checked the length. One pass: this is where a large file spends its time.
uint8_t DecodePairs(std::string_view text, size_t at, size_t n, uint8_t* out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
  unsigned sum = 0;
  for (size_t i = 0; i < n; ++i) {
    unsigned b = static_cast<uint8_t>(kNibble[p[2 * i]] * 16 + kNibble[p[2 * i + 1]]);
    out[i] = static_cast<uint8_t>(b);
    sum += b;
  }
  return static_cast<uint8_t>(sum);
}

uint32_t AddBytes(uint32_t sum, const uint8_t* bytes, size_t n) {
  for (size_t i = 0; i < n; ++i)
    sum += bytes[i];
  return sum;
}

using LineParser = uint8_t (*)(std::string_view, ReadState&, RecordPlacer&);

// Takes a file line by line: skips what is not a record, asks the line-error box for a failing
// one, and stops at Abort with the aborted line's addresses left out of the range.
class RecordLines {
 public:
  RecordLines(Host& host, const Texts& texts, RecordPlacer& placer, bool hex)
      : host_(host), texts_(texts), placer_(placer), hex_(hex) {
    result_.opened = true;
  }

  // False once reading has stopped.
  bool Line(std::string_view line) {
    ++lineNumber_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (hex_) {
      if (line.empty() || line == ":00000001FF" || line == ":00FFFF0101") return true;
    } else if (line.size() < 3) {
      return true;
    }
    const uint32_t startBefore = state_.start;
    const uint32_t endBefore = state_.end;
    uint8_t code = (hex_ ? ParseHexRecord : ParseSRecord)(line, state_, placer_);
    if (code == kLineOk) return true;
    if (host_.AskLineError(Format(texts_.lineDataError, {lineNumber_, code}))) return true;
    state_.start = startBefore;
    state_.end = endBefore;
    result_.aborted = true;
    return false;
  }

  // Splits text into lines; the part after the last line end is returned for the next piece.
  std::string_view Lines(std::string_view text) {
    size_t at = 0;
    while (!result_.aborted) {
      size_t stop = text.find('\n', at);
      if (stop == std::string_view::npos) return text.substr(at);
      Line(text.substr(at, stop - at));
      at = stop + 1;
    }
    return {};
  }

  TextFileResult Result() {
    result_.start = state_.start;
    result_.end = state_.end;
    result_.sum = state_.sum;
    return result_;
  }

 private:
  Host& host_;
  const Texts& texts_;
  RecordPlacer& placer_;
  bool hex_;
  ReadState state_;
  TextFileResult result_;
  int lineNumber_ = 0;
};

TextFileResult ReadText(Host& host, const Texts& texts, std::string_view text, RecordPlacer& placer,
                        bool hex) {
  RecordLines lines(host, texts, placer, hex);
  std::string_view rest = lines.Lines(text);
  if (!rest.empty() && !lines.Result().aborted) lines.Line(rest);
  return lines.Result();
}

// Reads the file a piece at a time, so a file of any size needs little memory; a line may be
// of any length.
TextFileResult ReadTextFile(Host& host, const Texts& texts, const std::string& path,
                            RecordPlacer& placer, bool hex) {
  errno = 0;
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (!in) {
    host.ShowMessage(BoxKind::Error, Format(texts.fileOpenError, {path, LastSystemError()}));
    return TextFileResult{};
  }
  RecordLines lines(host, texts, placer, hex);
  constexpr size_t kPiece = 256 * 1024;
  std::vector<char> buffer(kPiece);
  std::string carry;
  while (in && !lines.Result().aborted) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    std::string_view piece(buffer.data(), static_cast<size_t>(in.gcount()));
    if (piece.empty()) break;
    if (!carry.empty()) {
      // Finish the line that the last piece cut, then go on with this piece.
      size_t stop = piece.find('\n');
      if (stop == std::string_view::npos) {
        carry.append(piece);
        continue;
      }
      carry.append(piece.substr(0, stop));
      bool goOn = lines.Line(carry);
      carry.clear();
      if (!goOn) break;
      piece.remove_prefix(stop + 1);
    }
    carry.assign(lines.Lines(piece));
  }
  if (!carry.empty() && !lines.Result().aborted) lines.Line(carry);
  return lines.Result();
}

uint8_t BlankValue(const Station& s) {
  return s.chip.blankIsZero ? 0x00 : 0xFF;
}

// The report shown in the list and in a box at once.
void Report(Station& s, const std::string& text) {
  AddInfoLine(s, text);
  s.host.ShowMessage(BoxKind::Warning, text);
}

bool CanOpen(Station& s, const std::string& path) {
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (in) return true;
  s.host.ShowMessage(BoxKind::Error, Format(s.texts.fileOpenError, {path, LastSystemError()}));
  return false;
}

}  // namespace

uint8_t HexPairToByte(char high, char low) {
  return static_cast<uint8_t>(kNibble[static_cast<uint8_t>(high)] * 16 +
                              kNibble[static_cast<uint8_t>(low)]);
}

void FillImage(uint8_t* image, size_t count, uint8_t value) {
  if (count > 0) std::memset(image, value, count);
}

Region StationPlacer::Place(uint32_t a, const uint8_t* data, size_t count) {
  Station& s = station_;
  const ChipProfile& c = s.chip;
  if (RegionHas(c.optionBase, c.optionEnd, a)) {
    Store(s.optionImage, a - c.optionBase, data, count);
    s.chip.optionDataLoaded = 1;
    return Region::Option;
  }
  if (RegionHas(c.mainBase, c.mainEnd, a)) {
    Store(s.mainImage.bytes, a - c.mainBase, data, count);
    return Region::Main;
  }
  if (RegionHas(c.eepBase, c.eepEnd, a)) {
    Store(s.eepImage, a - c.eepBase, data, count);
    return Region::Eep;
  }
  if (RegionHas(c.extraBase, c.extraEnd, a)) {
    Store(s.extraImage, a - c.extraBase, data, count);
    return Region::Extra;
  }
  s.host.ShowMessage(BoxKind::Warning, Format(s.texts.addressOutOfChip, {a}));
  return Region::OutOfChip;
}

uint8_t ParseHexRecord(std::string_view line, ReadState& st, RecordPlacer& placer) {
  if (line.empty() || line[0] != ':') return kLineNoStart;
  if (line.size() < 9) return kLineChecksum;
  uint8_t head[4];
  uint8_t recordSum = DecodePairs(line, 1, 4, head);
  const uint8_t count = head[0];
  const uint8_t type = head[3];
  if (count == 0) return kLineOk;
  if (type == 0x02 || type == 0x04) {
    if (head[1] != 0 || head[2] != 0) return kLineBadAddressField;
    if (line.size() < 9 + 2 * 3) return kLineChecksum;
    uint8_t v[3];
    recordSum = static_cast<uint8_t>(recordSum + DecodePairs(line, 9, 3, v));
    uint32_t value = static_cast<uint32_t>(v[0]) << 8 | v[1];
    if (type == 0x02) {
      st.segment = value * 16;
    } else {
      st.upper = value * 65536;
    }
    return recordSum == 0 ? kLineOk : kLineChecksum;
  }
  if (type == 0x00) {
    if (line.size() < 9 + 2 * (static_cast<size_t>(count) + 1)) return kLineChecksum;
    uint8_t data[256];
    recordSum = static_cast<uint8_t>(recordSum + DecodePairs(line, 9, count + 1u, data));
    uint32_t a = st.upper + st.segment + (static_cast<uint32_t>(head[1]) << 8 | head[2]);
    Region region = placer.Place(a, data, count);
    st.sum = AddBytes(st.sum, data, count);
    if (region == Region::Main || region == Region::Eep || region == Region::Extra) {
      st.start = std::min(st.start, a);
      st.end = std::max(st.end, a + count - 1);
    }
    if (recordSum != 0) return kLineChecksum;
    return region == Region::OutOfChip ? kLineOutOfChip : kLineOk;
  }
  if (type == 0x01 || type == 0x03 || type == 0x05) return kLineOk;
  return kLineUnknownType;
}

uint8_t ParseSRecord(std::string_view line, ReadState& st, RecordPlacer& placer) {
  if (line.empty() || line[0] != 'S') return kLineNoStart;
  if (line.size() < 2) return kLineBadType;
  int type = line[1] - '0';
  if (type == 0 || type == 5 || type == 7 || type == 8 || type == 9) return kLineOk;
  if (type < 1 || type > 3) return kLineBadType;
  const size_t addressBytes = static_cast<size_t>(type) + 1;
  if (line.size() < 4) return kLineChecksum;
  const uint8_t count = HexPairToByte(line[2], line[3]);
  if (count < addressBytes + 1 || line.size() < 4 + 2 * static_cast<size_t>(count)) {
    return kLineChecksum;
  }
  uint8_t bytes[256];  // address, data, checksum
  const uint8_t bytesSum = DecodePairs(line, 4, count, bytes);
  uint32_t a = 0;
  for (size_t i = 0; i < addressBytes; ++i)
    a = a << 8 | bytes[i];
  const size_t dataCount = count - 1 - addressBytes;
  const uint8_t* data = bytes + addressBytes;
  uint8_t recordSum = static_cast<uint8_t>(count + bytesSum);
  if (dataCount > 0) {
    st.start = std::min(st.start, a);
    st.end = std::max(st.end, a + static_cast<uint32_t>(dataCount) - 1);
  }
  Region region = dataCount > 0 ? placer.Place(a, data, dataCount) : Region::Main;
  st.sum = AddBytes(st.sum, data, dataCount);
  if (recordSum != 0xFF) return kLineChecksum;
  return region == Region::OutOfChip ? kLineOutOfChip : kLineOk;
}

TextFileResult ReadHexText(Host& host, const Texts& texts, std::string_view text,
                           RecordPlacer& placer) {
  return ReadText(host, texts, text, placer, true);
}

TextFileResult ReadSRecordText(Host& host, const Texts& texts, std::string_view text,
                               RecordPlacer& placer) {
  return ReadText(host, texts, text, placer, false);
}

TextFileResult ReadHexFile(Host& host, const Texts& texts, const std::string& path,
                           RecordPlacer& placer) {
  return ReadTextFile(host, texts, path, placer, true);
}

TextFileResult ReadSRecordFile(Host& host, const Texts& texts, const std::string& path,
                               RecordPlacer& placer) {
  return ReadTextFile(host, texts, path, placer, false);
}

BinaryFileResult ReadBinaryFile(const std::string& path, uint8_t* destination, size_t cap) {
  BinaryFileResult r;
  errno = 0;
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (!in) {
    r.error = LastSystemError();
    return r;
  }
  r.opened = true;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  r.size = size > 0 ? static_cast<uint64_t>(size) : 0;
  size_t want = static_cast<size_t>(std::min<uint64_t>(r.size, cap));
  while (r.bytesRead < want) {
    size_t chunk = std::min<size_t>(4096, want - r.bytesRead);
    in.read(reinterpret_cast<char*>(destination + r.bytesRead),
            static_cast<std::streamsize>(chunk));
    size_t got = static_cast<size_t>(in.gcount());
    r.sum = AddBytes(r.sum, destination + r.bytesRead, got);
    r.bytesRead += got;
    if (got < chunk) break;
  }
  return r;
}

std::string UpperExtension(const std::string& path) {
  std::string ext = Utf8Path(path).extension().string();
  for (char& c : ext)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

void RunBinOffsetDialog(Station& s, uint32_t regionStart) {
  s.mainImage.binOffset = regionStart;
  BinOffsetModel model;
  model.caption = s.texts.binOffsetCaption;
  model.label = s.texts.binOffsetLabel;
  model.addressText = Format("0x%0.8x", {regionStart});
  if (!s.host.RunDialog(model)) return;
  auto value = ParseTypedNumber(s, model.addressText, IntegerWidth::Bits32);
  if (value) s.mainImage.binOffset = static_cast<uint32_t>(*value);
}

void ComputeMainUsedSize(Station& s) {
  const std::vector<uint8_t>& image = s.mainImage.bytes;
  const uint64_t b = s.chip.imageOffset;
  const uint8_t blank = BlankValue(s);
  const uint32_t size = s.chip.mainSize;
  uint32_t i = size;
  if (size >= 1024) {
    // The scan starts one byte past main flash: that byte lies inside the image, which is
    // 4 KiB larger than any chip's flash.
    while (i >= 1024) {
      uint64_t at = b + i;
      if (at < image.size() && image[at] != blank) break;
      --i;
    }
  }
  uint32_t used = (i | 0xFF) + 1;
  s.chip.mainUsedSize = std::min(used, size);
}

void LoadObjectFile(Station& s, const std::string& path) {
  const Texts& t = s.texts;
  const std::string ext = UpperExtension(path);
  const bool hex = ext == ".HEX";
  const bool srec = ext == ".S19" || ext == ".S37" || ext == ".MOT";
  const bool bin = ext == ".BIN";
  if ((hex || srec || bin) && !CanOpen(s, path)) return;

  AddPlainLine(s, "");
  s.app.fileLoaded = 1;
  StationPlacer placer(s);
  if (hex || srec) {
    TextFileResult r =
        hex ? ReadHexFile(s.host, t, path, placer) : ReadSRecordFile(s.host, t, path, placer);
    s.mainImage.fileStart = r.start;
    s.mainImage.fileEnd = r.end;
    s.sums.fileAcc32 = r.sum;
  } else if (bin) {
    const ChipProfile& c = s.chip;
    RunBinOffsetDialog(s, c.mainBase);
    const uint32_t offset = s.mainImage.binOffset;
    const uint64_t index = static_cast<uint64_t>(offset) - c.mainBase;
    if (offset < c.mainBase || index >= s.mainImage.bytes.size()) {
      s.app.fileLoaded = 0;
      Report(s, Format(t.binOffsetRefused, {offset}));
      return;
    }
    const bool withEep = (s.job.flags36 & 0x80) != 0;
    const uint32_t regionEnd = withEep ? c.eepEnd : c.mainEnd;
    uint64_t cap = static_cast<uint64_t>(regionEnd) - c.mainBase + 1;
    cap = std::min<uint64_t>(cap, s.mainImage.bytes.size() - index);
    BinaryFileResult r = ReadBinaryFile(path, s.mainImage.bytes.data() + index, cap);
    s.sums.fileAcc32 = r.sum;
    s.mainImage.loadedTop = static_cast<uint32_t>(r.size - 1);
    s.mainImage.fileStart = offset;
    s.mainImage.fileEnd = offset + static_cast<uint32_t>(r.bytesRead) - 1;
    const uint64_t mainBytes = static_cast<uint64_t>(c.mainEnd) - c.mainBase + 1;
    uint64_t limit = mainBytes;
    if (withEep && r.size > mainBytes) {
      uint64_t from = static_cast<uint64_t>(c.eepBase) - c.mainBase;
      size_t n = std::min<size_t>(c.eepSize, s.eepImage.size());
      if (from < s.mainImage.bytes.size()) {
        n = std::min<size_t>(n, s.mainImage.bytes.size() - from);
        std::memcpy(s.eepImage.data(), s.mainImage.bytes.data() + from, n);
      }
      limit = static_cast<uint64_t>(c.eepEnd) - c.mainBase + 1;
    }
    if (r.size > limit) Report(s, t.outOfFlashSpace);
  } else {
    s.app.fileLoaded = 0;
    Report(s, t.formatError);
  }

  if (s.chip.vendor == 3) {
    s.sums.fileCrc32 =
        Crc32(s.mainImage.bytes, s.mainImage.fileStart & 0xFFFFF, s.mainImage.fileEnd & 0xFFFFF);
    AddInfoLine(s, Format(t.fileCrc32, {s.sums.fileCrc32}));
  }
  if (!s.app.fileLoaded) return;
  ComputeMainUsedSize(s);
  AddPlainLine(s, "");
  AddInfoLine(s, Format(t.fileStartAddress, {s.mainImage.fileStart}));
  AddInfoLine(s, Format(t.fileEndAddress, {s.mainImage.fileEnd}));
  AddInfoLine(s, Format(t.fileAcc32, {s.sums.fileAcc32}));
  AddInfoLine(s, Format(t.programmedSize, {s.chip.mainUsedSize, s.chip.mainUsedSize - 1}));
  ShowImageChecksums(s);
}

void LoadEepFile(Station& s, const std::string& path) {
  const Texts& t = s.texts;
  const std::string ext = UpperExtension(path);
  const bool hex = ext == ".HEX";
  const bool srec = ext == ".S19" || ext == ".MOT";
  const bool bin = ext == ".BIN";
  if (!hex && !srec && !bin) {
    Report(s, t.formatError);
    return;
  }
  uint32_t start = 0;
  uint32_t end = 0;
  if (hex || srec) {
    StationPlacer placer(s);
    TextFileResult r =
        hex ? ReadHexFile(s.host, t, path, placer) : ReadSRecordFile(s.host, t, path, placer);
    if (!r.opened) return;
    start = r.start;
    end = r.end;
    s.sums.eepFileAcc32 = r.sum;
  } else {
    if (!CanOpen(s, path)) return;
    const ChipProfile& c = s.chip;
    RunBinOffsetDialog(s, c.eepBase);
    const uint32_t offset = s.mainImage.binOffset;
    const uint32_t index = (offset - c.eepBase) & 0xFFFF;
    if (offset < c.eepBase || offset - c.eepBase > 0xFFFF) {
      Report(s, Format(t.binOffsetRefused, {offset}));
      return;
    }
    size_t cap = std::min<size_t>(c.eepSize, s.eepImage.size() - index);
    BinaryFileResult r = ReadBinaryFile(path, s.eepImage.data() + index, cap);
    s.sums.eepFileAcc32 = r.sum;
    start = offset;
    end = offset + static_cast<uint32_t>(r.bytesRead) - 1;
    if (r.size > static_cast<uint64_t>(c.eepEnd) - c.eepBase + 1) Report(s, t.outOfEepSpace);
  }
  AddPlainLine(s, "");
  s.window["ChkBoxErsEEP"].checked = true;
  AddInfoLine(s, Format(t.eepFileStartAddress, {start}));
  AddInfoLine(s, Format(t.eepFileEndAddress, {end}));
  AddInfoLine(s, Format(t.eepFileAcc32, {s.sums.eepFileAcc32}));
  ShowEepChecksum(s);
  FillDataFlashView(s);
}

}  // namespace dravon
