#include "app/PeriodCalculation.h"

#include "app/FmxUtils.h"
#include "convert/DateConversion.h"
#include "convert/Exceptions.h"
#include "convert/Extended.h"
#include "convert/FormatSettings.h"
#include "convert/NumberConversion.h"
#include "convert/Translation.h"

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

namespace {

constexpr int32_t kMaxLeaveDays = 65535;

// Negative working days would give a negative quotient and months counted backwards; zero keeps
// its floating-point fault from the division.
double WorkingDaysOf(std::string_view text) {
  const double working_days = ParseFloat(text).ToDouble();
  if (working_days < 0) {
    throw EConvertError(
        SourceText(N_("'%s' is not a valid number of working days"), {std::string(text)}));
  }
  return working_days;
}

uint16_t LeaveDaysOf(std::string_view text) {
  const int32_t leave_days = ParseInteger(text);
  if (leave_days < 0 || leave_days > kMaxLeaveDays) {
    throw EConvertError(
        SourceText(N_("'%s' is not a valid number of leave days"), {std::string(text)}));
  }
  return static_cast<uint16_t>(leave_days);
}

// End date - r - 30 m - 1. A date before 1 January 0001 has no calendar day and would be written
// as "00.00.00"; so would a month count whose days do not fit 64 bits.
DateValue AdjustedEndDate(DateValue end_date, uint16_t remaining_days, int64_t months) {
  int64_t month_days = 0;
  const bool fits = !__builtin_mul_overflow(int64_t{kDaysPerMonth}, months, &month_days);
  const DateValue adjusted =
      fits ? (Extended::FromDouble(end_date) - Extended::FromUInt16(remaining_days) -
              Extended::FromInt64(month_days) - Extended::FromInt32(1))
                 .ToDouble()
           : 0;
  if (!fits || DecodeDateValue(adjusted).Year == 0) {
    throw EConvertError(N_("The adjusted end date is out of range"));
  }
  return adjusted;
}

}  // namespace

// Every step completes before the next begins, so a failure leaves exactly the log lines of the
// steps before it. The extended intermediates decide the results and are part of the rule. Each
// line is put together in one buffer rather than from a chain of temporary strings.
void ComputePeriod(std::string_view end_date_text, std::string_view leave_days_text,
                   std::string_view working_days_text, std::string& result) {
  static const std::string& kDoubleRule = *new std::string("==================");
  static const std::string& kClosingRule = *new std::string("____________________________");

  // The locale's settings may have been reloaded since the last run; dates are always d.m.yy.
  DateSep = '.';
  ShortDatePattern = "dd/mm/yy";

  const double working_days = WorkingDaysOf(working_days_text);
  const uint16_t leave_days = LeaveDaysOf(leave_days_text);

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

  const int64_t months = TruncToInt64(q);
  // At most the leave days: the quotient and the working days are not negative.
  const uint16_t remaining_days =
      static_cast<uint16_t>(RoundToInt64((q - Extended::FromInt64(months)) * wd));
  line.clear();
  AppendInteger(line, months);
  line += " luni si ";
  AppendInteger(line, remaining_days);
  line += " zile ";
  AppendLogLine(line);
  AppendLogLine(kDoubleRule);

  const DateValue end_date = ParseDate(end_date_text);
  const DateValue adjusted_end_date = AdjustedEndDate(end_date, remaining_days, months);

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
