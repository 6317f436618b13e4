#include "support/sim_bench.h"

#include "core/startup.h"
#include "link/firmware_file.h"
#include "link/receive.h"

namespace dravon::test {

bool SimPort::Open(std::string& error) {
  auto it = units_.find(name_);
  if (it == units_.end() || it->second->HungUp()) {
    error = "No such file or directory";
    return false;
  }
  unit_ = it->second;
  return true;
}

void SimPort::Close() {
  unit_ = nullptr;
}

bool SimPort::Write(const uint8_t* bytes, size_t length) {
  if (!unit_) return false;
  writes.emplace_back(bytes, bytes + length);
  unit_->Receive(bytes, length);
  return true;
}

SimBench::SimBench(std::vector<sim::UnitOptions> options, const Texts& texts) {
  std::string ini =
      "; ports of the simulated units\r\n[Connection]\r\nTOTDEV=" + std::to_string(options.size()) +
      "\r\n";
  for (size_t i = 0; i < options.size(); ++i) {
    units_.push_back(std::make_unique<sim::Unit>(options[i]));
    const std::string name = "sim" + std::to_string(i);
    byName_[name] = units_.back().get();
    ini += "DEV" + std::to_string(i + 1) + "=" + name + "\r\n";
  }
  WriteFile(dir.File("ConfigDqg.ini"), ini);
  Platform platform{host, clock, random, enumerator, {}};
  for (int k = 0; k < kChannelCount; ++k) {
    ports_.push_back(std::make_unique<SimPort>(byName_));
    platform.ports[k] = ports_.back().get();
  }
  station_ = MakeStation(platform, texts);
  FormShow(*station_, dir.path().string());
  host.boxes.clear();  // start-up's report of the missing firmware file
}

void SimBench::LoadFirmware() {
  LoadFirmwareFile(*station_, std::string(DRAVON_PROGRAM_DIR) + "DravonLAPS.FWR");
}

void SimBench::Step(double ms) {
  const double end = now + ms;
  while (now < end) {
    now = std::min(end, now + 1.0);
    for (auto& u : units_)
      u->Advance(now);
    for (int k = 0; k < kChannelCount; ++k) {
      SimPort& p = *ports_[k];
      while (p.unit()) {
        std::vector<uint8_t> bytes = p.unit()->TakeOutput(chunk);
        if (bytes.empty()) break;
        ReceiveData(*station_, k, bytes.data(), bytes.size());
      }
    }
    while (now >= nextTick) {
      Timer1Tick(*station_);
      Timer1Automation(*station_);
      nextTick += 10;
    }
  }
}

bool SimBench::RunUntil(const std::function<bool()>& done, double maxMs) {
  const double end = now + maxMs;
  while (now < end) {
    if (done()) return true;
    Step(1);
  }
  return done();
}

}  // namespace dravon::test
