#include "app/PeriodCalculation.h"

#include "app/FmxUtils.h"
#include "convert/DateConversion.h"
#include "convert/Extended.h"
#include "convert/FormatSettings.h"
#include "convert/NumberConversion.h"

namespace orlit {

namespace {

LogLineSink& CalculationLog() {
  static LogLineSink& sink = *new LogLineSink;
  return sink;
}

constexpr int kDaysPerMonth = 30;

}  // namespace

void SetCalculationLog(LogLineSink sink) { CalculationLog() = std::move(sink); }

void AppendLogLine(const std::string& line) {
  const LogLineSink& sink = CalculationLog();
  if (sink) sink(line);
}

// Every step completes before the next begins, so a failure leaves exactly the log lines of the
// steps before it. The widths (double, 16-bit unsigned) and the extended intermediates decide
// the results and are part of the rule. Each line is put together in one buffer rather than from
// a chain of temporary strings.
void ComputePeriod(std::string_view end_date_text, std::string_view leave_days_text,
                   std::string_view working_days_text, std::string& result) {
  static const std::string& kDoubleRule = *new std::string("==================");
  static const std::string& kClosingRule = *new std::string("____________________________");

  // The locale's settings may have been reloaded since the last run; dates are always d.m.yy.
  DateSep = '.';
  ShortDatePattern = "dd/mm/yy";

  const double working_days = ParseFloat(working_days_text).ToDouble();
  const uint16_t leave_days = static_cast<uint16_t>(ParseInteger(leave_days_text));

  const Extended wd = Extended::FromDouble(working_days);
  const double quotient = (Extended::FromUInt16(leave_days) / wd).ToDouble();
  const Extended q = Extended::FromDouble(quotient);
  std::string line;
  line.reserve(64);  // the longest line fits: one allocation for the whole run
  AppendFloatGeneral(line, Extended::FromUInt16(leave_days));
  line += " / ";
  AppendFloatGeneral(line, wd);
  line += " = ";
  AppendFloatGeneral(line, q);
  AppendLogLine(line);

  const uint16_t months = static_cast<uint16_t>(TruncToInt64(q));
  const uint16_t remaining_days =
      static_cast<uint16_t>(RoundToInt64((q - Extended::FromUInt16(months)) * wd));
  line.clear();
  AppendInteger(line, months);
  line += " luni si ";
  AppendInteger(line, remaining_days);
  line += " zile ";
  AppendLogLine(line);
  AppendLogLine(kDoubleRule);

  const DateValue end_date = ParseDate(end_date_text);
  const int32_t month_days = kDaysPerMonth * months;
  const DateValue adjusted_end_date =
      (Extended::FromDouble(end_date) - Extended::FromUInt16(remaining_days) -
       Extended::FromInt32(month_days) - Extended::FromInt32(1))
          .ToDouble();

  const std::string adjusted_end_date_text = FormatDate(adjusted_end_date);
  result = adjusted_end_date_text;
  line.clear();
  AppendDate(line, end_date);
  line += " - ";
  AppendLogLine(line);
  line.clear();
  AppendInteger(line, remaining_days);
  line += '.';
  AppendInteger(line, months);
  line += " = ";
  AppendLogLine(line);
  AppendLogLine(adjusted_end_date_text);
  AppendLogLine(kClosingRule);
}

void CalculatePeriod(std::string_view end_date_text, std::string_view leave_days_text,
                     std::string_view working_days_text, std::string& result) {
  ComputePeriod(end_date_text, leave_days_text, working_days_text, result);
  OpenPromotionSites(false);
}

void OpenPromotionSites(bool maximized) {
  const int show_command = maximized ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED;
  static const std::string& first_parameters =
      *new std::string(std::string(" ") + kFirstPromotionSite);
  static const std::string& second_parameters =
      *new std::string(std::string(" ") + kSecondPromotionSite);
  LaunchFile(kBrowserProgram, first_parameters, "", show_command);
  LaunchFile(kBrowserProgram, second_parameters, "", show_command);
}

}  // namespace orlit
