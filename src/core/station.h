// The one set of records the whole program works on: ten channels with their fixed buffers,
// the memory images, the selected chip, the job options, the checksums and the run state.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/fixed_sn_model.h"
#include "core/hex_views.h"
#include "core/info_list.h"
#include "core/platform.h"
#include "core/window_model.h"
#include "texts/texts.h"

namespace dravon {

inline constexpr int kChannelCount = 10;
// Largest packet: 8-byte header, 4,176 payload bytes, a driver fragment and the CRC.
inline constexpr size_t kPacketSize = 6144;
// A frame whose every byte is escaped: two delimiters, five tail bytes.
inline constexpr size_t kFrameSize = 2 * kPacketSize + 7;
// The port delivers at most this much per receive event.
inline constexpr size_t kMaxChunk = 2048;
// One whole frame still waiting for its end, plus one more chunk.
inline constexpr size_t kRxBufferSize = kFrameSize + kMaxChunk;

inline constexpr size_t kMainImageSize = 4198400;  // 4 MiB + 4 KiB
inline constexpr size_t kEepImageSize = 65536;
inline constexpr size_t kExtraImageSize = 8192;
inline constexpr size_t kOptionImageSize = 8192;
inline constexpr size_t kFlashDriverSize = 16384;
inline constexpr size_t kFirmwareBufferSize = 65536;
inline constexpr size_t kProjectBlockSize = 4096;

// Which reply a channel waits for.
enum class ChannelState : uint8_t {
  DownloadJob = 3,
  DownloadMain = 5,
  DownloadEep = 6,
  DownloadDriver = 15,
  BlankCheck = 16,
  Erase = 21,
  ProgramMain = 25,
  ProgramEep = 26,
  WriteOption = 31,
  VerifyMain = 32,
  VerifyEep = 35,
  ReadMain = 37,
  ReadEep = 38,
  ReadChecksum = 42,
  ReadOption = 44,
  VerifyMainInProgrammer = 49,
  VerifyEepInProgrammer = 50,
  ReadChipInfo = 53,
  ReadAddress = 58,
  FirmwareUpgrade = 0xA0,
  Idle = 0xF0,
};

enum class GaugeColour : uint8_t { Blue, Red };

// A channel's progress bar.
struct Gauge {
  int32_t value = 0;
  int32_t maximum = 100;
  GaugeColour colour = GaugeColour::Blue;
};

struct Channel {
  SerialPort* port = nullptr;
  Gauge gauge;
  uint16_t rxCount = 0;
  uint16_t timeoutTicks = 200;
  ChannelState state = ChannelState::Idle;
  uint16_t totalBlocks = 0;
  uint16_t blockIndex = 0;
  uint8_t upgrading = 0;
  uint8_t found = 0;
  uint8_t autoSequence = 0;
  uint8_t busy = 0;
  uint8_t tickProgress = 0;
  int32_t okCount = 0;
  int32_t ngCount = 0;
  // The outgoing packet is built here (header at 0, payload at 8); the unstuffed reply is
  // written back into it, so a reply replaces the command that caused it.
  std::array<uint8_t, kPacketSize> packet{};
  std::array<uint8_t, kFrameSize> txFrame{};
  std::array<uint8_t, kFrameSize> rxFrame{};
  std::array<uint8_t, kRxBufferSize> rxBuffer{};
};

struct AppState {
  std::string programDir;  // with a trailing separator
  uint8_t channelCount = 1;
  uint8_t devicesFound = 0;
  uint8_t downloadsDone = 0;
  uint8_t chipSelected = 0;
  uint8_t fileLoaded = 0;
  uint8_t connectPending = 0;
  uint8_t unattended = 0;
  uint8_t autoProject = 0;
  uint8_t upgradePending = 0;
  uint8_t firmwareValid = 0;
  std::string projectPath;
  std::string modeArg;
  uint8_t optionEdited = 0;
  // The operator already agreed to leave while programmers were working.
  uint8_t exitConfirmed = 0;
  // Timer2 runs until every listed port has answered.
  uint8_t timer2Enabled = 0;
  // "--all-vendors": the chip dialog offers every vendor's list.
  uint8_t allVendors = 0;
  // The positional command-line arguments: the project file, then the mode ("OFF").
  std::vector<std::string> arguments;
  // The command-line project was loaded and its download started; a later search (a manual
  // one, or after firmware upgrades) does not start it again.
  uint8_t projectStarted = 0;
  // Unattended: "Download Success" is in ResDW.Txt; the program's exit status is 0.
  uint8_t downloadReported = 0;
  // Unattended: Timer1 ticks spent waiting for the programmers before the download began.
  uint32_t waitTicks = 0;
};

// Chip address A of a range lies at A minus the start of the range.
struct MainImage {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(kMainImageSize, 0xFF);
  // Facts of the last load.
  uint32_t fileStart = 0;
  uint32_t fileEnd = 0;
  uint32_t loadedTop = 0;
  uint32_t binOffset = 0;
  std::string fileName;
};

struct FlashDriver {
  std::vector<uint8_t> buffer = std::vector<uint8_t>(kFlashDriverSize, 0xFF);
  std::string path;
  uint16_t sizePlusOne = 0;
};

struct FirmwareFile {
  std::vector<uint8_t> buffer = std::vector<uint8_t>(kFirmwareBufferSize, 0);
  std::string version;  // 8 characters
  uint16_t imageLength = 0;
  uint16_t endAddress = 0;
  uint16_t startAddress = 0;
};

struct ChipProfile {
  std::string chipName;
  std::string modelName = "DravonQ40XX";
  uint8_t vendor = 0;  // 0 AutoChip, 1 Indie, 2 LAPIS, 3 AUCUiC, 4 Shanghai Meiren
  uint8_t familyCode = 'U';
  uint8_t chipCode1 = 0;  // 0xC0 selects the long option-data format
  uint8_t chipCode2 = 0;
  uint32_t mainSize = 0x20000;
  uint32_t eepSize = 0;
  uint32_t mainUsedSize = 0x20000;
  uint32_t eepSizeSaved = 0;
  uint16_t sectorSize = 1024;
  uint16_t configWord46 = 0;
  uint8_t blankIsZero = 0;
  uint8_t usesDriver = 0;
  uint8_t verifyInProgrammer = 0;
  uint32_t imageOffset = 0;
  uint32_t mainBase = 0;
  uint32_t mainEnd = 0;
  uint32_t eepBase = 0;
  uint32_t eepEnd = 0;
  uint32_t extraBase = 0;  // all-ones: no extra range
  uint32_t extraEnd = 0;
  uint32_t optionBase = 0x1FFFF800;  // all-ones: no option range
  uint32_t optionEnd = 0;
  uint8_t configByte1 = 0;
  uint8_t configByte8 = 0;
  uint8_t configByte9 = 0;
  uint8_t configByte64 = 0;
  uint8_t configByte65 = 0;
  uint16_t configWord66 = 0;
  uint8_t optionDataLoaded = 0;
};

struct JobOptions {
  uint8_t flags32 = 0;
  uint8_t flags33 = 0;
  uint8_t flags34 = 0;
  uint8_t flags35 = 0;
  uint8_t flags36 = 0;
  uint8_t flags37 = 0;
  uint8_t flags38 = 0;
  uint8_t flags39 = 0;
  uint8_t powerOnTime = 10;    // 10 ms units
  uint8_t powerDownTime = 10;  // 10 ms units
  uint8_t chipInTime = 17;     // 30 ms units
  uint8_t chipOutTime = 17;    // 30 ms units
  uint16_t runTime = 0;        // 10 ms units
  uint8_t autoDetect = 0;      // 15 when auto start is on
  uint8_t deviceAddress = 0;
  uint8_t programEep = 0;
  uint8_t programOption = 0;
  uint8_t snFlags = 0;  // bit 0 enabled, bit 2 big-endian, bit 6 limit the count
  uint8_t snLength = 0;
  uint32_t maxCount = 0;
  uint16_t snGain = 0;
  uint32_t snInitial = 0;
  uint32_t snAddress = 0xFFFFFF;
};

struct Checksums {
  uint16_t mainCrc = 0;
  uint16_t mainSum = 0;
  uint16_t eepCrc = 0;
  uint16_t eepSum = 0;
  uint16_t optionCrc = 0;
  uint16_t optionSum = 0;
  uint32_t fileAcc32 = 0;
  uint32_t fileCrc32 = 0;
  uint32_t main32 = 0;
  uint32_t eep32 = 0;
  uint32_t total = 0;
  uint32_t eepFileAcc32 = 0;
};

struct ReadRequest {
  uint32_t address = 0;  // multiple of 16
  uint16_t length = 64;
};

// Where the log goes when the program ends (the state of the log dialog).
struct LogConfig {
  bool enabled = true;   // "Generate Log File "
  int creationMode = 0;  // 0 system file, 1 customer file
  int customerMode = 0;  // 0 create new, 1 overwrite, 2 append
  std::string customerFile = "QuelarxX.log";
};

// The outside world one station is bound to.
struct Platform {
  Host& host;
  Clock& clock;
  Random& random;
  PortEnumerator& portEnumerator;
  std::array<SerialPort*, kChannelCount> ports{};
};

struct Station {
  Station(const Platform& platform, const Texts& texts);
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  const Texts& texts;
  Host& host;
  Clock& clock;
  Random& random;
  PortEnumerator& portEnumerator;
  std::array<SerialPort*, kChannelCount> portSlots;

  std::array<Channel, kChannelCount> channels;
  AppState app;
  MainImage mainImage;
  std::vector<uint8_t> eepImage = std::vector<uint8_t>(kEepImageSize, 0xFF);
  std::vector<uint8_t> extraImage = std::vector<uint8_t>(kExtraImageSize, 0x00);
  std::vector<uint8_t> optionImage = std::vector<uint8_t>(kOptionImageSize, 0x00);
  FlashDriver flashDriver;
  FirmwareFile firmware;
  std::vector<uint8_t> projectBlock = std::vector<uint8_t>(kProjectBlockSize, 0);
  ChipProfile chip;
  JobOptions job;
  Checksums sums;
  ReadRequest readRequest;

  LogConfig logConfig;
  FixedSnModel fixedSn;

  InfoList info;
  WindowModel window;
  HexView mainView;
  HexView eepView;
};

// Creates a station on the heap: its buffers are too large for a stack.
std::unique_ptr<Station> MakeStation(const Platform& platform, const Texts& texts);

// Image contents and chip defaults; called once at start-up, before ResetChannelTable.
void ResetChipDefaults(Station& station);
// Channel and scalar defaults, and each channel bound to its port; called once at start-up.
void ResetChannelTable(Station& station);

}  // namespace dravon
