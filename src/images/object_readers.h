// Object files into the memory images: Intel HEX, Motorola S-record and raw binary readers, the
// two load procedures, and the used size of main flash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/platform.h"
#include "core/station.h"

namespace dravon {

enum class Region : uint8_t { Option, Main, Eep, Extra, OutOfChip };

// Where the data of a record goes: placed by its first address alone.
class RecordPlacer {
 public:
  virtual ~RecordPlacer() = default;
  virtual Region Place(uint32_t address, const uint8_t* data, size_t count) = 0;
};

// Places records into the station's images by the chip's regions; a record out of chip shows
// the address message.
class StationPlacer final : public RecordPlacer {
 public:
  explicit StationPlacer(Station& station) : station_(station) {}
  Region Place(uint32_t address, const uint8_t* data, size_t count) override;

 private:
  Station& station_;
};

// The in/out values of one file read.
struct ReadState {
  uint32_t upper = 0;    // HEX type 04
  uint32_t segment = 0;  // HEX type 02
  uint32_t start = 0xFFFFFFFF;
  uint32_t end = 0;
  uint32_t sum = 0;
};

inline constexpr uint8_t kLineOk = 0;
inline constexpr uint8_t kLineNoStart = 1;
inline constexpr uint8_t kLineBadType = 2;
inline constexpr uint8_t kLineBadAddressField = 3;
inline constexpr uint8_t kLineChecksum = 4;
inline constexpr uint8_t kLineUnknownType = 5;
inline constexpr uint8_t kLineOutOfChip = 7;

uint8_t HexPairToByte(char high, char low);
void FillImage(uint8_t* image, size_t count, uint8_t value);

uint8_t ParseHexRecord(std::string_view line, ReadState& state, RecordPlacer& placer);
uint8_t ParseSRecord(std::string_view line, ReadState& state, RecordPlacer& placer);

// Reading a whole text file; each failing line asks the line-error box (OK goes on, Abort
// stops). False when the file could not be read (error box already shown).
struct TextFileResult {
  bool opened = false;
  bool aborted = false;
  uint32_t start = 0xFFFFFFFF;
  uint32_t end = 0;
  uint32_t sum = 0;
};
TextFileResult ReadHexFile(Host& host, const Texts& texts, const std::string& path,
                           RecordPlacer& placer);
TextFileResult ReadSRecordFile(Host& host, const Texts& texts, const std::string& path,
                               RecordPlacer& placer);
// The same over text already in memory (the whole file).
TextFileResult ReadHexText(Host& host, const Texts& texts, std::string_view text,
                           RecordPlacer& placer);
TextFileResult ReadSRecordText(Host& host, const Texts& texts, std::string_view text,
                               RecordPlacer& placer);

// Raw binary: at most cap bytes into destination. size is the file's length.
struct BinaryFileResult {
  bool opened = false;
  std::string error;
  uint64_t size = 0;
  size_t bytesRead = 0;
  uint32_t sum = 0;
};
BinaryFileResult ReadBinaryFile(const std::string& path, uint8_t* destination, size_t cap);

// The main load (object file into the images) and the data-flash load.
void LoadObjectFile(Station& station, const std::string& path);
void LoadEepFile(Station& station, const std::string& path);
void ComputeMainUsedSize(Station& station);

// TFormOfsAddr: the address at which a binary file is placed.
struct BinOffsetModel final : DialogModel {
  std::string_view DialogName() const override { return "TFormOfsAddr"; }
  std::string caption;
  std::string label;
  std::string addressText;  // EditOfsAddr
};
// Shows the dialog with the region start preset into MainImage.binOffset; OK stores the typed
// address there (a text that does not parse leaves the region start).
void RunBinOffsetDialog(Station& station, uint32_t regionStart);

// The file's extension, upper-cased, with its dot (".HEX").
std::string UpperExtension(const std::string& path);

}  // namespace dravon
