#include "operations/chains.h"

#include <algorithm>
#include <cstring>

#include "chips/families.h"
#include "core/format.h"
#include "core/hex_views.h"
#include "core/info_list.h"
#include "images/checksums.h"
#include "link/commands.h"
#include "link/firmware_upgrade.h"
#include "link/packet_codec.h"
#include "operations/results.h"
#include "persistence/serial_numbers.h"

namespace dravon {
namespace {

// Sets the step's state and flags, announces it, arms the channel.
void Begin(Station& s, int k, ChannelState state, int autoSequence, int tickProgress,
           std::string_view announcement, uint16_t ticks, uint32_t size, ProgressMode mode) {
  Channel& c = s.channels[k];
  c.state = state;
  if (autoSequence >= 0) c.autoSequence = static_cast<uint8_t>(autoSequence);
  if (tickProgress >= 0) c.tickProgress = static_cast<uint8_t>(tickProgress);
  if (!announcement.empty()) ChannelLine(s, announcement, k);
  ArmChannel(s, k, ticks, size, mode);
}

constexpr int kKeep = -1;

bool StatusAccepted(Station& s, int k, uint8_t code) {
  if (code == kResultOk || code == kResultSuccess) return true;
  ReportResult(s, code, k);
  return false;
}

bool DataAccepted(Station& s, int k, uint8_t code) {
  if (code == kResultOk) return true;
  ReportResult(s, code, k);
  return false;
}

// A data reply must hold the bytes a handler takes from it; a shorter one is a broken packet.
bool HasPayload(Station& s, int k, size_t replyLength, size_t needed) {
  if (replyLength >= kPacketHeaderLength + needed + 2) return true;
  ReportResult(s, kResultPacketError, k);
  return false;
}

// The shared advance of block steps; true when the step is complete.
bool Advance(Station& s, int k, const std::function<void(uint16_t)>& send) {
  Channel& c = s.channels[k];
  c.blockIndex = static_cast<uint16_t>(c.blockIndex + 4);
  c.gauge.value = c.blockIndex + 1;
  if (c.blockIndex < c.totalBlocks) {
    send(c.blockIndex);
    return false;
  }
  return true;
}

void Success(Station& s, int k) {
  FinishChannel(s, k, false);
}

void ChipProgrammed(Station& s, int k) {
  ChannelLine(s, s.texts.chipProgrammingSuccess, k);
  Success(s, k);
}

// Compares the image with the chip's bytes in the reply; each mismatch asks the operator.
bool Compare(Station& s, int k, const uint8_t* chip, const uint8_t* buffer, size_t count,
             uint32_t shownBase) {
  bool mismatch = false;
  for (size_t i = 0; i < count; ++i) {
    if (buffer[i] == chip[i]) continue;
    mismatch = true;
    const std::string text = Format(
        s.texts.verifyMismatch, {k + 1, shownBase + static_cast<uint32_t>(i), buffer[i], chip[i]});
    if (!s.host.AskVerifyMismatch(text)) break;
  }
  return !mismatch;
}

void OnBlankCheckReply(Station& s, int k, uint8_t code) {
  Channel& c = s.channels[k];
  const Texts& t = s.texts;
  if (code == kResultOk || code == kResultSuccess) {
    ChannelLine(s, t.chipBlank, k);
    if (c.autoSequence) {
      StartProgramMain(s, k);
    } else {
      Success(s, k);
    }
  } else if (code == 21) {
    if (c.autoSequence) {
      StartErase(s, k, t.notBlankErasing);
    } else {
      ChannelLine(s, t.notBlank, k);
      FinishChannel(s, k, true);
    }
  } else if (code == 16 || code == 19 || code == 90 || code == 225 || code == 226) {
    if (c.autoSequence) {
      StartErase(s, k, t.protectedErasing);
    } else {
      ChannelLine(s, t.protectedChip, k);
      FinishChannel(s, k, true);
    }
  } else {
    ReportResult(s, code, k);
  }
}

// The bytes of main flash a verify block compares: 4 KiB, less at the end of the chip.
size_t VerifyMainCount(const Station& s, int k) {
  const uint64_t start = uint64_t{s.channels[k].blockIndex} * 1024;
  const uint64_t last = uint64_t{s.chip.mainEnd} - s.chip.mainBase;
  return start > last ? 0 : static_cast<size_t>(std::min<uint64_t>(4096, last - start + 1));
}

// The bytes of data flash a block of it holds: 4 KiB, less at the end of the data flash.
size_t EepCount(const Station& s, int k) {
  const uint32_t start = uint32_t{s.channels[k].blockIndex} * 1024;
  return s.chip.eepSize > start ? std::min<size_t>(4096, s.chip.eepSize - start) : 0;
}

void OnVerifyMainReply(Station& s, int k, uint8_t code, size_t length) {
  if (!DataAccepted(s, k, code)) return;
  Channel& c = s.channels[k];
  const ChipProfile& chip = s.chip;
  const uint64_t start = uint64_t{c.blockIndex} * 1024;
  const size_t count = VerifyMainCount(s, k);
  if (!HasPayload(s, k, length, count)) return;
  const uint64_t at = chip.imageOffset + start;
  if (at + count > s.mainImage.bytes.size()) {
    ReportResult(s, kResultPacketError, k);
    return;
  }
  if (!Compare(s, k, c.packet.data() + 8, s.mainImage.bytes.data() + at, count,
               static_cast<uint32_t>(start))) {
    ReportResult(s, 0x31, k);
    return;
  }
  if (!Advance(s, k, [&s, k](uint16_t b) { SendChipAction(s, kCmdReadMainBlock, b, k); })) return;
  ChannelLine(s, s.texts.mainVerifySuccess, k);
  if (s.job.programEep) {
    StartVerifyEep(s, k);
  } else if (!c.autoSequence) {
    Success(s, k);
  } else if (s.job.programOption) {
    StartWriteOption(s, k);
  } else {
    ChipProgrammed(s, k);
  }
}

void OnVerifyEepReply(Station& s, int k, uint8_t code, size_t length) {
  if (!DataAccepted(s, k, code)) return;
  Channel& c = s.channels[k];
  const uint32_t start = uint32_t{c.blockIndex} * 1024;
  const size_t count = EepCount(s, k);
  if (!HasPayload(s, k, length, count)) return;
  if (start + count > s.eepImage.size()) {
    ReportResult(s, kResultPacketError, k);
    return;
  }
  if (!Compare(s, k, c.packet.data() + 8, s.eepImage.data() + start, count,
               s.chip.eepBase + start)) {
    ReportResult(s, 0x31, k);
    return;
  }
  c.blockIndex = static_cast<uint16_t>(c.blockIndex + 4);
  c.gauge.value = c.blockIndex + 3;
  if (uint32_t{c.blockIndex} * 1024 < s.chip.eepSize) {
    SendChipAction(s, kCmdReadEepBlock, c.blockIndex, k);
    return;
  }
  ChannelLine(s, s.texts.eepVerifySuccess, k);
  if (!c.autoSequence) {
    Success(s, k);
  } else if (s.job.programOption) {
    StartWriteOption(s, k);
  } else {
    ChipProgrammed(s, k);
  }
}

void OnReadMainReply(Station& s, int k, uint8_t code, size_t length) {
  if (!DataAccepted(s, k, code) || !HasPayload(s, k, length, 4096)) return;
  Channel& c = s.channels[k];
  const uint64_t at = s.chip.imageOffset + uint64_t{c.blockIndex} * 1024;
  if (at < s.mainImage.bytes.size()) {
    std::memcpy(s.mainImage.bytes.data() + at, c.packet.data() + 8,
                std::min<size_t>(4096, s.mainImage.bytes.size() - at));
  }
  if (!Advance(s, k, [&s, k](uint16_t b) { SendChipAction(s, kCmdReadMainBlock, b, k); })) return;
  s.app.fileLoaded = 1;
  Success(s, k);
  ChannelLine(s, s.texts.mainReadOut, k);
  ShowReadMainChecksum(s);
  FillMainView(s, s.chip.mainBase, s.chip.mainEnd);
}

void OnReadEepReply(Station& s, int k, uint8_t code, size_t length) {
  if (!DataAccepted(s, k, code)) return;
  Channel& c = s.channels[k];
  const uint32_t start = uint32_t{c.blockIndex} * 1024;
  const size_t count = EepCount(s, k);
  if (!HasPayload(s, k, length, count)) return;
  if (start < s.eepImage.size()) {
    std::memcpy(s.eepImage.data() + start, c.packet.data() + 8,
                std::min<size_t>(count, s.eepImage.size() - start));
  }
  c.blockIndex = static_cast<uint16_t>(c.blockIndex + 4);
  if (uint32_t{c.blockIndex} * 1024 < s.chip.eepSize) {
    SendChipAction(s, kCmdReadEepBlock, c.blockIndex, k);
    return;
  }
  ChannelLine(s, s.texts.eepReadOut, k);
  Success(s, k);
  ShowReadEepChecksum(s);
  FillDataFlashView(s);
}

void OnReadAddressReply(Station& s, int k, uint8_t code, size_t length) {
  if (!StatusAccepted(s, k, code)) return;
  const size_t rows = s.readRequest.length / 16;
  if (!HasPayload(s, k, length, rows * 16)) return;
  Success(s, k);
  const uint8_t* p = s.channels[k].packet.data() + 8;
  AddPlainLine(s, "> Read Address Memory Data below: ");
  for (size_t r = 0; r < rows; ++r) {
    std::string row = Format("0x%0.8x : ", {s.readRequest.address + static_cast<uint32_t>(16 * r)});
    for (size_t i = 0; i < 16; ++i)
      row += Format("%0.2x ", {p[16 * r + i]});
    AddPlainLine(s, row);
  }
}

void OnChipInfoReply(Station& s, int k, uint8_t code, size_t length) {
  if (!DataAccepted(s, k, code) || !HasPayload(s, k, length, 512)) return;
  Success(s, k);
  const uint8_t* p = s.channels[k].packet.data() + 8;
  AddPlainLine(s, "");
  AddPlainLine(s, ">     Chip Information Data as Below: ");
  for (int r = 0; r < 32; ++r) {
    std::string row = Format("  0x0380%0.4x :", {16 * r});
    for (int i = 0; i < 16; ++i)
      row += Format(" %0.2x", {p[16 * r + i]});
    AddPlainLine(s, row);
  }
}

}  // namespace

void StartJobDownload(Station& s, int k) {
  Begin(s, k, ChannelState::DownloadJob, kKeep, 1, s.texts.announceJobDownload, 500,
        s.chip.mainUsedSize, ProgressMode::Tick);
  SendJobBlock(s, static_cast<uint16_t>(s.random.Below(65535)), k);
}

void StartDriverDownload(Station& s, int k) {
  Channel& c = s.channels[k];
  c.state = ChannelState::DownloadDriver;
  c.tickProgress = 0;
  c.timeoutTicks = 500;
  c.gauge.value = 3;
  SendDriverBlock(s, k);
}

void StartMainDownload(Station& s, int k) {
  Begin(s, k, ChannelState::DownloadMain, kKeep, 0, s.texts.announceMainDownload, 500,
        s.chip.mainUsedSize, ProgressMode::Block);
  SendMainBlock(s, 0, k);
}

void StartEepDownload(Station& s, int k) {
  Begin(s, k, ChannelState::DownloadEep, kKeep, 0, s.texts.announceEepDownload, 500, s.chip.eepSize,
        ProgressMode::Block);
  SendEepBlock(s, 0, k);
}

void StartAutoProgram(Station& s, int k) {
  Begin(s, k, ChannelState::BlankCheck, kKeep, 1, s.texts.announceAuto, 500, s.chip.mainUsedSize,
        ProgressMode::Tick);
  SendChipAction(s, kCmdChipAction, kActionBlankCheck, k);
}

void StartBlankCheck(Station& s, int k) {
  Begin(s, k, ChannelState::BlankCheck, kKeep, 1, s.texts.announceBlankCheck, 500,
        s.chip.mainUsedSize, ProgressMode::Tick);
  SendChipAction(s, kCmdChipAction, kActionBlankCheck, k);
}

void StartErase(Station& s, int k, std::string_view announcement) {
  Begin(s, k, ChannelState::Erase, kKeep, 1, announcement, 2000, s.chip.mainUsedSize,
        ProgressMode::Tick);
  SendChipAction(s, kCmdChipAction, kActionErase, k);
}

void StartProgramMain(Station& s, int k) {
  Begin(s, k, ChannelState::ProgramMain, kKeep, 0, s.texts.announceProgramMain, 500,
        s.chip.mainUsedSize, ProgressMode::Block);
  SendDataCommand(s, kCmdProgramMainBlock, 0, k);
}

void StartProgramEep(Station& s, int k) {
  Begin(s, k, ChannelState::ProgramEep, kKeep, 0, s.texts.announceProgramEep, 500, s.chip.eepSize,
        ProgressMode::Block);
  SendEepDataCommand(s, kCmdProgramEepBlock, 0, k);
}

void StartVerifyMain(Station& s, int k) {
  Begin(s, k, ChannelState::VerifyMain, kKeep, 0, s.texts.announceVerifyMain, 500,
        s.chip.mainUsedSize, ProgressMode::Block);
  SendChipAction(s, kCmdReadMainBlock, 0, k);
}

void StartVerifyEep(Station& s, int k) {
  Begin(s, k, ChannelState::VerifyEep, kKeep, 0, s.texts.announceVerifyEep, 500, s.chip.eepSize,
        ProgressMode::Block);
  SendChipAction(s, kCmdReadEepBlock, 0, k);
}

void StartVerifyMainInProgrammer(Station& s, int k) {
  Begin(s, k, ChannelState::VerifyMainInProgrammer, kKeep, 0, s.texts.announceVerifyMain, 500,
        s.chip.mainUsedSize, ProgressMode::Block);
  SendDataCommand(s, kCmdVerifyMainBlock, 0, k);
}

void StartVerifyEepInProgrammer(Station& s, int k) {
  Begin(s, k, ChannelState::VerifyEepInProgrammer, kKeep, 0, s.texts.announceVerifyEep, 500,
        s.chip.eepSize, ProgressMode::Block);
  SendEepDataCommand(s, kCmdVerifyEepBlock, 0, k);
}

void StartWriteOption(Station& s, int k) {
  Begin(s, k, ChannelState::WriteOption, kKeep, 1, s.texts.announceWriteOption, 500,
        s.chip.mainUsedSize, ProgressMode::Tick);
  SendOptionData(s, k);
}

void StartReadOption(Station& s, int k) {
  AddPlainLine(s, "");
  Begin(s, k, ChannelState::ReadOption, kKeep, kKeep, s.texts.announceReadOption, 500,
        s.chip.mainUsedSize, ProgressMode::Tick);
  SendChipAction(s, kCmdChipAction, kActionReadOption, k);
}

void StartReadMain(Station& s, int k) {
  Begin(s, k, ChannelState::ReadMain, 0, 0, s.texts.announceReadMain, 500, s.chip.mainSize,
        ProgressMode::Block);
  SendChipAction(s, kCmdReadMainBlock, 0, k);
}

void StartReadEep(Station& s, int k) {
  Begin(s, k, ChannelState::ReadEep, 0, 0, s.texts.announceReadEep, 500, s.chip.eepSize,
        ProgressMode::Block);
  SendChipAction(s, kCmdReadEepBlock, 0, k);
}

void StartReadChecksum(Station& s, int k) {
  Begin(s, k, ChannelState::ReadChecksum, 0, 1, s.texts.announceReadChecksum, 500,
        s.chip.mainUsedSize, ProgressMode::Block);
  SendChipAction(s, kCmdChipAction, kActionReadChecksum, k);
}

void StartVerify(Station& s, int k) {
  if (s.chip.verifyInProgrammer) {
    StartVerifyMainInProgrammer(s, k);
  } else {
    StartVerifyMain(s, k);
  }
}

void FinishMainProgram(Station& s, int k) {
  ChannelLine(s, s.texts.mainProgrammingSuccess, k);
  if (s.channels[k].autoSequence) {
    StartVerify(s, k);
  } else {
    Success(s, k);
  }
}

void FinishDownload(Station& s, int k) {
  ++s.app.downloadsDone;
  Success(s, k);
  ChannelLine(s, s.texts.downloadDone, k);
  if (!s.app.unattended) SendStartOffline(s, k);
}

void HandleReply(Station& s, int k, uint8_t code, size_t length) {
  Channel& c = s.channels[k];
  const Texts& t = s.texts;
  switch (c.state) {
    case ChannelState::DownloadJob:
      if (!StatusAccepted(s, k, code)) return;
      if (s.chip.usesDriver) {
        StartDriverDownload(s, k);
      } else {
        StartMainDownload(s, k);
      }
      return;
    case ChannelState::DownloadDriver:
      if (StatusAccepted(s, k, code)) StartMainDownload(s, k);
      return;
    case ChannelState::DownloadMain:
      if (!StatusAccepted(s, k, code)) return;
      if (!Advance(s, k, [&s, k](uint16_t b) { SendMainBlock(s, b, k); })) return;
      ChannelLine(s, t.mainDownloadSuccess, k);
      if (s.job.programEep) {
        StartEepDownload(s, k);
      } else {
        FinishDownload(s, k);
      }
      return;
    case ChannelState::DownloadEep:
      if (!StatusAccepted(s, k, code)) return;
      if (Advance(s, k, [&s, k](uint16_t b) { SendEepBlock(s, b, k); })) FinishDownload(s, k);
      return;
    case ChannelState::BlankCheck:
      OnBlankCheckReply(s, k, code);
      return;
    case ChannelState::Erase:
      if (!StatusAccepted(s, k, code)) return;
      ChannelLine(s, t.chipErased, k);
      if (c.autoSequence) {
        StartProgramMain(s, k);
      } else {
        Success(s, k);
      }
      return;
    case ChannelState::ProgramMain:
      if (!StatusAccepted(s, k, code)) return;
      if (!Advance(s, k, [&s, k](uint16_t b) { SendDataCommand(s, kCmdProgramMainBlock, b, k); })) {
        return;
      }
      if (s.job.programEep) {
        StartProgramEep(s, k);
      } else {
        FinishMainProgram(s, k);
      }
      return;
    case ChannelState::ProgramEep:
      if (!StatusAccepted(s, k, code)) return;
      if (!Advance(s, k,
                   [&s, k](uint16_t b) { SendEepDataCommand(s, kCmdProgramEepBlock, b, k); })) {
        return;
      }
      ChannelLine(s, t.eepProgramSuccess, k);
      if (c.autoSequence) {
        StartVerify(s, k);
      } else {
        Success(s, k);
      }
      return;
    case ChannelState::VerifyMain:
      OnVerifyMainReply(s, k, code, length);
      return;
    case ChannelState::VerifyEep:
      OnVerifyEepReply(s, k, code, length);
      return;
    case ChannelState::VerifyMainInProgrammer:
      if (!StatusAccepted(s, k, code)) return;
      if (!Advance(s, k, [&s, k](uint16_t b) { SendDataCommand(s, kCmdVerifyMainBlock, b, k); })) {
        return;
      }
      ChannelLine(s, t.mainVerifySuccess, k);
      if (s.job.programEep) {
        StartVerifyEepInProgrammer(s, k);
      } else if (c.autoSequence) {
        ChipProgrammed(s, k);
      } else {
        Success(s, k);
      }
      return;
    case ChannelState::VerifyEepInProgrammer:
      if (!StatusAccepted(s, k, code)) return;
      if (!Advance(s, k,
                   [&s, k](uint16_t b) { SendEepDataCommand(s, kCmdVerifyEepBlock, b, k); })) {
        return;
      }
      ChannelLine(s, t.eepVerifySuccess, k);
      if (c.autoSequence) {
        ChipProgrammed(s, k);
      } else {
        Success(s, k);
      }
      return;
    case ChannelState::WriteOption:
      if (!StatusAccepted(s, k, code)) return;
      ChannelLine(s, t.writeOptionSuccess, k);
      if (c.autoSequence) AdvanceSerialNumber(s);
      Success(s, k);
      return;
    case ChannelState::ReadMain:
      OnReadMainReply(s, k, code, length);
      return;
    case ChannelState::ReadEep:
      OnReadEepReply(s, k, code, length);
      return;
    case ChannelState::ReadOption:
      if (!StatusAccepted(s, k, code)) return;
      if (code == kResultOk && !HasPayload(s, k, length, 256)) return;
      Success(s, k);
      if (s.chip.vendor == kVendorAutoChip) ShowAc78ReadOption(s, k);
      if (s.chip.vendor == kVendorAucuic) ShowAucuReadConfig(s, k);
      return;
    case ChannelState::ReadChecksum:
      if (!DataAccepted(s, k, code) || !HasPayload(s, k, length, 4)) return;
      ChannelLine(
          s,
          Format(t.readChecksumLine, {GetU16(c.packet.data() + 8), GetU16(c.packet.data() + 10)}),
          k);
      Success(s, k);
      return;
    case ChannelState::ReadAddress:
      OnReadAddressReply(s, k, code, length);
      return;
    case ChannelState::ReadChipInfo:
      OnChipInfoReply(s, k, code, length);
      return;
    case ChannelState::FirmwareUpgrade:
      OnUpgradeReply(s, code, k);
      return;
    case ChannelState::Idle:
      return;
  }
}

size_t BytesStillComing(const Station& s, int k) {
  const Channel& c = s.channels[k];
  if (!c.busy || !c.found || c.rxCount == 0) return 0;
  // The reply has begun only once its opening delimiter is in; bytes before it are left over.
  // Stuffed data holds no delimiter, so the first one found is where the reply starts (or
  // earlier, which only shortens the answer).
  const auto* opening =
      static_cast<const uint8_t*>(std::memchr(c.rxBuffer.data(), 0xC0, c.rxCount));
  if (!opening) return 0;
  const size_t received = static_cast<size_t>(c.rxBuffer.data() + c.rxCount - opening);
  size_t payload = 0;
  switch (c.state) {
    case ChannelState::VerifyMain:
      payload = VerifyMainCount(s, k);
      break;
    case ChannelState::ReadMain:
      payload = 4096;
      break;
    case ChannelState::VerifyEep:
    case ChannelState::ReadEep:
      payload = EepCount(s, k);
      break;
    default:
      return 0;
  }
  // Two delimiters around the header, the payload and its two check bytes; stuffing only adds.
  const size_t frame = 2 + kPacketHeaderLength + payload + 2;
  return frame > received ? frame - received : 0;
}

}  // namespace dravon
