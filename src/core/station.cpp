#include "core/station.h"

#include <algorithm>

#include "core/main_window.h"

namespace dravon {

Station::Station(const Platform& platform, const Texts& editionTexts)
    : texts(editionTexts),
      host(platform.host),
      clock(platform.clock),
      random(platform.random),
      portEnumerator(platform.portEnumerator),
      portSlots(platform.ports) {}

std::unique_ptr<Station> MakeStation(const Platform& platform, const Texts& texts) {
  auto station = std::make_unique<Station>(platform, texts);
  BuildMainWindowModel(*station);
  return station;
}

void ResetChipDefaults(Station& s) {
  s.job.flags32 = 0;
  s.chip.mainSize = 0x20000;
  s.chip.mainUsedSize = 0x20000;
  s.chip.sectorSize = 1024;
  s.chip.chipCode1 = 0;
  s.chip.familyCode = 'S';
  s.chip.chipCode2 = 0;
  s.chip.eepSize = 0;
  s.job.flags33 = 0;
  s.job.flags34 = 0;
  s.job.flags36 = 0;
  s.job.flags37 = 0;
  s.job.flags38 = 0;
  s.job.flags39 = 0;
  s.chip.configByte8 = 0;
  s.chip.configByte9 = 0;
  s.readRequest.length = 64;
  s.job.snAddress = 0xFFFFFF;
  s.chip.optionBase = 0x1FFFF800;
  s.app.fileLoaded = 0;
  s.app.chipSelected = 0;
  std::fill(s.eepImage.begin(), s.eepImage.end(), 0xFF);
  std::fill(s.mainImage.bytes.begin(), s.mainImage.bytes.end(), 0xFF);
  std::fill(s.optionImage.begin(), s.optionImage.end(), 0x00);
}

void ResetChannelTable(Station& s) {
  s.chip.modelName = "DravonQ40XX";
  s.mainImage.fileName.clear();
  s.chip.chipName.clear();
  s.chip.mainSize = 0;
  s.chip.eepSize = 0;
  s.chip.sectorSize = 0;
  s.sums.total = 0;
  s.sums.main32 = 0;
  s.sums.eep32 = 0;
  s.sums.eepFileAcc32 = 0;
  s.sums.fileAcc32 = 0;
  s.job.maxCount = 0;
  s.job.snFlags = 0;
  s.job.autoDetect = 0;
  s.app.downloadsDone = 0;
  s.app.devicesFound = 0;
  s.chip.chipCode1 = 0;
  s.chip.chipCode2 = 0;
  s.chip.eepBase = 0;
  s.chip.eepEnd = 0;
  s.chip.mainBase = 0;
  s.chip.mainEnd = 0;
  s.app.fileLoaded = 0;
  s.app.chipSelected = 0;
  s.job.powerOnTime = 10;
  s.job.powerDownTime = 10;
  s.job.chipInTime = 17;
  s.job.chipOutTime = 17;
  for (Channel& c : s.channels) {
    c.rxCount = 0;
    c.blockIndex = 0;
    c.totalBlocks = 0;
    c.ngCount = 0;
    c.okCount = 0;
    c.timeoutTicks = 200;
    c.state = ChannelState::Idle;
    c.tickProgress = 0;
    c.busy = 0;
    c.upgrading = 0;
    c.found = 0;
    c.autoSequence = 0;
  }
  for (int k = 0; k < kChannelCount; ++k) {
    s.channels[k].port = s.portSlots[k];
    s.channels[k].gauge = Gauge{};
  }
}

}  // namespace dravon
