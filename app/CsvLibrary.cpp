#include "app/CsvLibrary.h"

#include "platform/SharedLibrary.h"

namespace orlit {

const CsvLibrary* CsvLibrary::Get() {
  static const CsvLibrary* const library = OpenFunctionTable<CsvLibrary>(
      {"libcsv.so.3"}, [](CsvLibrary& lib, const std::vector<void*>& libraries) {
#define ORLIT_CSV_BIND(name) &&FindFunction(libraries[0], "csv_" #name, lib.name)
        return true ORLIT_CSV_FUNCTIONS(ORLIT_CSV_BIND);
#undef ORLIT_CSV_BIND
      });
  return library;
}

}  // namespace orlit
