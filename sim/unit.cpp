#include "unit.h"

#include <algorithm>
#include <cstring>

#include "link/packet_codec.h"

namespace dravon::sim {
namespace {

constexpr size_t kMainSize = 4 * 1024 * 1024 + 4096;
constexpr size_t kEepSize = 65536;
constexpr size_t kOptionSize = 8192;
constexpr size_t kPacketCapacity = 6144;
constexpr size_t kFrameCapacity = 2 * kPacketCapacity + 7;
constexpr size_t kInputLimit = 64 * 1024;

constexpr uint8_t kStatusOk = 6;
constexpr uint8_t kStatusNotBlank = 21;
constexpr uint8_t kStatusPacket = 0x20;
constexpr uint8_t kStatusCrc = 0x23;
constexpr uint8_t kStatusUnknown = 0x25;
constexpr uint8_t kStatusVerify = 0x31;
constexpr uint8_t kStatusBadJob = 0x45;

// Fields of the configuration block that travels behind the header.
struct Config {
  uint32_t mainUsedSize;
  uint32_t eepSize;
  uint32_t mainBase;
};

Config ReadConfig(const uint8_t* p, size_t length) {
  Config c{0, 0, 0};
  if (length >= 8 + 32) {
    c.mainUsedSize = GetU32(p + 8 + 16);
    c.eepSize = GetU32(p + 8 + 20);
    c.mainBase = GetU32(p + 8 + 24);
  }
  return c;
}

void CopyOut(std::vector<uint8_t>& to, const std::vector<uint8_t>& from, size_t at, size_t n) {
  to.resize(n, 0xFF);
  if (at < from.size()) std::memcpy(to.data(), from.data() + at, std::min(n, from.size() - at));
}

void CopyIn(std::vector<uint8_t>& to, size_t at, const uint8_t* from, size_t n, size_t limit) {
  if (to.size() < std::min(at + n, limit)) to.resize(std::min(at + n, limit), 0xFF);
  if (at >= to.size()) return;
  std::memcpy(to.data() + at, from, std::min(n, to.size() - at));
}

}  // namespace

Unit::Unit(UnitOptions options)
    : options_(std::move(options)),
      faults_(static_cast<size_t>(Fault::HangUp) + 1, false),
      random_(options_.seed),
      boot_(options_.bootLoader),
      version_(options_.version),
      chipMain_(kMainSize, 0xFF),
      chipEep_(kEepSize, 0xFF),
      chipOption_(kOptionSize, 0xFF),
      chipProtected_(false) {}

void Unit::SetFault(Fault fault, bool on) {
  faults_[static_cast<size_t>(fault)] = on;
  if (fault == Fault::ProtectedChip) chipProtected_ = on;
  if (fault == Fault::NotBlank && on && !everErased_) {
    chipMain_[0x10] = 0x00;
    chipEep_[0] = 0x00;
  }
}

bool Unit::HasFault(Fault fault) const {
  return faults_[static_cast<size_t>(fault)];
}

void Unit::Receive(const uint8_t* bytes, size_t length) {
  if (hungUp_) return;
  // Paced, a command is complete only once its bytes have crossed the wire; its reply follows.
  if (options_.pace)
    rxFreeAt_ = std::max(rxFreeAt_, now_) + static_cast<double>(length) / kBytesPerMs;
  in_.insert(in_.end(), bytes, bytes + length);
  std::vector<uint8_t> frame(kFrameCapacity);
  size_t position = 0;
  size_t start = 0;
  size_t frameLength = 0;
  for (;;) {
    start = position;
    if (!ExtractFrame(in_.data(), in_.size(), position, frame.data(), frame.size(), frameLength)) {
      break;
    }
    Frame(frame.data(), frameLength);
  }
  in_.erase(in_.begin(), in_.begin() + static_cast<long>(std::min(start, in_.size())));
  if (in_.size() > kInputLimit) in_.clear();
}

void Unit::Frame(const uint8_t* frame, size_t length) {
  // The probe is the one frame without packet structure.
  static constexpr uint8_t kIdentify[5] = {0xC0, 0xA3, 0xA5, 0x35, 0xC0};
  if (length == 5 && std::memcmp(frame, kIdentify, 5) == 0) {
    if (!HasFault(Fault::NoReply)) IdentityReply();
    return;
  }
  std::vector<uint8_t> packet(kPacketCapacity);
  size_t packetLength = 0;
  if (UnstuffFrame(frame, length, packet.data(), packet.size(), packetLength) != kResultOk) {
    Status(kStatusPacket);
    return;
  }
  Command(packet.data(), packetLength);
}

void Unit::Command(const uint8_t* p, size_t m) {
  if (m < 10) return;
  const uint8_t code = p[0];
  const uint16_t parameter = GetU16(p + 1);
  // The option write is checked over every byte before its CRC but the last, as the PC sends it.
  const bool shortCrc = code == 0x93 && parameter == 0x35;
  const uint16_t crc = PacketCrc16N(p, static_cast<uint32_t>(m - (shortCrc ? 3 : 2)));
  commands_.push_back(code);
  ++commandCount_;
  if (HasFault(Fault::HangUp) && commandCount_ > options_.hangUpAfter) {
    hungUp_ = true;
    out_.clear();
    return;
  }
  if (crc != GetU16(p + m - 2)) {
    ++crcErrors_;
    if (!HasFault(Fault::NoReply)) Status(kStatusCrc);
    return;
  }
  if (HasFault(Fault::NoReply)) return;
  const size_t payload = m - 10;
  const Config cfg = ReadConfig(p, m);

  // Firmware blocks go to the boot loader, also from the application (which hands over to it).
  if (boot_ || code == 0xB7 || code == 0xBD) {
    if (code == 0xB7 && payload == 0x1020) {
      // Unmask: the random half, then the block key; every fourth byte must be zero.
      std::vector<uint8_t> data(p + 8, p + 8 + 4096);
      for (size_t i = 0; i < 2048; ++i)
        data[i] ^= data[i + 2048];
      const uint8_t low = p[2];
      const uint8_t high = p[3];
      const size_t block = p[1] / 4;
      bool good = true;
      for (size_t g = 0; g < 512; ++g) {
        good = good && data[4 * g + 3] == 0;
        const uint8_t bytes[3] = {static_cast<uint8_t>(data[4 * g] ^ low),
                                  static_cast<uint8_t>(data[4 * g + 1] ^ high),
                                  static_cast<uint8_t>(data[4 * g + 2] ^ low)};
        const size_t at = block * 2048 + 4 * g;
        if (firmware_.size() < at + 4) firmware_.resize(at + 4, 0xFF);
        std::memcpy(firmware_.data() + at, bytes, 3);
      }
      if (good) ++firmwareBlocks_;
      Status(good ? kStatusOk : kStatusPacket);
    } else if (code == 0xBD) {
      firmwareEnded_ = true;
      boot_ = false;
      version_ = options_.upgradeVersion;
    } else {
      Status(kStatusUnknown);
    }
    return;
  }

  const size_t block = static_cast<size_t>(parameter) * 1024;
  switch (code) {
    case 0x53: {
      if (payload != 1024) {
        Status(kStatusBadJob);
        break;
      }
      const uint8_t kL = static_cast<uint8_t>((parameter & 0xFF) ^ 0x3B) | 0x80;
      const uint8_t kH = static_cast<uint8_t>((parameter >> 8) ^ 0x6E) | 0x80;
      std::vector<uint8_t> both(p + 8, p + 8 + 1024);
      for (size_t i = 0; i < both.size(); ++i)
        both[i] ^= (i % 2 == 0) ? kL : kH;
      const bool halves = std::equal(both.begin(), both.begin() + 512, both.begin() + 512);
      uint16_t sum = 0;
      for (int i = 0; i < 510; ++i)
        sum = static_cast<uint16_t>(sum + both[i]);
      const bool good = halves && std::memcmp(both.data(), "ZWLP", 4) == 0 &&
                        PacketCrc16N(both.data(), 508) == GetU16(both.data() + 508) &&
                        sum == GetU16(both.data() + 510);
      job_.received = true;
      job_.blockGood = good;
      job_.block.assign(both.begin(), both.begin() + 512);
      job_.snStep = GetU16(both.data() + 90);
      job_.snInitial = GetU32(both.data() + 96);
      Status(good ? kStatusOk : kStatusBadJob);
      break;
    }
    case 0x55:
      CopyIn(downloadMain_, block, p + 8, std::min<size_t>(payload, 4096), kMainSize);
      Status(kStatusOk);
      break;
    case 0x5A:
      CopyIn(downloadEep_, block, p + 8, std::min<size_t>(payload, 4096), kEepSize);
      Status(kStatusOk);
      break;
    case 0x5F:
      downloadDriver_.assign(p + 8, p + 8 + std::min<size_t>(payload, 2048));
      Status(kStatusOk);
      break;
    case 0x8A:
      offlineStarted_ = true;
      offlineNextMs_ = now_ + 5;
      offlineStep_ = 0;
      offlineChip_ = 0;
      break;
    case 0x92:
    case 0x94: {
      const bool main = code == 0x92;
      const std::vector<uint8_t>& chip = main ? chipMain_ : chipEep_;
      size_t n = 4096;
      if (!main) n = cfg.eepSize > block ? std::min<size_t>(4096, cfg.eepSize - block) : 0;
      bool same = payload >= 80 + n && block + n <= chip.size() &&
                  std::memcmp(chip.data() + block, p + 88, n) == 0;
      Status(same ? kStatusOk : kStatusVerify);
      break;
    }
    case 0x95:
    case 0x99: {
      const bool main = code == 0x95;
      std::vector<uint8_t>& chip = main ? chipMain_ : chipEep_;
      size_t n = std::min<size_t>(4096, payload >= 80 ? payload - 80 : 0);
      if (!main) n = cfg.eepSize > block ? std::min<size_t>(n, cfg.eepSize - block) : 0;
      if (block + n <= chip.size()) std::memcpy(chip.data() + block, p + 88, n);
      if (main && HasFault(Fault::VerifyDifference)) {
        if (options_.differenceAt >= block && options_.differenceAt < block + n) {
          chip[options_.differenceAt] ^= 0x5A;
        }
      }
      Status(kStatusOk);
      break;
    }
    case 0x9B:
    case 0x9D: {
      std::vector<uint8_t> bytes;
      CopyOut(bytes, code == 0x9B ? chipMain_ : chipEep_, block, 4096);
      Data(bytes.data(), bytes.size());
      break;
    }
    case 0x93:
      switch (parameter) {
        case 5: {
          if (chipProtected_) {
            Status(options_.protectCode);
            break;
          }
          const size_t mainN = std::min<size_t>(cfg.mainUsedSize, chipMain_.size());
          const size_t eepN = std::min<size_t>(cfg.eepSize, chipEep_.size());
          const bool blank =
              std::all_of(chipMain_.begin(), chipMain_.begin() + static_cast<long>(mainN),
                          [](uint8_t b) { return b == 0xFF; }) &&
              std::all_of(chipEep_.begin(), chipEep_.begin() + static_cast<long>(eepN),
                          [](uint8_t b) { return b == 0xFF; });
          Status(blank ? kStatusOk : kStatusNotBlank);
          break;
        }
        case 3:
          std::fill(chipMain_.begin(), chipMain_.end(), 0xFF);
          std::fill(chipEep_.begin(), chipEep_.end(), 0xFF);
          chipProtected_ = false;
          everErased_ = true;
          Status(kStatusOk);
          break;
        case 0x30: {
          const size_t n = std::min<size_t>(cfg.mainUsedSize, chipMain_.size());
          uint16_t sum = 0;
          for (size_t i = 0; i < n; ++i)
            sum = static_cast<uint16_t>(sum + chipMain_[i]);
          uint8_t words[4];
          PutU16(words, n ? PacketCrc16N(chipMain_.data(), static_cast<uint32_t>(n)) : 0);
          PutU16(words + 2, sum);
          Data(words, 4);
          break;
        }
        case 0x33:
          Data(chipOption_.data(), 256);
          break;
        case 0x35: {
          const size_t n = std::min<size_t>(payload >= 80 ? payload - 80 : 0, 4096);
          std::memcpy(chipOption_.data(), p + 88, n);
          Status(kStatusOk);
          break;
        }
        case 0x3C: {
          std::vector<uint8_t> info(512);
          for (size_t i = 0; i < info.size(); ++i)
            info[i] = static_cast<uint8_t>(i * 7 + 3);
          Data(info.data(), info.size());
          break;
        }
        case 0x79: {
          const uint32_t address = GetU32(p + 56);
          const uint16_t count = std::min<uint16_t>(GetU16(p + 60), 1024);
          std::vector<uint8_t> bytes;
          CopyOut(bytes, chipMain_, address - cfg.mainBase, count);
          Data(bytes.data(), std::max<size_t>(bytes.size(), 3));
          break;
        }
        default:
          Status(kStatusUnknown);
          break;
      }
      break;
    default:
      Status(kStatusUnknown);
      break;
  }
  if (HasFault(Fault::Garbage)) Queue(std::vector<uint8_t>(9 * 1024, 0x5A));
}

void Unit::Reply(const uint8_t* packet, size_t length) {
  std::vector<uint8_t> p(packet, packet + length);
  uint16_t crc = PacketCrc16N(p.data(), static_cast<uint32_t>(p.size()));
  if (HasFault(Fault::WrongCrc)) crc ^= 0x0101;
  p.push_back(static_cast<uint8_t>(crc));
  p.push_back(static_cast<uint8_t>(crc >> 8));
  std::vector<uint8_t> frame(2 * p.size() + 7);
  frame.resize(StuffFrame(p.data(), p.size(), frame.data(), frame.size()));
  if (HasFault(Fault::BadEscape)) {
    const uint8_t bad[2] = {0xDB, 0x41};
    frame.insert(frame.begin() + 1, bad, bad + 2);
  }
  if (HasFault(Fault::Noise)) {
    const uint8_t noise[4] = {0x11, 0x5A, 0xFF, 0x00};
    frame.insert(frame.begin(), noise, noise + 4);
  }
  Queue(std::move(frame));
}

void Unit::Status(uint8_t code) {
  const uint8_t packet[9] = {
      commands_.empty() ? uint8_t{0} : commands_.back(), 0, 0, 'U', 0, 0, 1, 0, code};
  Reply(packet, sizeof packet);
}

void Unit::Data(const uint8_t* bytes, size_t length) {
  std::vector<uint8_t> packet(8 + length, 0);
  packet[0] = commands_.empty() ? 0 : commands_.back();
  packet[3] = 'U';
  PutU16(packet.data() + 6, static_cast<uint16_t>(length));
  std::memcpy(packet.data() + 8, bytes, length);
  Reply(packet.data(), packet.size());
}

void Unit::IdentityReply() {
  std::string text = boot_ ? "DravonQ40XXX-XX" : "DravonQ40LAP " + version_;
  if (!options_.identity.empty()) text = options_.identity;
  std::vector<uint8_t> packet(28 + text.size() + 1, 0);
  packet[0] = 0xA3;
  packet[1] = 0xA5;
  packet[2] = 0x35;
  PutU16(packet.data() + 6, static_cast<uint16_t>(text.size()));
  std::memcpy(packet.data() + 28, text.data(), text.size());
  Reply(packet.data(), packet.size());
}

void Unit::StatusReport(uint8_t phase, uint8_t result, uint16_t count, uint16_t total) {
  uint8_t r[8] = {0xFD, phase, result, 0, 0, 0, 0, 0};
  PutU16(r + 3, count);
  PutU16(r + 5, total);
  uint8_t sum = 0;
  for (int i = 0; i < 7; ++i)
    sum = static_cast<uint8_t>(sum + r[i]);
  r[7] = static_cast<uint8_t>(0 - sum);
  if (HasFault(Fault::BadStatusReport)) ++r[7];
  std::vector<uint8_t> frame(2 * 8 + 7);
  frame.resize(StuffFrame(r, 8, frame.data(), frame.size()));
  Queue(std::move(frame));
}

void Unit::Queue(std::vector<uint8_t> bytes) {
  double start = now_ + (HasFault(Fault::ReplyDelay) ? options_.replyDelayMs : 0);
  if (options_.pace) {
    start = std::max({start, wireFreeAt_, rxFreeAt_});
    wireFreeAt_ = start + static_cast<double>(bytes.size()) / kBytesPerMs;
  }
  out_.push_back({start, std::move(bytes)});
}

void Unit::Advance(double nowMs) {
  now_ = std::max(now_, nowMs);
  RunOffline();
}

double Unit::NextDeliveryMs(size_t packet) const {
  if (out_.empty() || hungUp_) return -1;
  const Outgoing& o = out_.front();
  if (!options_.pace) return o.startMs;
  // The next whole packet, or the end of the reply if that comes first.
  const size_t upTo = std::min(o.bytes.size(), o.taken + std::max<size_t>(packet, 1));
  return o.startMs + static_cast<double>(upTo) / kBytesPerMs;
}

std::vector<uint8_t> Unit::TakeOutput(size_t max, size_t packet) {
  std::vector<uint8_t> taken;
  if (hungUp_) return taken;
  if (HasFault(Fault::OneByteChunks)) max = std::min<size_t>(max, 1);
  while (!out_.empty() && taken.size() < max) {
    Outgoing& o = out_.front();
    if (o.startMs > now_) break;
    size_t ready = o.bytes.size();
    if (options_.pace) {
      ready = std::min(ready, static_cast<size_t>((now_ - o.startMs) * kBytesPerMs));
    }
    const size_t waiting = ready - std::min(ready, o.taken);
    if (packet > 0 && waiting < packet && ready < o.bytes.size()) break;
    size_t n = std::min(waiting, max - taken.size());
    taken.insert(taken.end(), o.bytes.begin() + static_cast<long>(o.taken),
                 o.bytes.begin() + static_cast<long>(o.taken + n));
    o.taken += n;
    if (o.taken < o.bytes.size()) break;
    out_.pop_front();
  }
  return taken;
}

void Unit::RunOffline() {
  // Each chip goes through the phases of a programming run, one report every 5 ms.
  static constexpr uint8_t kPhases[] = {0x10, 0x20, 0x30, 0x40, 0x40, 0x40, 0x70, 0xF0};
  while (offlineStarted_ && !hungUp_ && offlineChip_ < options_.offlineChips &&
         now_ >= offlineNextMs_) {
    const uint8_t phase = kPhases[offlineStep_];
    if (phase == 0x40) {
      const uint16_t count = static_cast<uint16_t>((offlineStep_ - 3) * 8);
      StatusReport(phase, kStatusOk, count, 16);
    } else if (phase == 0xF0) {
      const bool fail =
          options_.offlineFailEvery > 0 && (offlineChip_ + 1) % options_.offlineFailEvery == 0;
      if (fail) {
        ++offlineNg_;
      } else {
        ++offlineOk_;
        offlineSerials_.push_back(job_.snInitial +
                                  static_cast<uint32_t>(offlineOk_ - 1) * job_.snStep);
      }
      StatusReport(phase, fail ? kStatusVerify : kStatusOk, 0, 0);
    } else {
      StatusReport(phase, kStatusOk, 0, 0);
    }
    offlineNextMs_ += 5;
    if (++offlineStep_ == static_cast<int>(sizeof kPhases)) {
      offlineStep_ = 0;
      ++offlineChip_;
    }
  }
}

}  // namespace dravon::sim
