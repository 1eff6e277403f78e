// The log memo as the calculation fills it, against appending the same lines to a plain string;
// one append's repaint; and a label paint from its cached bitmap against one that renders.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "HeadlessForm.h"
#include "editors/InnerMemo.h"
#include "editors/LabelView.h"
#include "editors/MemoEdit.h"

namespace orlit {
namespace {

constexpr int kLines = 700000;
constexpr int kWindow = 10000;

// The seven lines of one calculation, as the log receives them.
const std::string& LogLine(int i) {
  static const std::string* const lines = new std::string[7]{"65 / 24.5 = 2.6530612244898",
                                                             "2 luni si 16 zile ",
                                                             "==================",
                                                             "31.10.83 - ",
                                                             "16.2 = ",
                                                             "15.08.83",
                                                             "____________________________"};
  return lines[i % 7];
}

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

TcxMemo* MakeLog(HeadlessForm& h) {
  auto* memo = h.form->Create<TcxMemo>();
  memo->SetParent(h.form);
  memo->SetBounds(32, 96, 337, 153);
  memo->Properties().SetReadOnly(true);
  memo->Style().Font().SetName("MS Sans Serif");
  memo->Style().Font().SetHeight(-13);
  memo->Style().Font().SetStyle(fsBold);
  memo->Style().SetShadow(true);
  h.form->Show();
  h.app.ProcessMessages();
  return memo;
}

// Times the first and the last kWindow appends of kLines; `append` adds line i.
template <typename Append>
void GrowthRun(benchmark::State& state, Append append) {
  for (auto _ : state) {
    Clock::duration first{};
    Clock::duration last{};
    for (int i = 0; i < kLines; ++i) {
      const bool timed = i < kWindow || i >= kLines - kWindow;
      const auto start = timed ? Clock::now() : Clock::time_point{};
      append(i);
      if (timed) (i < kWindow ? first : last) += Clock::now() - start;
    }
    state.counters["first10k_ms"] = Ms(first);
    state.counters["last10k_ms"] = Ms(last);
    state.counters["last_over_first"] = Ms(last) / Ms(first);
  }
}

void BM_LogGrowth_Memo(benchmark::State& state) {
  HeadlessForm h;
  TcxMemo* memo = MakeLog(h);
  GrowthRun(state, [&](int i) { memo->Lines().Add(LogLine(i)); });
  const MemoText& text = memo->InnerMemo().Model();
  state.counters["text_bytes"] = static_cast<double>(text.Length());
  state.counters["memory_over_text"] =
      static_cast<double>(text.MemoryUsed()) / static_cast<double>(text.Length());
  state.counters["lines"] = memo->Lines().Count();
}
BENCHMARK(BM_LogGrowth_Memo)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LogGrowth_StringFloor(benchmark::State& state) {
  std::string log;
  GrowthRun(state, [&](int i) {
    log += LogLine(i);
    log += "\r\n";
  });
  state.counters["memory_over_text"] =
      static_cast<double>(log.capacity()) / static_cast<double>(log.size());
  benchmark::DoNotOptimize(log.data());
}
BENCHMARK(BM_LogGrowth_StringFloor)->Iterations(1)->Unit(benchmark::kMillisecond);

// One calculation's line appended to a log that already fills its view, then painted.
void BM_RepaintAfterAppend(benchmark::State& state) {
  HeadlessForm h;
  TcxMemo* memo = MakeLog(h);
  for (int i = 0; i < static_cast<int>(state.range(0)); ++i) memo->Lines().Add(LogLine(i));
  h.app.ProcessMessages();
  int i = 0;
  for (auto _ : state) {
    memo->Lines().Add(LogLine(i++));
    h.app.ProcessMessages();
  }
  state.counters["dirty_px"] = h.DirtyPixels();
  state.counters["memo_px"] = memo->Width() * memo->Height();
}
BENCHMARK(BM_RepaintAfterAppend)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Whole-text assignments of hostile texts to a shown log: each must take time in proportion to
// its size. Arg: 0 lone CRs, 1 lone LFs, 2 NULs, 3 malformed UTF-8, 4 one 10 MB line,
// 5 1,000,000 short lines.
std::string HostileText(int kind) {
  constexpr std::size_t kSize = 10 * 1000 * 1000;
  std::string text;
  text.reserve(kSize);
  switch (kind) {
    case 4:
      text.assign(kSize, 'x');
      break;
    case 5:
      for (int i = 0; i < 1000000; ++i) text += "line\r\n";
      break;
    default: {
      const char* unit = kind == 0 ? "ab\r" : kind == 1 ? "ab\n" : kind == 2 ? "ab\0" : "a\xC3\xFF";
      while (text.size() < kSize / 10) text.append(unit, 3);
    }
  }
  return text;
}

void BM_HostileWholeText(benchmark::State& state) {
  HeadlessForm h;
  TcxMemo* memo = MakeLog(h);
  const std::string text = HostileText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    memo->Lines().SetText(text);
    h.app.ProcessMessages();
    state.PauseTiming();
    state.counters["lines"] = memo->Lines().Count();
    memo->Lines().Clear();
    state.ResumeTiming();
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_HostileWholeText)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kMillisecond);

// A caption as the window draws it, with an angle and an extrusion on a TrueType face.
void MakeCaption(TcxCustomLabelViewInfo& info) {
  info.caption = "Nr zile lucratoare/lun\xC3\xA4";
  info.font.SetName("Arial");
  info.font.SetHeight(-13);
  info.font.SetStyle(fsBold);
  info.angle = 45;
  info.effect = cxleExtrude;
  info.depth = 3;
  info.effect_offset = {3, 3};
  info.text_rect = {0, 0, 140, 90};
  info.background_color = clBtnFace;
}

void BM_LabelPaint(benchmark::State& state) {
  const bool render = state.range(0) != 0;
  TcxCustomLabelViewInfo info;
  MakeCaption(info);
  DeviceContext dc(160, 100);
  TCanvas canvas(dc);
  for (auto _ : state) {
    if (render) info.repaint = true;
    info.Paint(canvas);
  }
  state.SetLabel(render ? "renders" : "cache hit");
}
BENCHMARK(BM_LabelPaint)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orlit
