#pragma once

#include <cstdint>
#include <string>

namespace orlit {

// The process-wide format settings every conversion reads. Loaded from the C library's locale
// at start-up and on each desktop settings change; the calculation overrides the two date
// settings before every use.
inline char DecimalSep = '.';
inline char ThousandSep = ',';
inline char DateSep = '/';
inline std::string ShortDatePattern = "m/d/yy";
inline uint16_t CenturyWindow = 50;

// Reads the settings from the current C locale (LC_NUMERIC for the decimal and thousands
// separators, LC_TIME's date format for the date separator and short date pattern). A value the
// locale does not give, or gives longer than one character, falls back to its default. Never fails.
void LoadFormatSettings();

}  // namespace orlit
