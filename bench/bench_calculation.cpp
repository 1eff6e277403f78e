// The calculation core: conversions, extended arithmetic and the seven log lines, without opening
// the sites. The baseline does the same work with the C library and the hardware's
// long double, so the figures show what the exact software path costs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "app/PeriodCalculation.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"

namespace {

struct Inputs {
  const char* end_date;
  const char* leave_days;
  const char* working_days;
};
constexpr Inputs kInputs[] = {{"31.10.83", "65", "24.5"},
                              {"15.03.24", "1", "21.75"},
                              {"01.01.01", "70000", "22"},
                              {"29.02.76", "34", "24.5"}};

void BM_ComputePeriod(benchmark::State& state) {
  orlit::ResetFpu();
  orlit::DecimalSep = '.';
  size_t bytes = 0;
  orlit::SetCalculationLog([&bytes](const std::string& line) { bytes += line.size(); });
  std::string result;
  size_t i = 0;
  for (auto _ : state) {
    const Inputs& in = kInputs[i++ & 3];
    orlit::ComputePeriod(in.end_date, in.leave_days, in.working_days, result);
    benchmark::DoNotOptimize(result.data());
  }
  benchmark::DoNotOptimize(bytes);
  orlit::SetCalculationLog(nullptr);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComputePeriod);

// Baseline: strtod/strtol, long double arithmetic, snprintf for numbers and dates.
void BM_CalculateWithCLibrary(benchmark::State& state) {
  size_t i = 0;
  std::string lines[7];
  for (auto _ : state) {
    const Inputs& in = kInputs[i++ & 3];
    const double wd = std::strtod(in.working_days, nullptr);
    const auto d = static_cast<uint16_t>(std::strtol(in.leave_days, nullptr, 10));
    const double q = static_cast<double>(static_cast<long double>(d) / wd);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%u / %.15g = %.15g", d, wd, q);
    lines[0] = buffer;
    const auto m = static_cast<uint16_t>(static_cast<int64_t>(q));
    const auto r = static_cast<uint16_t>(__builtin_llrintl((static_cast<long double>(q) - m) * wd));
    std::snprintf(buffer, sizeof buffer, "%u luni si %u zile ", m, r);
    lines[1] = buffer;
    lines[2] = "==================";
    std::tm tm{};
    std::sscanf(in.end_date, "%d.%d.%d", &tm.tm_mday, &tm.tm_mon, &tm.tm_year);
    tm.tm_mon -= 1;
    tm.tm_mday -= r + 30 * m + 1;
    tm.tm_hour = 12;
    std::mktime(&tm);
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%02d", tm.tm_mday, tm.tm_mon + 1,
                  tm.tm_year % 100);
    lines[3] = std::string(in.end_date) + " - ";
    lines[4] = std::to_string(r) + "." + std::to_string(m) + " = ";
    lines[5] = buffer;
    lines[6] = "____________________________";
    benchmark::DoNotOptimize(lines);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CalculateWithCLibrary);

}  // namespace
