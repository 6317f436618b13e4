#include "operations/results.h"

#include <algorithm>

#include "core/format.h"
#include "link/packet_codec.h"

namespace dravon {
namespace {

const char* FindCode(const CodeText* table, int count, uint8_t code) {
  for (int i = 0; i < count; ++i) {
    if (table[i].code == code) return table[i].text;
  }
  return nullptr;
}

}  // namespace

void ChannelLine(Station& station, std::string_view text, int channel) {
  std::string line = "C" + std::to_string(channel + 1) + " : ";
  line += text;
  AddInfoLine(station, line);
}

void ArmChannel(Station& station, int channel, uint16_t timeoutTicks, uint32_t size,
                ProgressMode mode) {
  Channel& c = station.channels[channel];
  c.blockIndex = 0;
  c.timeoutTicks = timeoutTicks;
  c.busy = 1;
  uint32_t blocks = size / 1024 + (size % 1024 != 0 ? 1 : 0);
  c.totalBlocks = static_cast<uint16_t>(std::min<uint32_t>(blocks, 0xFFFF));
  if (mode == ProgressMode::Tick) {
    c.gauge.value = timeoutTicks / 100 + 10;
    c.gauge.maximum = timeoutTicks;
  } else if (size == 0) {
    c.gauge.value = 2;
    c.gauge.maximum = 4;
  } else {
    c.gauge.value = 4;
    c.gauge.maximum = c.totalBlocks;
  }
  c.gauge.colour = GaugeColour::Blue;
}

void FinishChannel(Station& station, int channel, bool failed) {
  Channel& c = station.channels[channel];
  c.busy = 0;
  c.gauge.colour = failed ? GaugeColour::Red : GaugeColour::Blue;
  c.gauge.value = c.gauge.maximum;
  c.state = ChannelState::Idle;
}

std::string ErrorMessage(const Texts& texts, uint8_t code) {
  if (const char* t = FindCode(texts.wholeByteCodes, texts.wholeByteCodeCount, code)) return t;
  if (const char* t = FindCode(texts.lowBitsCodes, texts.lowBitsCodeCount, code & 0x7F)) return t;
  return Format(texts.operationFailedCode, {code, code});
}

void ReportResult(Station& station, uint8_t code, int channel) {
  if (code == kResultOk || code == kResultSuccess) {
    FinishChannel(station, channel, false);
    ChannelLine(station, station.texts.operationSuccess, channel);
    return;
  }
  FinishChannel(station, channel, true);
  ChannelLine(station, ErrorMessage(station.texts, code), channel);
}

void HandleStatusReport(Station& station, int channel) {
  Channel& c = station.channels[channel];
  const uint8_t* p = c.packet.data();
  uint8_t sum = 0;
  for (int i = 0; i < 8; ++i) sum = static_cast<uint8_t>(sum + p[i]);
  if (sum != 0) return;
  uint8_t phase = p[1];
  uint8_t result = p[2];
  uint16_t count = GetU16(p + 3);
  uint16_t total = GetU16(p + 5);
  const Texts& t = station.texts;
  Gauge& g = c.gauge;
  auto halfway = [&](const char* text) {
    ChannelLine(station, text, channel);
    g.value = 50;
    g.maximum = 100;
  };
  switch (phase) {
    case 0x10:
      ChannelLine(station, t.phaseInitInterface, channel);
      g.value = 5;
      g.maximum = 100;
      g.colour = GaugeColour::Blue;
      break;
    case 0x20:
      halfway(t.phaseBlankCheck);
      break;
    case 0x30:
      halfway(t.phaseErase);
      break;
    case 0x40:
      if (count == 0) ChannelLine(station, t.phaseProgramMain, channel);
      g.value = count + 2;
      g.maximum = total;
      g.colour = GaugeColour::Blue;
      break;
    case 0x50:
      if (count == 0) ChannelLine(station, t.phaseProgramEep, channel);
      g.value = count + 2;
      g.maximum = total;
      break;
    case 0x70:
      halfway(t.phaseVerifyMain);
      g.colour = GaugeColour::Blue;
      break;
    case 0x80:
      halfway(t.phaseVerifyEep);
      break;
    case 0xA0:
      halfway(t.phaseOptionBytes);
      break;
    case 0xF0: {
      std::string line = t.programmingCompleted;
      if (result == kResultSuccess) {
        ++c.okCount;
        g.colour = GaugeColour::Blue;
        line += t.completedSuccess;
      } else {
        ++c.ngCount;
        g.colour = GaugeColour::Red;
        line += Format(t.completedFailed, {result});
      }
      ChannelLine(station, line, channel);
      ChannelLine(station, Format(t.okNgCounts, {c.okCount, c.ngCount}), channel);
      g.value = g.maximum;
      break;
    }
    default:
      break;
  }
}

}  // namespace dravon
