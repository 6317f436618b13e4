// A simulated DravonQ40LAP programmer unit: it takes the PC's frames, checks them strictly, and
// answers as a unit does, with a simulated target chip, a boot loader for firmware upgrades,
// off-line programming with status reports, and faults that can be switched on by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace dravon::sim {

enum class Fault : uint8_t {
  NoReply,           // answers nothing
  ReplyDelay,        // answers after UnitOptions::replyDelayMs
  WrongCrc,          // every reply's CRC is off
  BadEscape,         // every reply holds an escape byte followed by a wrong byte
  OneByteChunks,     // the bytes reach the PC one at a time
  Noise,             // bytes without a delimiter before every frame
  Garbage,           // 9 KiB without a frame after every command
  VerifyDifference,  // the chip keeps a wrong byte at UnitOptions::differenceAt
  ProtectedChip,     // blank check answers UnitOptions::protectCode until erased
  NotBlank,          // the chip holds data before the first erase
  BadStatusReport,   // status reports carry a wrong check byte
  HangUp,            // the unit goes away after UnitOptions::hangUpAfter commands
};

struct UnitOptions {
  std::string version = "V1.06";         // application firmware version
  std::string identity;                  // when set, answers the probe with this text instead
  bool bootLoader = false;               // starts in its boot loader
  std::string upgradeVersion = "V1.06";  // the version after a firmware upgrade
  double replyDelayMs = 0;
  uint8_t protectCode = 16;
  uint32_t differenceAt = 0;  // main flash offset of VerifyDifference
  int hangUpAfter = 3;        // commands before HangUp strikes
  bool pace = false;          // send at the wire rate of 1 Mbaud 8N2
  int offlineChips = 3;       // chips programmed after StartOffline
  int offlineFailEvery = 0;   // every n-th off-line chip fails (0: none)
  uint32_t seed = 1;
};

// What the unit was told, for tests to look at.
struct JobRecord {
  bool received = false;
  bool blockGood = false;
  std::vector<uint8_t> block;  // the descrambled 512-byte job block
  uint32_t snInitial = 0;
  uint16_t snStep = 0;
};

class Unit {
 public:
  static constexpr double kBytesPerMs = 1000000.0 / 11.0 / 1000.0;  // 8N2 at 1 Mbaud

  explicit Unit(UnitOptions options = {});

  void SetFault(Fault fault, bool on);
  bool HasFault(Fault fault) const;

  // Bytes from the PC, in any pieces.
  void Receive(const uint8_t* bytes, size_t length);
  // Moves the unit's clock on (milliseconds); off-line programming runs with it.
  void Advance(double nowMs);
  // Bytes that have left the unit by its clock, at most max. With a packet size, bytes are
  // handed over as a USB adapter does: whole packets, and the rest of a reply once all of it
  // has crossed the wire.
  std::vector<uint8_t> TakeOutput(size_t max, size_t packet = 0);
  // When TakeOutput(…, packet) will next have bytes to hand over; negative when nothing is queued.
  double NextDeliveryMs(size_t packet) const;
  bool HungUp() const { return hungUp_; }
  bool InBootLoader() const { return boot_; }

  // The simulated chip and what the unit received.
  std::vector<uint8_t>& ChipMain() { return chipMain_; }
  std::vector<uint8_t>& ChipEep() { return chipEep_; }
  std::vector<uint8_t>& ChipOption() { return chipOption_; }
  const JobRecord& Job() const { return job_; }
  const std::vector<uint8_t>& DownloadedMain() const { return downloadMain_; }
  const std::vector<uint8_t>& DownloadedEep() const { return downloadEep_; }
  const std::vector<uint8_t>& DownloadedDriver() const { return downloadDriver_; }
  const std::vector<uint8_t>& Firmware() const { return firmware_; }
  int FirmwareBlocks() const { return firmwareBlocks_; }
  bool FirmwareEnded() const { return firmwareEnded_; }
  // Commands taken, by code; CRC failures seen.
  const std::vector<uint8_t>& Commands() const { return commands_; }
  int CrcErrors() const { return crcErrors_; }
  bool OfflineStarted() const { return offlineStarted_; }
  int OfflineOk() const { return offlineOk_; }
  int OfflineNg() const { return offlineNg_; }
  const std::vector<uint32_t>& OfflineSerials() const { return offlineSerials_; }

 private:
  void Frame(const uint8_t* frame, size_t length);
  void Command(const uint8_t* p, size_t length);
  void Reply(const uint8_t* packet, size_t length);
  void Status(uint8_t code);
  void Data(const uint8_t* bytes, size_t length);
  void StatusReport(uint8_t phase, uint8_t result, uint16_t count, uint16_t total);
  void IdentityReply();
  void Queue(std::vector<uint8_t> bytes);
  void RunOffline();

  UnitOptions options_;
  std::vector<bool> faults_;
  std::mt19937 random_;
  bool boot_;
  std::string version_;
  double now_ = 0;
  double wireFreeAt_ = 0;
  double rxFreeAt_ = 0;  // when the bytes received so far have crossed the wire
  bool hungUp_ = false;
  int commandCount_ = 0;

  std::vector<uint8_t> in_;  // bytes received and not yet framed
  struct Outgoing {
    double startMs;
    std::vector<uint8_t> bytes;
    size_t taken = 0;
  };
  std::deque<Outgoing> out_;

  std::vector<uint8_t> chipMain_;
  std::vector<uint8_t> chipEep_;
  std::vector<uint8_t> chipOption_;
  bool chipProtected_;
  bool everErased_ = false;

  JobRecord job_;
  std::vector<uint8_t> downloadMain_;
  std::vector<uint8_t> downloadEep_;
  std::vector<uint8_t> downloadDriver_;
  std::vector<uint8_t> firmware_;
  int firmwareBlocks_ = 0;
  bool firmwareEnded_ = false;
  std::vector<uint8_t> commands_;
  int crcErrors_ = 0;

  bool offlineStarted_ = false;
  double offlineNextMs_ = 0;
  int offlineStep_ = 0;
  int offlineChip_ = 0;
  int offlineOk_ = 0;
  int offlineNg_ = 0;
  std::vector<uint32_t> offlineSerials_;
};

}  // namespace dravon::sim
