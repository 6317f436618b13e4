#include "core/platform.h"

#include <chrono>
#include <ctime>
#include <random>

namespace dravon {
namespace {

std::string FormatLocalNow(const char* pattern) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char buf[128];
  size_t n = std::strftime(buf, sizeof buf, pattern, &local);
  return std::string(buf, n);
}

}  // namespace

std::string SystemClock::LongTime() { return FormatLocalNow("%X"); }

std::string SystemClock::ShortDate() { return FormatLocalNow("%x"); }

SystemRandom::SystemRandom() {
  std::random_device device;
  state_ = (static_cast<uint64_t>(device()) << 32) ^ device() ^
           static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

uint32_t SystemRandom::Below(uint32_t bound) {
  if (bound <= 1) return 0;
  // splitmix64: small, fast and well spread; the keys need variety, not secrecy.
  state_ += 0x9E3779B97F4A7C15ull;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<uint32_t>(z % bound);
}

}  // namespace dravon
