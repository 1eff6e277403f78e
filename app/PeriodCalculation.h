#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orlit {

// The desktop's opener stands in for the browser the calculator was designed to start: it hands
// each address to whatever browser the user chose.
inline constexpr const char* kBrowserProgram = "xdg-open";
inline constexpr const char* kFirstPromotionSite = "https://leave.orlit.example";
inline constexpr const char* kSecondPromotionSite = "https://www.orlit.example";

// Where the calculation log goes: the window points it at its log memo; the terminal mode at
// standard output. Until set, lines are dropped.
using LogLineSink = std::function<void(const std::string& line)>;
void SetCalculationLog(LogLineSink sink);

// Appends one line at the end of the calculation log.
void AppendLogLine(const std::string& line);

// Turns the leave into months and remaining days, moves the end date back by them (30 days a
// month, and one day more), writes seven log lines and assigns the result date text. Throws the
// conversion and floating-point exceptions at the failing step; lines already written stay and
// `result` is left untouched. More than its name says: at the end it also opens the promotion
// sites, minimised.
void CalculatePeriod(std::string_view end_date_text, std::string_view leave_days_text,
                     std::string_view working_days_text, std::string& result);

// All of CalculatePeriod but opening the sites: for the terminal, which opens no window.
void ComputePeriod(std::string_view end_date_text, std::string_view leave_days_text,
                   std::string_view working_days_text, std::string& result);

// Starts the browser twice, first site first, both maximised or both minimised.
void OpenPromotionSites(bool maximized);

}  // namespace orlit
