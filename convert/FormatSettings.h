#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orlit {

// The process-wide format settings every conversion reads. Loaded from the C library's locale
// at start-up and on each desktop settings change; the calculation overrides the two date
// settings before every use.
inline char DecimalSep = '.';
inline char ThousandSep = ',';
inline char DateSep = '/';
inline std::string& ShortDatePattern = *new std::string("m/d/yy");
// Not read from the locale: nothing the program shows holds a time of day.
inline char TimeSep = ':';
inline uint16_t CenturyWindow = 50;

// Reads the settings from the current C locale (LC_NUMERIC for the decimal and thousands
// separators, LC_TIME's date format for the date separator and short date pattern). A value the
// locale does not give, or gives longer than one character, falls back to its default. Never fails.
//
// The C (POSIX) locale gives DecimalSep ".", no thousands separator (so the default ","), and the
// date format "%m/%d/%y", hence DateSep "/" and ShortDatePattern "mm/dd/yy".
void LoadFormatSettings();

// Derives the date separator and short date pattern from a strftime date format such as the
// locale's D_FMT: "%d.%m.%Y" gives "." and "dd/mm/yyyy", "%D" gives "/" and "mm/dd/yy", "%F"
// gives "-" and "yyyy/mm/dd". The format must hold day, month and year once each, joined by the
// same single punctuation character, optionally followed by that character once more. False for
// anything else (the caller keeps its defaults).
bool DateSettingsFromStrftime(std::string_view format, char& date_sep,
                              std::string& short_date_pattern);

}  // namespace orlit
