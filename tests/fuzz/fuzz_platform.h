// A station for fuzzing: a host that says OK to every question, a small chip with every region.
#pragma once

#include <memory>

#include "core/platform.h"
#include "core/startup.h"
#include "core/station.h"

namespace dravon::fuzz {

class FixedClock final : public Clock {
 public:
  std::string LongTime() override { return "12:00:00"; }
  std::string ShortDate() override { return "2026-01-01"; }
};

class CountingRandom final : public Random {
 public:
  uint32_t Below(uint32_t bound) override { return bound <= 1 ? 0 : next_++ % bound; }

 private:
  uint32_t next_ = 0;
};

class NoPorts final : public PortEnumerator {
 public:
  std::vector<PortInfo> SystemPorts() override { return {}; }
  bool TryOpen(const std::string&) override { return false; }
};

// One station for the whole run: building one per input would spend the time on 4 MiB fills.
inline Station& FuzzStation() {
  static HeadlessHost host(true);
  static FixedClock clock;
  static CountingRandom random;
  static NoPorts ports;
  static std::unique_ptr<Station> station = [] {
    auto s = MakeStation(Platform{host, clock, random, ports, {}}, kEnglishTexts);
    FormShow(*s, "/tmp");
    s->chip.mainBase = 0x08000000;
    s->chip.mainEnd = 0x0807FFFF;
    s->chip.mainSize = 0x80000;
    s->chip.eepBase = 0x08080000;
    s->chip.eepEnd = 0x08080FFF;
    s->chip.eepSize = 0x1000;
    s->chip.optionBase = 0x1FFFF800;
    s->chip.optionEnd = 0x1FFFF8FF;
    s->chip.extraBase = 0x1FFF0000;
    s->chip.extraEnd = 0x1FFF1FFF;
    return s;
  }();
  return *station;
}

}  // namespace dravon::fuzz
