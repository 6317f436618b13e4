// A station wired to simulated programmer units through in-process ports, with time stepped by
// hand: the units' replies reach ReceiveData in pieces, and Timer1 ticks every 10 ms.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "unit.h"

namespace dravon::test {

class SimPort final : public SerialPort {
 public:
  explicit SimPort(std::map<std::string, sim::Unit*>& units) : units_(units) {}
  void SetName(const std::string& name) override { name_ = name; }
  const std::string& Name() const override { return name_; }
  bool Open(std::string& error) override;
  void Close() override;
  bool IsOpen() const override { return unit_ != nullptr; }
  bool Write(const uint8_t* bytes, size_t length) override;
  sim::Unit* unit() const { return unit_; }
  // Every write, as the unit received it.
  std::vector<std::vector<uint8_t>> writes;

 private:
  std::map<std::string, sim::Unit*>& units_;
  std::string name_;
  sim::Unit* unit_ = nullptr;
};

class SimBench {
 public:
  // units named "sim0".."simN-1", listed in ConfigDqg.ini in the program's folder.
  explicit SimBench(std::vector<sim::UnitOptions> units, const Texts& texts = kEnglishTexts);

  Station& station() { return *station_; }
  Station* operator->() { return station_.get(); }
  sim::Unit& unit(int i) { return *units_[i]; }
  SimPort& port(int k) { return *ports_[k]; }

  // Advances the clock, delivering the units' bytes in pieces of at most chunk bytes.
  void Step(double ms);
  // Steps until done() holds or maxMs pass; returns whether it held.
  bool RunUntil(const std::function<bool()>& done, double maxMs);
  void LoadFirmware();

  ScriptedHost host;
  FixedClock clock;
  CountingRandom random;
  FakePortEnumerator enumerator;
  TempDir dir;
  double now = 0;
  size_t chunk = 2048;
  double nextTick = 10;

 private:
  std::vector<std::unique_ptr<sim::Unit>> units_;
  std::map<std::string, sim::Unit*> byName_;
  std::vector<std::unique_ptr<SimPort>> ports_;
  std::unique_ptr<Station> station_;
};

}  // namespace dravon::test
