// Number and date text conversion against the C library on the same inputs: ParseFloat vs
// strtold, FormatFloatGeneral vs snprintf("%.15Lg") and FormatDate vs strftime. Each pair runs
// side by side in one process.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "convert/DateConversion.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"
#include "convert/NumberConversion.h"

namespace {

using orlit::Extended;

// The log's numbers and a mix like what users type or the calculation writes.
std::vector<std::string> MixedTexts() {
  std::mt19937_64 random(20240611);
  std::vector<std::string> texts;
  char buffer[64];
  for (int i = 0; i < 1024; ++i) {
    switch (i % 4) {
      case 0:
        std::snprintf(buffer, sizeof buffer, "%llu",
                      static_cast<unsigned long long>(random() % 100000));
        break;
      case 1:
        std::snprintf(buffer, sizeof buffer, "%.1f", static_cast<double>(random() % 10000) / 10);
        break;
      case 2:
        std::snprintf(buffer, sizeof buffer, "%.17g",
                      static_cast<double>(random() % 100000) / (1 + random() % 1000));
        break;
      default:
        std::snprintf(buffer, sizeof buffer, "%.15fe%d",
                      static_cast<double>(random() >> 11) / 9007199254740992.0,
                      static_cast<int>(random() % 600) - 300);
        break;
    }
    texts.push_back(buffer);
  }
  return texts;
}

std::vector<std::string> Texts(int set) {
  switch (set) {
    case 0:
      return {"24.5"};
    case 1:
      return {"65"};
    case 2:
      return {"2.6530612244897958"};
    default:
      return MixedTexts();
  }
}

const char* SetName(int set) {
  static const char* const kNames[] = {"24.5", "65", "2.6530612244897958", "mix"};
  return kNames[set];
}

void BM_ParseFloat(benchmark::State& state) {
  orlit::DecimalSep = '.';
  const std::vector<std::string> texts = Texts(static_cast<int>(state.range(0)));
  size_t i = 0;
  for (auto _ : state) {
    Extended value = orlit::ParseFloat(texts[i]);
    benchmark::DoNotOptimize(value);
    if (++i == texts.size()) i = 0;
  }
  state.SetLabel(SetName(static_cast<int>(state.range(0))));
}

void BM_Strtold(benchmark::State& state) {
  const std::vector<std::string> texts = Texts(static_cast<int>(state.range(0)));
  size_t i = 0;
  for (auto _ : state) {
    long double value = std::strtold(texts[i].c_str(), nullptr);
    benchmark::DoNotOptimize(value);
    if (++i == texts.size()) i = 0;
  }
  state.SetLabel(SetName(static_cast<int>(state.range(0))));
}

// The same values for both formatters: each text read once, as extended and as long double.
std::vector<double> Values(int set) {
  std::vector<double> values;
  for (const std::string& text : Texts(set)) values.push_back(std::strtod(text.c_str(), nullptr));
  return values;
}

void BM_FormatFloatGeneral(benchmark::State& state) {
  orlit::DecimalSep = '.';
  std::vector<Extended> values;
  for (double value : Values(static_cast<int>(state.range(0)))) {
    values.push_back(Extended::FromDouble(value));
  }
  size_t i = 0;
  for (auto _ : state) {
    std::string text = orlit::FormatFloatGeneral(values[i]);
    benchmark::DoNotOptimize(text);
    if (++i == values.size()) i = 0;
  }
  state.SetLabel(SetName(static_cast<int>(state.range(0))));
}

void BM_SnprintfLg(benchmark::State& state) {
  std::vector<long double> values;
  for (double value : Values(static_cast<int>(state.range(0)))) values.push_back(value);
  size_t i = 0;
  char buffer[64];
  for (auto _ : state) {
    std::snprintf(buffer, sizeof buffer, "%.15Lg", values[i]);
    std::string text = buffer;
    benchmark::DoNotOptimize(text);
    if (++i == values.size()) i = 0;
  }
  state.SetLabel(SetName(static_cast<int>(state.range(0))));
}

// The calculation's dates: whole days in d.m.yy, as the log writes them.
std::vector<double> DateValues() {
  std::mt19937_64 random(20240612);
  std::vector<double> values;
  for (int i = 0; i < 1024; ++i) values.push_back(static_cast<double>(random() % 70000) - 20000);
  return values;
}

void BM_FormatDate(benchmark::State& state) {
  orlit::DateSep = '.';
  orlit::ShortDatePattern = "dd/mm/yy";
  const std::vector<double> values = DateValues();
  size_t i = 0;
  for (auto _ : state) {
    std::string text = orlit::FormatDate(values[i]);
    benchmark::DoNotOptimize(text);
    if (++i == values.size()) i = 0;
  }
}

// Baseline: the same days through gmtime_r and strftime("%d.%m.%y").
void BM_Strftime(benchmark::State& state) {
  const std::vector<double> values = DateValues();
  constexpr int64_t kUnixEpochDay = 25569;  // 1 January 1970
  size_t i = 0;
  char buffer[32];
  for (auto _ : state) {
    const auto seconds = static_cast<std::time_t>((values[i] - kUnixEpochDay) * 86400);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    std::string text(buffer, std::strftime(buffer, sizeof buffer, "%d.%m.%y", &tm));
    benchmark::DoNotOptimize(text);
    if (++i == values.size()) i = 0;
  }
}

BENCHMARK(BM_ParseFloat)->DenseRange(0, 3);
BENCHMARK(BM_Strtold)->DenseRange(0, 3);
BENCHMARK(BM_FormatFloatGeneral)->DenseRange(0, 3);
BENCHMARK(BM_SnprintfLg)->DenseRange(0, 3);
BENCHMARK(BM_FormatDate);
BENCHMARK(BM_Strftime);

}  // namespace
