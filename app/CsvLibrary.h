#pragma once

// libcsv, opened when the first batch file is read instead of linked: the window never needs it.
// Csv.cpp includes this header for the calls, never the library's alone: it declares the
// library's functions, then names each one used for its opened counterpart.
#include <csv.h>

namespace orlit {

#define ORLIT_CSV_FUNCTIONS(X) \
  X(init)                      \
  X(fini)                      \
  X(free)                      \
  X(error)                     \
  X(parse)                     \
  X(set_delim)                 \
  X(set_space_func)            \
  X(set_realloc_func)

struct CsvLibrary {
#define ORLIT_CSV_MEMBER(name) decltype(&::csv_##name) name = nullptr;
  ORLIT_CSV_FUNCTIONS(ORLIT_CSV_MEMBER)
#undef ORLIT_CSV_MEMBER

  // Kept for the life of the process once opened; null when the library or one of its functions
  // is missing.
  static const CsvLibrary* Get();
};

}  // namespace orlit

#define csv_init (::orlit::CsvLibrary::Get()->init)
#define csv_fini (::orlit::CsvLibrary::Get()->fini)
#define csv_free (::orlit::CsvLibrary::Get()->free)
#define csv_error (::orlit::CsvLibrary::Get()->error)
#define csv_parse (::orlit::CsvLibrary::Get()->parse)
#define csv_set_delim (::orlit::CsvLibrary::Get()->set_delim)
#define csv_set_space_func (::orlit::CsvLibrary::Get()->set_space_func)
#define csv_set_realloc_func (::orlit::CsvLibrary::Get()->set_realloc_func)
