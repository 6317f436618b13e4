// The three image checksums over a whole 4 MiB image.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "images/checksums.h"

namespace dravon {
namespace {

const std::vector<uint8_t>& Image() {
  static const std::vector<uint8_t> image = [] {
    std::vector<uint8_t> v(4 * 1024 * 1024);
    std::mt19937 gen(3);
    for (uint8_t& b : v)
      b = static_cast<uint8_t>(gen());
    return v;
  }();
  return image;
}

template <auto Routine>
void BM_Checksum(benchmark::State& state) {
  const auto& image = Image();
  const uint32_t last = static_cast<uint32_t>(image.size() - 1);
  for (auto _ : state)
    benchmark::DoNotOptimize(Routine(image, 0, last));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}

BENCHMARK(BM_Checksum<Acc32>)->Name("Acc32/4MiB")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Checksum<Crc16Range>)->Name("Crc16Range/4MiB")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Checksum<Crc32>)->Name("Crc32/4MiB")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dravon

BENCHMARK_MAIN();
